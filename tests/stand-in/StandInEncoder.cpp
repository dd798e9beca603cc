// ffmpeg.exe for the video job's tests: a Windows program that ends as the test asks
// (LUMVEX_STAND_IN), so every ending of an encoder can be tried. Given the job's command line,
// "ok" and "fail" copy the frames of its input pattern into "seen" beside the video, note the
// first frame's link count in "links" and write half a video; then "ok" finishes the video and
// exits 0, "fail" exits 1. "hold" waits to be stopped, finishing the video only once a "go"
// file is beside it. "crash" ends with an access violation's status; "silent" exits 0 writing
// nothing; "refuse" exits 1; "second-segment-breaks" fails the segment that starts at frame 11
// with a line on its error output. "report" writes how it was started into "started" beside
// the video (its folder, whether it has a console and a console window, whether it runs in a
// job), then waits for "go" before it finishes the video.
#include "framework/Handles.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

using unique_change_notification = fw::UniqueResource<HANDLE, fw::InvalidHandleTraits<::FindCloseChangeNotification>>;

// Wide throughout: the job's folders are named in any script.
const std::wstring PATTERN_END = L"_%04d.jpg";

void WriteText(const std::wstring& path, const std::string& text)
{
    fw::unique_file file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::wstring Folder(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

DWORD LinkCount(const std::wstring& path)
{
    fw::unique_file file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    return file && ::GetFileInformationByHandle(file.get(), &information) ? information.nNumberOfLinks : 0;
}

// Calls the function with the name of each file in the folder that matches the pattern.
template <typename Fn>
void ForEachFile(const std::wstring& folder, const std::wstring& pattern, Fn function)
{
    WIN32_FIND_DATAW data;
    fw::unique_find find(::FindFirstFileW((folder + pattern).c_str(), &data));
    for (bool found = static_cast<bool>(find); found; found = ::FindNextFileW(find.get(), &data))
        function(std::wstring(data.cFileName));
}

// Only this run's frames in "seen".
void CopyFrames(const std::wstring& pattern, const std::wstring& seen)
{
    std::wstring prefix = pattern.substr(0, pattern.size() - PATTERN_END.size());
    ::CreateDirectoryW(seen.c_str(), nullptr);
    ForEachFile(seen, L"*.jpg", [&](const std::wstring& name) { ::DeleteFileW((seen + name).c_str()); });
    std::wstring name = prefix.substr(Folder(prefix).size());
    ForEachFile(Folder(prefix), name + L"_*.jpg", [&](const std::wstring& frame) {
        ::CopyFileW((Folder(prefix) + frame).c_str(), (seen + frame).c_str(), FALSE);
    });
    WriteText(Folder(seen.substr(0, seen.size() - 1)) + L"links", std::to_string(LinkCount(prefix + L"_0001.jpg")) + "\n");
}

// Until the test lets the encoder finish; a stop ends it before. Woken by each name made in
// the folder, and looking after the watch is set, so a "go" made at any moment is seen.
void WaitForGo(const std::wstring& video)
{
    unique_change_notification change(
        ::FindFirstChangeNotificationW(Folder(video).c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME));
    while (::GetFileAttributesW((Folder(video) + L"go").c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (!change || ::WaitForSingleObject(change.get(), INFINITE) != WAIT_OBJECT_0
            || !::FindNextChangeNotification(change.get()))
            return;
    }
}

// The frames of the pattern, half a video, and the whole one if asked.
int Encode(int argc, wchar_t** argv, bool finish)
{
    std::wstring video = argv[argc - 1];
    for (int i = 1; i < argc; ++i) {
        std::wstring argument = argv[i];
        if (argument.size() > PATTERN_END.size()
            && argument.compare(argument.size() - PATTERN_END.size(), std::wstring::npos, PATTERN_END) == 0)
            CopyFrames(argument, Folder(video) + L"seen\\");
    }
    WriteText(video, "half");
    if (!finish)
        return 1;
    WriteText(video, "video");
    return 0;
}

int Hold(const std::wstring& video)
{
    WaitForGo(video);
    WriteText(video, "video");
    return 0;
}

// What the encoder's start gave it, as lines of "name=value".
int Report(const std::wstring& video)
{
    wchar_t folder[32768] = {};
    ::GetCurrentDirectoryW(32768, folder);
    BOOL inJob = FALSE;
    ::IsProcessInJob(::GetCurrentProcess(), nullptr, &inJob);
    char utf8[32768 * 3] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, folder, -1, utf8, sizeof(utf8), nullptr, nullptr);
    WriteText(Folder(video) + L"started", std::string("folder=") + utf8 + "\nconsole=" + (::GetConsoleCP() != 0 ? "1" : "0")
                                              + "\nwindow=" + (::GetConsoleWindow() ? "1" : "0")
                                              + "\njob=" + (inJob ? "1" : "0") + "\n");
    return Hold(video);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const char* mode = std::getenv("LUMVEX_STAND_IN");
    std::string asked = mode ? mode : "";
    if (asked == "ok" || asked == "fail")
        return Encode(argc, argv, asked == "ok");
    if (asked == "crash")
        ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(STATUS_ACCESS_VIOLATION));
    if (asked == "silent")
        return 0;
    if (asked == "second-segment-breaks") {
        bool second = std::wcsstr(::GetCommandLineW(), L"-start_number 11 ") != nullptr;
        if (second)
            std::fputs("[mp4 @ 0x1] Second segment broke\n", stderr);
        return second ? 1 : 0;
    }
    if (asked == "hold")
        return Hold(argv[argc - 1]);
    if (asked == "report")
        return Report(argv[argc - 1]);
    return 1;
}
