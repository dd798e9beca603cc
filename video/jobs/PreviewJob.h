// The preview: a draft of the video as chosen, made into a file of its own in the user's
// temporary folder for their player to open. A draft stays only until the next draft or video,
// or the next start if a player still held it then.
#pragma once

#include "video/jobs/VideoJob.h"

#include <string>

// Deletes the drafts no player holds; one still open stays, without a wait.
void DeleteDrafts();

// Deletes the old drafts and claims a new, empty file for the next; empty when the temporary
// folder takes none.
std::string NewDraftFile();

// Makes the draft of the input's images and choices into the claimed file, or deletes the file
// when no draft came of it.
JobResult RunPreviewJob(VideoJobInput input, const std::string& draftFile, CJobReport& report);
