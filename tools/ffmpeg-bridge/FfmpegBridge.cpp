// ffmpeg.exe for Wine, for the tests only: runs the host's ffmpeg (or the host command named in
// LUMVEX_HOST_FFMPEG) with the same arguments, Windows paths turned into host paths, and exits
// with its status. Wine starts a host program through fork/exec and hands back no process
// handle, so a wrapper script sends the status back over a socket this program reads.
// Winsock's header must come before anything that includes <windows.h>.
#include <winsock2.h>

#include "framework/Handles.h"

#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

using UnixFileNameFn = char*(CDECL*)(const WCHAR*);
using DosFileNameFn = WCHAR*(CDECL*)(const char*);

constexpr int BRIDGE_FAILURE = 255;

struct SocketTraits {
    static SOCKET Empty() { return INVALID_SOCKET; }
    static void Free(SOCKET s) { ::closesocket(s); }
};
using unique_socket = fw::UniqueResource<SOCKET, SocketTraits>;

// Inside single quotes nothing is special but the quote itself, which is closed, escaped and
// reopened.
std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Wine converts a path only as far as its folders exist; the rest (a folder the encoder must
// fail on, or a name pattern's "%%") is carried over by name.
bool ToUnixPath(UnixFileNameFn toUnix, const std::wstring& path, std::string& unixPath)
{
    if (char* converted = toUnix(path.c_str())) {
        unixPath = converted;
        ::HeapFree(::GetProcessHeap(), 0, converted);
        return true;
    }
    size_t slash = path.find_last_of(L"\\/");
    std::string parent;
    if (slash == std::wstring::npos || slash <= 2 || slash + 1 >= path.size()
        || !ToUnixPath(toUnix, path.substr(0, slash), parent))
        return false;
    unixPath = parent + "/" + std::filesystem::path(path.substr(slash + 1)).u8string();
    return true;
}

// A concat list read from the input names Windows files ("file:C:\\..."), quoted as both the
// list's reader and a shell read them: each becomes its host file.
std::string HostList(UnixFileNameFn toUnix, std::istream& input)
{
    std::string list, line;
    while (std::getline(input, line)) {
        std::string path, unixPath;
        bool quoted = false;
        for (size_t i = 5; line.rfind("file ", 0) == 0 && i < line.size(); ++i) {
            if (line[i] == '\'')
                quoted = !quoted;
            else
                path += !quoted && line[i] == '\\' && i + 1 < line.size() ? line[++i] : line[i];
        }
        if (path.rfind("file:", 0) == 0 && ToUnixPath(toUnix, std::filesystem::u8path(path.substr(5)).wstring(), unixPath))
            line = "file " + ShellQuote("file:" + unixPath);
        list += line + "\n";
    }
    return list;
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

// Runs the encoder, then sends its status back on standard input: a socket whose other end
// only this program holds. It reads as ended once this program is gone, however it went, and
// then so goes the encoder. A read that would block fails instead on Wine's non-blocking
// socket, and counts as alive; asking twice a second keeps the asking from slowing encoders
// that run at once. Wine hands a host program standard input and output but not
// error output: the encoder's errors go to the output, which the job shares with its errors.
// The script, started, is needed no more. Input given to this program is handed on whole.
std::string WrapperScript(const std::string& command, const std::string& input)
{
    return "rm -f \"$0\"\n"
           // The environment Wine hands over may carry a Windows-style PATH.
           "PATH=\"$PATH:/usr/local/bin:/usr/bin:/bin\"; export PATH\n"
           + command + (input.empty() ? " < /dev/null 2>&1 &\n" : " 2>&1 <<'LUMVEX_INPUT' &\n" + input + "LUMVEX_INPUT\n")
           + "encoder=$!\n"
           "exec 3<&0\n"
           "(until dd bs=1 count=1 of=/dev/null 2>/dev/null <&3; do sleep 0.5; done; kill -KILL $encoder) &\n"
           "watcher=$!\n"
           "wait $encoder\n"
           "status=$?\n"
           "kill $watcher 2>/dev/null\n"
           "echo $status >&3\n";
}

bool StartScript(DosFileNameFn toDos, const std::string& unixScript, SOCKET input)
{
    WCHAR* shell = toDos("/bin/sh");
    if (!shell)
        return false;
    // Wine splits this line into the host program's argv by the Windows rules; the script
    // path is a host path in our own temporary folder and holds no double quote.
    std::wstring commandLine = L"sh \"" + std::filesystem::u8path(unixScript).wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = reinterpret_cast<HANDLE>(input);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    BOOL started = ::CreateProcessW(shell, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                    &process);
    ::HeapFree(::GetProcessHeap(), 0, shell);
    fw::unique_handle thread(started ? process.hThread : nullptr);
    fw::unique_handle script(started ? process.hProcess : nullptr);
    return started != FALSE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    // Through void*: the exports' real types are not FARPROC's.
    auto toUnix = reinterpret_cast<UnixFileNameFn>(reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")));
    auto toDos = reinterpret_cast<DosFileNameFn>(reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_dos_file_name")));
    const char* host = std::getenv("LUMVEX_HOST_FFMPEG");
    std::string command = host ? host : "ffmpeg";
    bool readsInput = false;
    for (int i = 1; i < argc && toUnix; ++i) {
        readsInput = readsInput || std::wcscmp(argv[i], L"pipe:0") == 0;
        // "C:\x" or "c:/x": an argument the host encoder cannot open as given.
        bool isPath = std::wcslen(argv[i]) >= 3 && argv[i][1] == L':' && (argv[i][2] == L'\\' || argv[i][2] == L'/');
        std::string argument = std::filesystem::path(argv[i]).u8string();
        if (isPath && !ToUnixPath(toUnix, argv[i], argument))
            return BRIDGE_FAILURE;
        command += " " + ShellQuote(argument);
    }

    WCHAR folder[MAX_PATH + 1] = {};
    WCHAR script[MAX_PATH + 1] = {};
    std::string unixScript;
    unique_socket lifeline, scriptEnd;
    if (!toUnix || !toDos || !ConnectedSockets(lifeline, scriptEnd) || !::GetTempPathW(MAX_PATH + 1, folder)
        || !::GetTempFileNameW(folder, L"lvx", 0, script))
        return BRIDGE_FAILURE;
    // Written and closed before the script starts.
    bool written = ToUnixPath(toUnix, script, unixScript)
                && std::ofstream(std::filesystem::path(script), std::ios::binary)
                       << WrapperScript(command, readsInput ? HostList(toUnix, std::cin) : "");
    if (!written || !StartScript(toDos, unixScript, scriptEnd.get())) {
        ::DeleteFileW(script);
        return BRIDGE_FAILURE;
    }
    scriptEnd.reset();
    // Nothing comes if the script died first.
    std::string status;
    char c = 0;
    while (::recv(lifeline.get(), &c, 1, 0) == 1 && c != '\n')
        status += c;
    return status.empty() ? BRIDGE_FAILURE : std::atoi(status.c_str());
}
