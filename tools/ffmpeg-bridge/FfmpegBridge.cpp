// ffmpeg.exe for Wine: runs the host's ffmpeg with the same arguments, Windows paths turned
// into host paths, and exits with its status. Wine starts a host program through fork/exec
// and hands back no process handle, so a wrapper script records the status in a file that
// this program waits for. LUMVEX_HOST_FFMPEG, when set, names another host command to run
// in its place (ffprobe for the tests, a failing or crashing stand-in).
// Winsock's header must come before anything that includes <windows.h>.
#include <winsock2.h>

#include "framework/Handles.h"
#include "tools/ffmpeg-bridge/BridgeScript.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

using UnixFileNameFn = char*(CDECL*)(const WCHAR*);
using DosFileNameFn = WCHAR*(CDECL*)(const char*);

constexpr int BRIDGE_FAILURE = 255;
constexpr DWORD POLL_MS = 10;
constexpr DWORD LIVENESS_EVERY_MS = 250;
constexpr DWORD START_TIMEOUT_MS = 30000;

struct SocketTraits {
    static SOCKET Empty() { return INVALID_SOCKET; }
    static void Free(SOCKET s) { ::closesocket(s); }
};
using unique_socket = fw::UniqueResource<SOCKET, SocketTraits>;

using unique_local = fw::UniqueResource<HLOCAL, fw::NullTraits<HLOCAL, ::LocalFree>>;

struct Wine {
    UnixFileNameFn toUnix = nullptr;
    DosFileNameFn toDos = nullptr;
};

std::string ToUtf8(const std::wstring& text)
{
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(bytes, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), bytes, nullptr, nullptr);
    return result;
}

std::wstring ToWide(const std::string& text)
{
    int chars = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(chars, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), chars);
    return result;
}

void WriteError(const std::string& text)
{
    DWORD written = 0;
    std::string line = "ffmpeg bridge: " + text + "\n";
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// Wine converts a path only as far as its folders exist; a missing folder (a destination
// the encoder must fail on) is carried over by name, so the encoder never writes elsewhere.
bool ToUnixPath(const Wine& wine, const std::wstring& path, std::string& unixPath)
{
    if (char* converted = wine.toUnix(path.c_str())) {
        unixPath = converted;
        ::HeapFree(::GetProcessHeap(), 0, converted);
        return true;
    }
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash <= 2 || slash + 1 >= path.size())
        return false;
    std::string parent;
    if (!ToUnixPath(wine, path.substr(0, slash), parent))
        return false;
    unixPath = parent + "/" + ToUtf8(path.substr(slash + 1));
    return true;
}

bool ToDosPath(const Wine& wine, const std::string& unixPath, std::wstring& dosPath)
{
    WCHAR* converted = wine.toDos(unixPath.c_str());
    if (!converted)
        return false;
    dosPath = converted;
    ::HeapFree(::GetProcessHeap(), 0, converted);
    return true;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadSmallFile(const std::wstring& path, std::string& text)
{
    fw::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    char buffer[4096];
    DWORD read = 0;
    BOOL ok = ::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr);
    text.assign(buffer, ok ? read : 0);
    return ok != FALSE;
}

bool WriteNewFile(const std::wstring& path, const std::string& bytes)
{
    fw::unique_file file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok && written == bytes.size();
}

// A fresh folder of this run's own under the Windows temporary folder.
bool CreateWorkFolder(std::wstring& folder)
{
    WCHAR temp[MAX_PATH + 1] = {};
    if (!::GetTempPathW(MAX_PATH + 1, temp))
        return false;
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        folder = std::wstring(temp) + L"lumvex-ffmpeg-" + std::to_wstring(::GetCurrentProcessId()) + L"-"
               + std::to_wstring(::GetTickCount() + attempt);
        if (::CreateDirectoryW(folder.c_str(), nullptr))
            return true;
    }
    return false;
}

