// Reads and writes one INI file through the platform's private-profile functions.
#pragma once

#include <string>

class CIniFile {
public:
    bool SetPath(const char* path);
    const std::string& GetPath() const { return m_path; }

    // At most 1023 characters come back.
    std::string ReadString(const char* section, const char* key, const char* defaultText) const;
    int ReadInt(const char* section, const char* key, int defaultValue) const;
    bool ReadBool(const char* section, const char* key, bool defaultValue) const;
    bool WriteString(const char* section, const char* key, const std::string& text) const;
    bool WriteInt(const char* section, const char* key, int value) const;
    bool WriteBool(const char* section, const char* key, bool value) const;

private:
    std::string m_path;
};
