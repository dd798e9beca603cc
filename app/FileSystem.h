// File-system utilities shared by the settings, the video job and the image object.
#pragma once

#include <string>

// True when the folder exists, creating every missing level named before its last
// backslash; callers pass folders that end with "\".
bool EnsureDirectory(std::string path);

// True when a file-system search finds the path; a directory counts as found.
bool FileExists(const std::string& path);
