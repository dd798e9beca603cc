#include "video/EncoderProcess.h"

#include "framework/Handles.h"
#include "video/EncoderProgress.h"

#include <vector>

namespace {

// The progress report's last block, and the error output's last lines, fit well within this tail.
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

// The encoder's output, to be inherited as its standard output and error.
fw::unique_file CreateOutputFile(const std::string& path)
{
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    return fw::unique_file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
}

// The output file is the one handle handed down: encoders started at once from other threads
// must not inherit each other's, which would keep them open after their own encoder has gone.
bool StartHidden(const std::string& encoderPath, std::string line, HANDLE output, const std::string& folder,
                 PROCESS_INFORMATION& info)
{
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> storage(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &size))
        return false;
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdOutput = output;
    startup.StartupInfo.hStdError = output;
    startup.lpAttributeList = attributes;
    bool started = ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &output,
                                               sizeof(output), nullptr, nullptr)
                && ::CreateProcessA(encoderPath.c_str(), line.data(), nullptr, nullptr, TRUE,
                                    EXTENDED_STARTUPINFO_PRESENT, nullptr,
                                    folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &info);
    ::DeleteProcThreadAttributeList(attributes);
    return started;
}

} // namespace

CEncoderProcess::CEncoderProcess(const std::string& encoderPath, const std::string& commandLine,
                                 const std::string& workFiles, const std::string& folder)
    : m_progressFile(workFiles + "_progress.txt"), m_errorFile(workFiles + "_errors.txt")
{
    // Errors only, and nothing read from a console that is not there.
    std::string line = " -nostdin -nostats -loglevel error -progress \"" + m_progressFile + "\"" + commandLine;
    PROCESS_INFORMATION info{};
    fw::unique_file output = CreateOutputFile(m_errorFile);
    if (output && StartHidden(encoderPath, line, output.get(), folder, info)) {
        m_process.reset(info.hProcess);
        ::CloseHandle(info.hThread);
    }
}

CEncoderProcess::~CEncoderProcess()
{
    if (!m_collected)
        Stop();
}

int CEncoderProcess::EncodedFrames() const
{
    return LastEncodedFrame(ReadTail(m_progressFile));
}

EncoderRun CEncoderProcess::Stop()
{
    if (m_process) {
        ::TerminateProcess(m_process.get(), 1);
        ::WaitForSingleObject(m_process.get(), INFINITE);
    }
    return Collect(EncoderEnd::Stopped);
}

EncoderRun CEncoderProcess::Finish()
{
    EncoderRun run = Collect(EncoderEnd::Exited);
    if (!::GetExitCodeProcess(m_process.get(), &run.exitCode))
        run.exitCode = 1;
    return run;
}

EncoderRun CEncoderProcess::Collect(EncoderEnd end)
{
    EncoderRun run;
    m_collected = true;
    if (m_process) {
        run.end = end;
        std::string errors = ReadTail(m_errorFile);
        run.unfinished = VideoLeftUnfinished(errors);
        run.lastError = LastEncoderError(errors);
    }
    ::DeleteFileA(m_progressFile.c_str());
    ::DeleteFileA(m_errorFile.c_str());
    return run;
}

EncoderRun RunEncoder(const std::string& encoderPath, const std::string& commandLine, const std::string& workFiles,
                      const EncoderWatch& watch, const std::string& folder)
{
    CEncoderProcess encoder(encoderPath, commandLine, workFiles, folder);
    if (!encoder.Started())
        return encoder.Stop();
    while (::WaitForSingleObject(encoder.Process(), ENCODER_WATCH_MS) == WAIT_TIMEOUT) {
        if (!watch(encoder.EncodedFrames()))
            return encoder.Stop();
    }
    return encoder.Finish();
}
