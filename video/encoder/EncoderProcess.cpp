#include "video/encoder/EncoderProcess.h"

#include "app/FileSystem.h"
#include "framework/Handles.h"
#include "video/encoder/EncoderProgress.h"

#include <vector>

// Windows 10's, where the program runs; the headers it is built with show Windows 7's.
#ifndef PROC_THREAD_ATTRIBUTE_JOB_LIST
#define PROC_THREAD_ATTRIBUTE_JOB_LIST ProcThreadAttributeValue(13, FALSE, TRUE, FALSE)
#endif

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

// A job of the encoder's own: the system ends the encoder, and whatever it started, when the
// last handle to the job closes, which is ours, also when the program is ended by Task
// Manager or crashes. It is never inherited.
fw::unique_handle CreateKillingJob()
{
    fw::unique_handle job(::CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits)))
        job.reset();
    return job;
}

// The output file and the input's end are the only handles handed down: encoders started at
// once from other threads must not inherit each other's, which would keep them open after
// their own encoder has gone. It is created inside its job, so no moment exists in which the
// program could end and leave it running; and in its work folder, never in the photos' one,
// which would then stay in use.
bool StartHidden(const std::string& encoderPath, std::string line, const std::string& folder, HANDLE output,
                 HANDLE input, HANDLE job, PROCESS_INFORMATION& info)
{
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 2, 0, &size);
    std::vector<char> storage(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (!::InitializeProcThreadAttributeList(attributes, 2, 0, &size))
        return false;
    HANDLE inherited[] = {output, input};
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = input;
    startup.StartupInfo.hStdOutput = output;
    startup.StartupInfo.hStdError = output;
    startup.lpAttributeList = attributes;
    // Without a job only where the system refuses one; Cancel still ends the encoder.
    if (job)
        ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_JOB_LIST, &job, sizeof(job), nullptr, nullptr);
    bool started = ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                               (input ? 2 : 1) * sizeof(HANDLE), nullptr, nullptr)
                && ::CreateProcessA(encoderPath.c_str(), line.data(), nullptr, nullptr, TRUE, EncoderCreationFlags(),
                                    nullptr, folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &info);
    ::DeleteProcThreadAttributeList(attributes);
    return started;
}

} // namespace

DWORD EncoderCreationFlags()
{
    // A console of its own without a window: a hidden start alone still opens a terminal
    // window when Windows Terminal is the default one.
    return EXTENDED_STARTUPINFO_PRESENT | CREATE_NO_WINDOW;
}

CEncoderProcess::CEncoderProcess(const std::string& encoderPath, const std::string& commandLine,
                                 const std::string& workFiles, bool readsInput)
    : m_progressFile(workFiles + "_progress.txt"), m_errorFile(workFiles + "_errors.txt")
{
    // Errors only, and no keys read from a console that is not there.
    std::string line = " -nostdin -nostats -loglevel error -progress \"" + m_progressFile + "\"" + commandLine;
    PROCESS_INFORMATION info{};
    fw::unique_file output = CreateOutputFile(m_errorFile);
    // Only the encoder's end of its input is handed down; ours must stay ours, or the
    // encoder would never see the input end.
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    fw::unique_handle input;
    bool piped = !readsInput
              || (::CreatePipe(input.put(), m_input.put(), &inherited, 0)
                  && ::SetHandleInformation(m_input.get(), HANDLE_FLAG_INHERIT, 0));
    std::string folder = workFiles.substr(0, workFiles.find_last_of('\\') + 1);
    m_job = CreateKillingJob();
    if (output && piped && StartHidden(encoderPath, line, folder, output.get(), input.get(), m_job.get(), info)) {
        m_process.reset(info.hProcess);
        ::CloseHandle(info.hThread);
    } else {
        m_startError = ::GetLastError();
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

bool CEncoderProcess::Give(const std::string& input)
{
    DWORD written = 0;
    bool given = ::WriteFile(m_input.get(), input.data(), static_cast<DWORD>(input.size()), &written, nullptr)
              && written == input.size();
    m_input.reset();
    return given;
}

EncoderRun CEncoderProcess::Watch(const EncoderWatch& watch)
{
    while (::WaitForSingleObject(m_process.get(), ENCODER_WATCH_MS) == WAIT_TIMEOUT) {
        if (!watch(EncodedFrames()))
            return Stop();
    }
    // A last look once it has gone: one done within a look is counted too, and a stop asked
    // meanwhile still keeps nothing of it.
    return watch(EncodedFrames()) ? Finish() : Stop();
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
    run.startError = m_startError;
    m_collected = true;
    // What the encoder left running (under Wine, a console host that can outlive it holding
    // its output open) goes with it.
    if (m_job)
        ::TerminateJobObject(m_job.get(), 1);
    if (m_process) {
        run.end = end;
        std::string errors = ReadTail(m_errorFile);
        run.unfinished = VideoLeftUnfinished(errors);
        run.lastError = LastEncoderError(errors);
    }
    RetryingDeleteFile(m_progressFile);
    RetryingDeleteFile(m_errorFile);
    return run;
}

EncoderRun RunEncoder(const std::string& encoderPath, const std::string& commandLine, const std::string& workFiles,
                      const EncoderWatch& watch)
{
    CEncoderProcess encoder(encoderPath, commandLine, workFiles);
    return encoder.Started() ? encoder.Watch(watch) : encoder.Stop();
}
