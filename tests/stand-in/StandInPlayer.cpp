// A video player for the tests, registered as the "open" verb of videos: started as
// player.exe "<record>" "<event>" "<video>", it opens the video as a player does (others may
// read it, not delete it), appends the video's path and a line end to the record, and holds
// the video until the test sets the named event.
#include "framework/Handles.h"
#include "framework/Text.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!arguments || count != 4)
        return 2;
    fw::unique_handle release(::OpenEventW(SYNCHRONIZE, FALSE, arguments[2]));
    fw::unique_file held(::CreateFileW(arguments[3], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    fw::unique_file record(::CreateFileW(arguments[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
    std::string line = fw::FromWide(arguments[3], static_cast<int>(::wcslen(arguments[3])), CP_UTF8) + "\n";
    DWORD written = 0;
    if (!release || !held || !::WriteFile(record.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
        return 1;
    record.reset();
    ::WaitForSingleObject(release.get(), INFINITE);
    return 0;
}
