#include "rig/Player.h"

#include <sstream>

namespace rig {

namespace {

// Windows' shell reads the user's classes over the machine's; Wine 8's reads only the
// machine's, which both honour.
constexpr char CLASSES[] = "Software\\Classes\\";
constexpr char PROG_ID[] = "LumvexTest.Player";

void SetDefault(const std::string& key, const std::string& value)
{
    ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

} // namespace

RegisteredPlayer::RegisteredPlayer(const std::string& extension) : m_key(CLASSES + extension)
{
    std::string event = "LumvexTestPlayer-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount());
    m_release.reset(::CreateEventA(nullptr, TRUE, FALSE, event.c_str()));
    SetDefault(CLASSES + std::string(PROG_ID) + "\\shell\\open\\command",
               "\"" + ExecutableDirectory() + "stand-in\\player.exe\" \"" + m_record + "\" \"" + event + "\" \"%1\"");
    HKEY key = nullptr;
    m_keyWasThere = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_key.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    char value[1024] = {};
    DWORD size = sizeof(value);
    if (m_keyWasThere && ::RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS)
        m_value = value;
    ::RegCloseKey(key);
    SetDefault(m_key, PROG_ID);
}

RegisteredPlayer::~RegisteredPlayer()
{
    Release();
    if (!m_keyWasThere)
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, m_key.c_str());
    else if (!m_value.empty())
        SetDefault(m_key, m_value);
    else
        ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, m_key.c_str(), nullptr);
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, (CLASSES + std::string(PROG_ID)).c_str());
}

std::vector<std::string> RegisteredPlayer::Opened() const
{
    std::vector<std::string> paths;
    std::istringstream lines(ReadFileBytes(m_record));
    for (std::string line; std::getline(lines, line);)
        paths.push_back(line);
    return paths;
}

} // namespace rig
