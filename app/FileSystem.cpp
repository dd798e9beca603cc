#include "app/FileSystem.h"

#include "framework/Text.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>

namespace {

constexpr ULONGLONG HELD_RETRY_MS = 2000;
constexpr DWORD FIRST_PAUSE_MS = 10;
constexpr DWORD LONGEST_PAUSE_MS = 250;

// Short pauses first: most holders let go within a few milliseconds.
bool Retrying(const std::function<bool()>& operation)
{
    ULONGLONG deadline = ::GetTickCount64() + HELD_RETRY_MS;
    for (DWORD pause = FIRST_PAUSE_MS;; pause = std::min(pause * 2, LONGEST_PAUSE_MS)) {
        if (operation())
            return true;
        DWORD error = ::GetLastError();
        if (!IsHeldByAnother(error) || ::GetTickCount64() >= deadline)
            return false;
        ::Sleep(pause);
    }
}

bool IsDirectory(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

// Wide and folder by folder: the shell's and the debug helpers' path calls stop at MAX_PATH
// bytes, which a path in CJK passes at 86 characters.
bool EnsureDirectory(std::string path)
{
    std::wstring wide = fw::ToWide(path);
    if (wide.empty())
        return false;
    for (size_t end = wide.find_first_of(L"\\/", 3); end != std::wstring::npos;
         end = wide.find_first_of(L"\\/", end + 1)) {
        std::wstring parent = wide.substr(0, end);
        if (!IsDirectory(parent))
            ::CreateDirectoryW(parent.c_str(), nullptr);
    }
    if (!IsDirectory(wide))
        ::CreateDirectoryW(wide.c_str(), nullptr);
    return IsDirectory(wide);
}

std::string SystemTempFolder()
{
    char path[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathA(sizeof(path), path);
    return length > 0 && length < sizeof(path) ? path : "";
}

bool FileExists(const std::string& path)
{
    if (path.empty())
        return false;
    WIN32_FIND_DATAA data;
    fw::unique_find find(::FindFirstFileA(path.c_str(), &data));
    return static_cast<bool>(find);
}

bool CanWriteInFolder(const std::string& folder)
{
    // A name of its own each time: an earlier one may still wait to be deleted.
    static std::atomic<unsigned> probes{0};
    std::string name = folder + "lumvex-write-" + std::to_string(::GetCurrentProcessId()) + "-"
                     + std::to_string(++probes) + ".tmp";
    fw::unique_file file(::CreateFileA(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

bool IsHeldByAnother(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

bool RetryingDeleteFile(const std::string& path)
{
    return Retrying([&] {
        if (::DeleteFileA(path.c_str()))
            return true;
        DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    });
}

bool RetryingMoveFile(const std::string& from, const std::string& to)
{
    return Retrying([&] { return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE; });
}

bool RetryingCreateHardLink(const std::string& link, const std::string& existing)
{
    return Retrying([&] { return ::CreateHardLinkA(link.c_str(), existing.c_str(), nullptr) != FALSE; });
}

bool RetryingCopyFile(const std::string& source, const std::string& target)
{
    return Retrying([&] { return ::CopyFileA(source.c_str(), target.c_str(), TRUE) != FALSE; });
}

fw::unique_file RetryingCreateFileForWriting(const std::string& path)
{
    fw::unique_file file;
    Retrying([&] {
        file.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(file);
    });
    return file;
}
