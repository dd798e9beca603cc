#include "video/EncoderProcess.h"

#include "framework/Handles.h"
#include "video/EncoderProgress.h"

#include <vector>

namespace {

constexpr DWORD WATCH_MS = 200;
// The report's last block fits well within this tail.
constexpr LONG REPORT_TAIL = 4096;

std::string ReadTail(const std::string& path)
{
    fw::unique_file file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return {};
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size))
        return {};
    LARGE_INTEGER start{};
    start.QuadPart = size.QuadPart > REPORT_TAIL ? size.QuadPart - REPORT_TAIL : 0;
    std::string text(static_cast<size_t>(size.QuadPart - start.QuadPart), '\0');
    DWORD read = 0;
    if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)
        || !::ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr))
        return {};
    text.resize(read);
    return text;
}

} // namespace

EncoderRun RunEncoder(const std::string& encoderPath, const std::string& commandLine, const std::string& progressFile,
                      const EncoderWatch& watch)
{
    std::string line = " -progress \"" + progressFile + "\"" + commandLine;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(encoderPath.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return {};
    fw::unique_handle process(info.hProcess);
    fw::unique_handle thread(info.hThread);
    EncoderRun run;
    run.end = EncoderEnd::Exited;
    while (::WaitForSingleObject(process.get(), WATCH_MS) == WAIT_TIMEOUT) {
        if (!watch(LastEncodedFrame(ReadTail(progressFile)))) {
            ::TerminateProcess(process.get(), 1);
            ::WaitForSingleObject(process.get(), INFINITE);
            run.end = EncoderEnd::Stopped;
            break;
        }
    }
    if (run.end == EncoderEnd::Exited && !::GetExitCodeProcess(process.get(), &run.exitCode))
        run.exitCode = 1;
    ::DeleteFileA(progressFile.c_str());
    return run;
}
