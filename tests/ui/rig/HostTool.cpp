#include "rig/HostTool.h"

#include "rig/Rig.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace rig {

namespace {

using UnixFileNameFn = char*(CDECL*)(const WCHAR*);
using DosFileNameFn = WCHAR*(CDECL*)(const char*);

// Wine's own exports, through void*: their real types are not FARPROC's.
template <typename Fn>
Fn WineExport(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
}

// Inside single quotes nothing is special but the quote itself, which is closed, escaped and
// reopened.
std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Wine converts a path only as far as its folders exist; the rest (a folder a tool must make
// or fail on) is carried over by name.
bool ToUnixPath(const std::wstring& path, std::string& unixPath)
{
    static const auto toUnix = WineExport<UnixFileNameFn>("wine_get_unix_file_name");
    if (char* converted = toUnix ? toUnix(path.c_str()) : nullptr) {
        unixPath = converted;
        ::HeapFree(::GetProcessHeap(), 0, converted);
        return true;
    }
    size_t slash = path.find_last_of(L"\\/");
    std::string parent;
    if (slash == std::wstring::npos || slash <= 2 || slash + 1 >= path.size() || !ToUnixPath(path.substr(0, slash), parent))
        return false;
    unixPath = parent + "/" + std::filesystem::path(path.substr(slash + 1)).u8string();
    return true;
}

// The arguments as shell words, Windows paths ("C:\x", "c:/x") as host paths.
bool ShellWords(const std::string& arguments, std::string& words)
{
    int count = 0;
    std::wstring wide = std::filesystem::u8path(arguments).wstring();
    std::unique_ptr<LPWSTR, decltype(&::LocalFree)> argv(::CommandLineToArgvW((L"x " + wide).c_str(), &count), &::LocalFree);
    for (int i = 1; argv && i < count; ++i) {
        std::wstring argument = argv.get()[i];
        std::string word = std::filesystem::path(argument).u8string();
        bool isPath = argument.size() >= 3 && argument[1] == L':' && (argument[2] == L'\\' || argument[2] == L'/');
        if (isPath && !ToUnixPath(argument, word))
            return false;
        words += " " + ShellQuote(word);
    }
    return argv != nullptr;
}

} // namespace

int RunHostTool(const std::string& command, const std::string& arguments, DWORD timeoutMs)
{
    static const auto toDos = WineExport<DosFileNameFn>("wine_get_dos_file_name");
    TempFolder folder;
    std::string words, unixFolder;
    if (!toDos || !ShellWords(arguments, words) || !ToUnixPath(std::filesystem::u8path(folder.Path()).wstring(), unixFolder))
        return -1;
    // Wine starts a host program by fork and exec and hands back no process to wait for: the
    // script says it has ended by the status file it renames into place. The environment
    // Wine hands over may carry a Windows-style PATH.
    std::string script = "cd " + ShellQuote(unixFolder) + "\nPATH=\"$PATH:/usr/local/bin:/usr/bin:/bin\"; export PATH\n" + command + words
                       + " < /dev/null > output 2>&1\necho $? > status.part && mv status.part status\n";
    if (!WriteFileBytes(folder.File("run.sh"), script))
        return -1;
    auto free = [](WCHAR* text) { ::HeapFree(::GetProcessHeap(), 0, text); };
    std::unique_ptr<WCHAR, decltype(free)> shell(toDos("/bin/sh"), free);
    // Wine splits this line into the host program's argv by the Windows rules.
    std::wstring commandLine = L"sh \"" + std::filesystem::u8path(unixFolder + "/run.sh").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!shell || !::CreateProcessW(shell.get(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &process))
        return -1;
    fw::unique_handle thread(process.hThread), started(process.hProcess);
    if (!WaitUntil([&] { return ::GetFileAttributesA(folder.File("status").c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs))
        return -1;
    int status = std::atoi(ReadFileBytes(folder.File("status")).c_str());
    if (status != 0)
        std::fprintf(stderr, "%s%s: exit %d\n%s", command.c_str(), words.c_str(), status, ReadFileBytes(folder.File("output")).c_str());
    return status;
}

} // namespace rig
