#include "rig/Player.h"

#include <sstream>

namespace rig {

namespace {

// Windows' shell reads the user's classes over the machine's; Wine 8's reads only the
// machine's, which both honour.
const HKEY CLASSES = HKEY_LOCAL_MACHINE;
constexpr char PROG_ID[] = "LumvexTest.Player";

std::string ClassKey(const std::string& name)
{
    return "Software\\Classes\\" + name;
}

bool ReadDefault(const std::string& name, std::string& value)
{
    char text[1024] = {};
    DWORD size = sizeof(text);
    if (::RegGetValueA(CLASSES, ClassKey(name).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return false;
    value = text;
    return true;
}

void WriteDefault(const std::string& name, const std::string& value)
{
    ::RegSetKeyValueA(CLASSES, ClassKey(name).c_str(), nullptr, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

} // namespace

RegisteredPlayer::RegisteredPlayer(const std::vector<std::string>& extensions)
{
    m_releaseName = "LumvexTestPlayerRelease-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount());
    m_release.reset(::CreateEventA(nullptr, TRUE, FALSE, m_releaseName.c_str()));
    std::string player = ExecutableDirectory() + "stand-in\\player.exe";
    WriteDefault(std::string(PROG_ID) + "\\shell\\open\\command",
                 "\"" + player + "\" \"" + m_record + "\" \"" + m_releaseName + "\" \"%1\"");
    for (const std::string& extension : extensions) {
        HKEY key = nullptr;
        Previous previous{extension, ::RegOpenKeyExA(CLASSES, ClassKey(extension).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS,
                          false, ""};
        ::RegCloseKey(key);
        previous.had = ReadDefault(extension, previous.value);
        m_previous.push_back(previous);
        WriteDefault(extension, PROG_ID);
    }
}

RegisteredPlayer::~RegisteredPlayer()
{
    Release();
    for (const Previous& previous : m_previous) {
        if (previous.had)
            WriteDefault(previous.extension, previous.value);
        else if (previous.keyHad)
            ::RegDeleteKeyValueA(CLASSES, ClassKey(previous.extension).c_str(), nullptr);
        else
            ::RegDeleteKeyA(CLASSES, ClassKey(previous.extension).c_str());
    }
    ::RegDeleteTreeA(CLASSES, ClassKey(PROG_ID).c_str());
}

std::vector<std::string> RegisteredPlayer::Opened() const
{
    std::vector<std::string> paths;
    std::istringstream lines(ReadFileBytes(m_record));
    for (std::string line; std::getline(lines, line);)
        paths.push_back(line);
    return paths;
}

void RegisteredPlayer::Release() const
{
    ::SetEvent(m_release.get());
}

} // namespace rig
