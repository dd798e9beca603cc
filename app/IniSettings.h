// The user's video settings, kept in "lumvextimelapsevideo.ini" beside the executable.
#pragma once

#include "app/IniFile.h"

#include <string>

class CIniSettings {
public:
    virtual ~CIniSettings() = default;

    // Reads the file in the executable's directory; never fails.
    void Load();
    // Reads the file in the given directory (ending in "\"). A temporary folder that cannot be
    // made or written falls back to "temp" there, or else to one of the user's own.
    void Load(const std::string& directory);
    // Writes the ten stored keys in order; false at the first write that fails.
    bool Save() const;

    static int ClampInt(int value, int min, int max);
    const std::string& FilePath() const { return m_file.GetPath(); }

    std::string TempPath;
    std::string DestinationFile;
    int SortByTime = 0;
    int VideoType = 1;
    int FrameRate = 25;
    int VideoSize = 1;
    int Deflicker = 0;
    int Framing = 1;
    int Stamp = 0;
    int EveryNth = 1;
    int Quality = 2;

private:
    CIniFile m_file;
};