void RemoveWorkFolder(const std::wstring& folder)
{
    for (const wchar_t* name : {L"run.sh", L"pid", L"pid.part", L"status", L"status.part", L"log"})
        ::DeleteFileW((folder + L"\\" + name).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

// Two connected loopback sockets. The script gets one as its standard input (Wine hands a
// socket's host descriptor to a host program; a pipe has none); the other stays here, and
// the system closes it when this process ends, even by TerminateProcess.
bool ConnectedSockets(unique_socket& mine, unique_socket& theirs)
{
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    unique_socket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (!listener || ::bind(listener.get(), raw, sizeof(address)) != 0 || ::listen(listener.get(), 1) != 0
        || ::getsockname(listener.get(), raw, &length) != 0)
        return false;
    mine.reset(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!mine || ::connect(mine.get(), raw, sizeof(address)) != 0)
        return false;
    theirs.reset(::accept(listener.get(), nullptr, nullptr));
    return static_cast<bool>(theirs);
}

bool StartScript(const Wine& wine, const std::string& unixScript, SOCKET input)
{
    std::wstring shell;
    if (!ToDosPath(wine, "/bin/sh", shell))
        return false;
    // Wine splits this line into the host program's argv by the Windows rules; the script
    // path is a host path in our own temporary folder and holds no double quote.
    std::wstring commandLine = L"sh \"" + ToWide(unixScript) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    if (input != INVALID_SOCKET) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = reinterpret_cast<HANDLE>(input);
        startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(shell.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    fw::unique_handle thread(process.hThread);
    fw::unique_handle script(process.hProcess);
    return true;
}

// Waits for the status file; a script that is gone without one (killed) counts as failed.
int WaitForStatus(const Wine& wine, const std::wstring& folder)
{
    std::wstring statusFile = folder + L"\\status";
    std::wstring pidFile = folder + L"\\pid";
    std::wstring processFolder;
    DWORD started = ::GetTickCount();
    DWORD lastCheck = started;
    for (;;) {
        std::string text;
        if (Exists(statusFile) && ReadSmallFile(statusFile, text))
            return bridge::ParseStatus(text) < 0 ? BRIDGE_FAILURE : bridge::ParseStatus(text);
        ::Sleep(POLL_MS);
        DWORD now = ::GetTickCount();
        if (now - lastCheck < LIVENESS_EVERY_MS)
            continue;
        lastCheck = now;
        if (processFolder.empty()) {
            std::string pid;
            if (Exists(pidFile) && ReadSmallFile(pidFile, pid) && bridge::ParseStatus(pid) > 0)
                ToDosPath(wine, "/proc/" + std::to_string(bridge::ParseStatus(pid)), processFolder);
            else if (now - started > START_TIMEOUT_MS)
                return BRIDGE_FAILURE;
        } else if (!Exists(processFolder) && !Exists(statusFile)) {
            return BRIDGE_FAILURE;
        }
    }
}

// The encoder's own output, as a Windows encoder would have written it: a failure's reason may
// come with a status of 0 (an unfinished video).
void CopyLogToStderr(const std::wstring& folder)
{
    std::string log;
    DWORD written = 0;
    if (ReadSmallFile(folder + L"\\log", log) && !log.empty())
        ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), log.data(), static_cast<DWORD>(log.size()), &written, nullptr);
}

int Run()
{
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    Wine wine;
    // Through void*: the exports' real types are not FARPROC's.
    wine.toUnix = reinterpret_cast<UnixFileNameFn>(reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")));
    wine.toDos = reinterpret_cast<DosFileNameFn>(reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_dos_file_name")));
    if (!wine.toUnix || !wine.toDos) {
        WriteError("this program runs only under Wine");
        return BRIDGE_FAILURE;
    }

    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    unique_local argvOwner(reinterpret_cast<HLOCAL>(argv));
    if (!argv)
        return BRIDGE_FAILURE;
    std::vector<std::string> arguments;
    bool converted = true;
    for (int i = 1; i < count && converted; ++i) {
        std::wstring argument = argv[i];
        std::string hostArgument;
        if (bridge::IsWindowsPath(ToUtf8(argument)))
            converted = ToUnixPath(wine, argument, hostArgument);
        else
            hostArgument = ToUtf8(argument);
        if (!converted)
            WriteError("cannot map the path " + ToUtf8(argument));
        arguments.push_back(hostArgument);
    }
    if (!converted)
        return BRIDGE_FAILURE;

    std::wstring folder;
    if (!CreateWorkFolder(folder)) {
        WriteError("cannot create a work folder");
        return BRIDGE_FAILURE;
    }
    int status = BRIDGE_FAILURE;
    std::string unixFolder;
    WCHAR encoder[1024] = {};
    std::string hostEncoder = ::GetEnvironmentVariableW(L"LUMVEX_HOST_FFMPEG", encoder, 1024) ? ToUtf8(encoder) : "ffmpeg";
    // Without the sockets the host encoder still runs; it just outlives a bridge ended by force.
    unique_socket lifeline, scriptEnd;
    ConnectedSockets(lifeline, scriptEnd);
    if (ToUnixPath(wine, folder, unixFolder)
        && WriteNewFile(folder + L"\\run.sh", bridge::BuildWrapperScript(hostEncoder, arguments, unixFolder))
        && StartScript(wine, unixFolder + "/run.sh", lifeline && scriptEnd ? scriptEnd.get() : INVALID_SOCKET)) {
        scriptEnd.reset();
        status = WaitForStatus(wine, folder);
        CopyLogToStderr(folder);
    } else {
        WriteError("cannot start the host encoder");
    }
    RemoveWorkFolder(folder);
    return status;
}

} // namespace

int main()
{
    return Run();
}
