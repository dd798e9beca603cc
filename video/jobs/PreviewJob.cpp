#include "video/jobs/PreviewJob.h"

#include "app/FileSystem.h"
#include "resource.h"

#include <windows.h>

namespace {

constexpr char DRAFT_NAME[] = "Lumvex preview ";
constexpr char DRAFT_EXTENSION[] = ".mp4";
// Drafts held by players at once, far more than anyone opens.
constexpr int MOST_DRAFTS = 1000;

} // namespace

void DeleteDrafts()
{
    std::string folder = SystemTempFolder();
    if (folder.empty())
        return;
    WIN32_FIND_DATAA data;
    fw::unique_find find(::FindFirstFileA((folder + DRAFT_NAME + "*" + DRAFT_EXTENSION).c_str(), &data));
    for (bool found = static_cast<bool>(find); found; found = ::FindNextFileA(find.get(), &data)) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ::DeleteFileA((folder + data.cFileName).c_str());
    }
}

std::string NewDraftFile()
{
    DeleteDrafts();
    std::string folder = SystemTempFolder();
    if (folder.empty())
        return "";
    // A name a player still holds is taken: the next number is free.
    for (int number = 1; number <= MOST_DRAFTS; ++number) {
        std::string path = folder + DRAFT_NAME + std::to_string(number) + DRAFT_EXTENSION;
        fw::unique_file claim(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                            nullptr));
        if (claim)
            return path;
        DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && !IsHeldByAnother(error))
            return "";
    }
    return "";
}

JobResult RunPreviewJob(VideoJobInput input, const std::string& draftFile, CJobReport& report)
{
    input.settings.DestinationFile = draftFile;
    input.draft = true;
    JobResult result = RunVideoJob(std::move(input), report);
    // No player has seen this draft yet: only the job's own encoder may still be letting go.
    if (result.textId != IDS_VIDEO_SUCCESS)
        RetryingDeleteFile(draftFile);
    return result;
}
