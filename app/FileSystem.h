// File-system utilities shared by the settings, the video job and the image object.
#pragma once

#include "framework/Handles.h"

#include <string>

// True when the folder exists, creating every missing level named before its last
// backslash; callers pass folders that end with "\".
bool EnsureDirectory(std::string path);

// True when a file-system search finds the path; a directory counts as found.
bool FileExists(const std::string& path);

// The user's temporary folder, ending in "\"; empty when Windows gives none.
std::string SystemTempFolder();

// True when a new file can be made in the folder (ending in "\") and goes again.
bool CanWriteInFolder(const std::string& folder);

// Operations on the files a job makes for itself: frames, probes, the encoders' reports and
// segments. Antivirus, the search indexer and cloud sync open a new file for a moment; while
// one holds it without sharing, or its name still waits to be deleted, Windows answers with a
// sharing or lock violation or with access denied. These try again for about two seconds
// before they fail, with the last error set as the plain call would have left it.
bool IsHeldByAnother(DWORD error);
// True when the file is gone, also when there was none.
bool RetryingDeleteFile(const std::string& path);
// Renames within a volume, replacing a file of the new name.
bool RetryingMoveFile(const std::string& from, const std::string& to);
bool RetryingCreateHardLink(const std::string& link, const std::string& existing);
// Fails when the target exists.
bool RetryingCopyFile(const std::string& source, const std::string& target);
// A new or emptied file opened for writing alone.
fw::unique_file RetryingCreateFileForWriting(const std::string& path);
