#include "app/IniSettings.h"

#include "app/FileSystem.h"
#include "app/Globals.h"
#include "app/SettingsRules.h"
#include "framework/Handles.h"
#include "framework/Text.h"

#include <shlobj.h>

namespace {

const char SETTINGS_FILE_NAME[] = "lumvextimelapsevideo.ini";
const char SECTION[] = "VIDEO";

using unique_cotaskmem_wstring = fw::UniqueResource<PWSTR, fw::NullTraits<PWSTR, ::CoTaskMemFree>>;

// "<the user's local application data>\Lumvex Time Lapse Video Tools\temp\"; empty when
// the system does not say where that is.
std::string LocalTempFolder()
{
    unique_cotaskmem_wstring path;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, path.put())))
        return "";
    return fw::FromWide(path.get(), static_cast<int>(::wcslen(path.get()))) + "\\Lumvex Time Lapse Video Tools\\temp\\";
}

bool IsUsableFolder(const std::string& folder)
{
    return EnsureDirectory(folder) && CanWriteInFolder(settings_rules::WithTrailingBackslash(folder));
}

} // namespace

int CIniSettings::ClampInt(int value, int min, int max)
{
    return settings_rules::ClampInt(value, min, max);
}

void CIniSettings::Load()
{
    Load(theApp.GetModuleDirectory());
}

void CIniSettings::Load(const std::string& directory)
{
    m_file.SetPath((directory + SETTINGS_FILE_NAME).c_str());
    TempPath = m_file.ReadString(SECTION, "TempPath", "");
    VideoType = ClampInt(m_file.ReadInt(SECTION, "VideoType", 1), 1, 3);
    FrameRate = ClampInt(m_file.ReadInt(SECTION, "FrameRate", 25), 1, 50);
    VideoSize = ClampInt(m_file.ReadInt(SECTION, "VideoSize", 1), 1, settings_rules::VIDEO_SIZE_COUNT);
    SortByTime = m_file.ReadBool(SECTION, "SortByTime", false) ? 1 : 0;
    Deflicker = m_file.ReadBool(SECTION, "Deflicker", false) ? 1 : 0;
    Framing = ClampInt(m_file.ReadInt(SECTION, "Framing", settings_rules::FRAMING_FIT), 1, settings_rules::FRAMING_STRETCH);
    Stamp = ClampInt(m_file.ReadInt(SECTION, "Stamp", settings_rules::STAMP_NONE), settings_rules::STAMP_NONE,
                     settings_rules::STAMP_DATE_TIME);
    EveryNth = ClampInt(m_file.ReadInt(SECTION, "EveryNth", 1), 1, settings_rules::EVERY_NTH_MAX);
    Quality = ClampInt(m_file.ReadInt(SECTION, "Quality", settings_rules::QUALITY_STANDARD), settings_rules::QUALITY_SMALLER,
                       settings_rules::QUALITY_BEST);

    if (IsUsableFolder(TempPath)) {
        TempPath = settings_rules::WithTrailingBackslash(TempPath);
        return;
    }
    // A program unpacked where the user may not write, such as Program Files, still makes videos.
    const std::string besideProgram = directory + "temp\\";
    for (const std::string& folder : {besideProgram, LocalTempFolder(), SystemTempFolder()}) {
        if (IsUsableFolder(folder)) {
            TempPath = folder;
            return;
        }
    }
    TempPath = besideProgram;
}

bool CIniSettings::Save() const
{
    return m_file.WriteString(SECTION, "TempPath", TempPath)
        && m_file.WriteInt(SECTION, "VideoType", VideoType)
        && m_file.WriteInt(SECTION, "FrameRate", FrameRate)
        && m_file.WriteInt(SECTION, "VideoSize", VideoSize)
        && m_file.WriteBool(SECTION, "SortByTime", SortByTime != 0)
        && m_file.WriteBool(SECTION, "Deflicker", Deflicker != 0)
        && m_file.WriteInt(SECTION, "Framing", Framing)
        && m_file.WriteInt(SECTION, "Stamp", Stamp)
        && m_file.WriteInt(SECTION, "EveryNth", EveryNth)
        && m_file.WriteInt(SECTION, "Quality", Quality);
}
