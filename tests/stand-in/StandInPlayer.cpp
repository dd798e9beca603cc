// A video player for the tests, registered as the "open" verb of videos: started as
// player.exe "<record>" "<event>" "<video>", it opens the video as a player does (others may
// read it, not delete it), appends the video's path and a line end to the record, and holds
// the video until the test sets the named event.
#include "framework/Handles.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(length, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

bool Append(const std::wstring& record, const std::string& line)
{
    fw::unique_file file(::CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!arguments || count != 4)
        return 2;
    std::wstring record = arguments[1];
    fw::unique_handle release(::OpenEventW(SYNCHRONIZE, FALSE, arguments[2]));
    std::wstring video = arguments[3];
    ::LocalFree(arguments);
    if (!release)
        return 3;
    fw::unique_file held(::CreateFileW(video.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!held || !Append(record, Utf8(video) + "\n"))
        return 1;
    ::WaitForSingleObject(release.get(), INFINITE);
    return 0;
}
