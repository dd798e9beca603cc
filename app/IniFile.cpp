#include "app/IniFile.h"

#include "app/SettingsRules.h"

#include <windows.h>

bool CIniFile::SetPath(const char* path)
{
    if (!path)
        return false;
    m_path = path;
    return true;
}

std::string CIniFile::ReadString(const char* section, const char* key, const char* defaultText) const
{
    // A value that fills the buffer may have been cut: read again with room to spare.
    for (DWORD size = 1024;; size *= 2) {
        std::string buffer(size, '\0');
        DWORD length = ::GetPrivateProfileStringA(section, key, defaultText, buffer.data(), size, m_path.c_str());
        if (length < size - 1 || size >= 1u << 20)
            return buffer.substr(0, length);
    }
}

int CIniFile::ReadInt(const char* section, const char* key, int defaultValue) const
{
    return settings_rules::ParseStoredInt(ReadString(section, key, ""), defaultValue);
}

bool CIniFile::ReadBool(const char* section, const char* key, bool defaultValue) const
{
    return ReadInt(section, key, defaultValue ? 1 : 0) != 0;
}

bool CIniFile::WriteString(const char* section, const char* key, const std::string& text) const
{
    return ::WritePrivateProfileStringA(section, key, text.c_str(), m_path.c_str()) != FALSE;
}

bool CIniFile::WriteInt(const char* section, const char* key, int value) const
{
    return WriteString(section, key, std::to_string(value));
}

bool CIniFile::WriteBool(const char* section, const char* key, bool value) const
{
    return WriteInt(section, key, value ? 1 : 0);
}
