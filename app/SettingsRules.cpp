#include "app/SettingsRules.h"

#include <cstdlib>

namespace settings_rules {

int ClampInt(int value, int min, int max)
{
    if (value < min)
        return min;
    if (value > max)
        return max;
    return value;
}

int ParseStoredInt(const std::string& text, int defaultValue)
{
    if (text.empty())
        return defaultValue;
    return std::atoi(text.c_str());
}

std::string WithTrailingBackslash(std::string folder)
{
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string DirectoryOfPath(const std::string& fullPath)
{
    std::string::size_type slash = fullPath.find_last_of("\\/");
    std::string directory;
    if (slash != std::string::npos)
        directory = fullPath.substr(0, slash + 1);
    else if (fullPath.size() >= 2 && fullPath[1] == ':')
        directory = fullPath.substr(0, 2) + "\\";
    // The directory part always ends in a separator: swap it for exactly one backslash.
    if (!directory.empty())
        directory.pop_back();
    return directory + "\\";
}

} // namespace settings_rules
