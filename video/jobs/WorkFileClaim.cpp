#include "video/jobs/WorkFileClaim.h"

#include "app/FileSystem.h"
#include "video/jobs/WorkFileNames.h"

#include <map>
#include <vector>

namespace {

// The paths of the job's own files in the folder, by the time prefix of the run that made them.
std::map<std::string, std::vector<std::string>> WorkFilesByRun(const std::string& folder)
{
    std::map<std::string, std::vector<std::string>> runs;
    WIN32_FIND_DATAA data;
    fw::unique_find find(::FindFirstFileA((folder + "*").c_str(), &data));
    for (bool found = static_cast<bool>(find); found; found = ::FindNextFileA(find.get(), &data)) {
        std::string prefix = WorkFilePrefix(data.cFileName);
        if (!prefix.empty() && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            runs[prefix].push_back(folder + data.cFileName);
    }
    return runs;
}

// A running job holds its mark without letting it be deleted; the mark of one that was killed
// went with its handle, or goes now.
bool InUse(const std::string& workFiles)
{
    return !::DeleteFileA(JobMarkFileName(workFiles).c_str()) && IsHeldByAnother(::GetLastError());
}

} // namespace

CWorkFileClaim::CWorkFileClaim(std::string tempFolder, std::string timePrefix)
    : m_folder(std::move(tempFolder)), m_prefix(std::move(timePrefix))
{
    for (const auto& [prefix, files] : WorkFilesByRun(m_folder)) {
        if (InUse(m_folder + prefix))
            continue;
        for (const std::string& file : files)
            RetryingDeleteFile(file);
    }
    m_mark.reset(::CreateFileA(JobMarkFileName(m_folder + m_prefix).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

CWorkFileClaim::~CWorkFileClaim()
{
    std::string mark = JobMarkFileName(m_folder + m_prefix);
    auto runs = WorkFilesByRun(m_folder);
    for (const std::string& file : runs[m_prefix]) {
        if (file != mark)
            RetryingDeleteFile(file);
    }
}
