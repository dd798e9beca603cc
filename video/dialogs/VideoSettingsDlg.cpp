#include "video/dialogs/VideoSettingsDlg.h"

#include "app/FileSystem.h"
#include "app/Globals.h"
#include "app/SettingsRules.h"
#include "framework/CurrentDirectory.h"
#include "framework/MessageBox.h"
#include "framework/Text.h"
#include "resource.h"
#include "video/dialogs/JobOutcome.h"
#include "video/dialogs/WaitDlg.h"
#include "video/jobs/PreviewJob.h"
#include "video/jobs/VideoPlan.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <vector>

namespace {

// The longest path Windows takes, in characters; in UTF-8 bytes, up to three times as many.
constexpr int LONG_PATH_CHARS = 32767;
const char* const VIDEO_SIZES[settings_rules::VIDEO_SIZE_COUNT] = {
    "According to image size", "QCIF 180 x 120", "CIF 360 x 240", "H-D1 720 x 240",
    "D1 720 x 480", "720P 1280 x 720", "1080P 1920 x 1080", "4K 3840 x 2160"};
const char* const VIDEO_TYPES[] = {"MP4", "AVI", "FLV"};
const char* const FRAMINGS[settings_rules::FRAMING_STRETCH] = {
    "Fit inside, black bars", "Fill, crop the edges", "Stretch to the video size"};
const char* const QUALITIES[settings_rules::QUALITY_BEST] = {"Smaller file", "Standard", "Best"};
const char* const STAMPS[settings_rules::STAMP_DATE_TIME + 1] = {"None", "Date", "Date and time"};

// A program unpacked where the user may not write keeps its choices only until it ends: said
// once a run, not at every video.
void SaveSettings(HWND owner)
{
    static bool told = false;
    if (g_settings.Save() || told)
        return;
    told = true;
    std::string folder = settings_rules::DirectoryOfPath(g_settings.FilePath());
    fw::ShowMessageBox(owner, fw::FormatText(fw::LoadStringText(IDS_SETTINGS_NOT_KEPT).c_str(), folder.c_str()),
                       MB_OK | MB_ICONWARNING);
}

std::string CountText(int count, UINT manyId, UINT oneId)
{
    if (count == 1)
        return fw::LoadStringText(oneId);
    return fw::FormatText(fw::LoadStringText(manyId).c_str(), fw::FormatLocaleNumber(count, 0).c_str());
}

std::string LengthText(const VideoLength& length)
{
    static const UINT TEXTS[] = {IDS_LENGTH_SECONDS, IDS_LENGTH_MINUTES, IDS_LENGTH_HOURS};
    std::string first = fw::FormatLocaleNumber(length.first, length.decimals);
    std::string second = fw::FormatLocaleNumber(length.second, 0);
    return fw::FormatText(fw::LoadStringText(TEXTS[length.unit]).c_str(), first.c_str(), second.c_str());
}

// "3,000 photos, 1,000 frames, 40 s at 25 fps".
std::string DescribeVideo(int photos, int everyNth, int frameRate)
{
    int frames = EveryNthCount(photos, everyNth);
    return fw::FormatText(fw::LoadStringText(IDS_VIDEO_SUMMARY).c_str(),
                          CountText(photos, IDS_PHOTOS, IDS_ONE_PHOTO).c_str(),
                          CountText(frames, IDS_FRAMES, IDS_ONE_FRAME).c_str(),
                          LengthText(SayVideoLength(frames, frameRate)).c_str(),
                          fw::FormatLocaleNumber(frameRate, 0).c_str());
}

// The shell allocates the item list with the task allocator.
using unique_item_list = fw::UniqueResource<PIDLIST_ABSOLUTE, fw::NullTraits<PIDLIST_ABSOLUTE, ::CoTaskMemFree>>;

} // namespace

CVideoSettingsDlg::CVideoSettingsDlg(HWND parent) : CDialog(IDD_VIDEO_SETTINGS, parent) {}

BOOL CVideoSettingsDlg::OnInitDialog()
{
    m_cbVideoSize.Attach(GetDlgItem(IDC_VIDEO_SIZE));
    m_cbFrameRate.Attach(GetDlgItem(IDC_FRAME_RATE));
    m_cbVideoType.Attach(GetDlgItem(IDC_VIDEO_TYPE));
    m_cbFraming.Attach(GetDlgItem(IDC_FRAMING));
    m_cbQuality.Attach(GetDlgItem(IDC_QUALITY));
    m_cbStamp.Attach(GetDlgItem(IDC_STAMP));
    // The resource compiler has no way to give combo boxes their items; they come here.
    for (const char* text : VIDEO_SIZES)
        m_cbVideoSize.AddString(text);
    for (const char* text : VIDEO_TYPES)
        m_cbVideoType.AddString(text);
    for (const char* text : FRAMINGS)
        m_cbFraming.AddString(text);
    for (const char* text : QUALITIES)
        m_cbQuality.AddString(text);
    for (const char* text : STAMPS)
        m_cbStamp.AddString(text);
    ::SendDlgItemMessageA(m_hWnd, IDC_TEMP_PATH, EM_LIMITTEXT, LONG_PATH_CHARS, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_DEST_FILE, EM_LIMITTEXT, LONG_PATH_CHARS, 0);

    m_cbFrameRate.ResetContent();
    for (int rate = 1; rate <= 50; ++rate)
        m_cbFrameRate.AddString(fw::FormatText("%02d", rate));
    m_cbFrameRate.SetCurSel(g_settings.FrameRate - 1);
    m_cbVideoType.SetCurSel(g_settings.VideoType - 1);
    m_cbVideoSize.SetCurSel(g_settings.VideoSize - 1);
    m_cbFraming.SetCurSel(g_settings.Framing - 1);
    m_cbQuality.SetCurSel(g_settings.Quality - 1);
    m_cbStamp.SetCurSel(g_settings.Stamp);
    ::SendDlgItemMessageA(m_hWnd, IDC_EVERY_NTH, EM_LIMITTEXT, 3, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_EVERY_NTH_SPIN, UDM_SETRANGE32, 1, settings_rules::EVERY_NTH_MAX);
    ::SendDlgItemMessageA(m_hWnd, IDC_EVERY_NTH_SPIN, UDM_SETPOS32, 0, g_settings.EveryNth);

    m_bSortByTime = g_settings.SortByTime;
    m_bDeflicker = g_settings.Deflicker;
    m_strTempPath = g_settings.TempPath;
    UpdateData(false);
    ShowVideoSummary();
    return TRUE;
}

// What the box holds, typed or set by its arrows; an empty box, 0 or 500 held in range.
int CVideoSettingsDlg::EveryNth() const
{
    int typed = static_cast<int>(::GetDlgItemInt(m_hWnd, IDC_EVERY_NTH, nullptr, FALSE));
    return CIniSettings::ClampInt(typed, 1, settings_rules::EVERY_NTH_MAX);
}

void CVideoSettingsDlg::ShowVideoSummary() const
{
    int frameRate = CIniSettings::ClampInt(m_cbFrameRate.GetCurSel() + 1, 1, 50);
    ::SetDlgItemTextA(m_hWnd, IDC_VIDEO_SUMMARY, DescribeVideo(m_photoCount, EveryNth(), frameRate).c_str());
}

void CVideoSettingsDlg::UpdateData(bool save)
{
    if (save) {
        m_bSortByTime = ::IsDlgButtonChecked(m_hWnd, IDC_SORT_BY_TIME) == BST_CHECKED;
        m_bDeflicker = ::IsDlgButtonChecked(m_hWnd, IDC_DEFLICKER) == BST_CHECKED;
        m_strTempPath = fw::GetWindowTextString(GetDlgItem(IDC_TEMP_PATH));
        m_strDestFile = fw::GetWindowTextString(GetDlgItem(IDC_DEST_FILE));
    } else {
        ::CheckDlgButton(m_hWnd, IDC_SORT_BY_TIME, m_bSortByTime ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(m_hWnd, IDC_DEFLICKER, m_bDeflicker ? BST_CHECKED : BST_UNCHECKED);
        ::SetDlgItemTextA(m_hWnd, IDC_TEMP_PATH, m_strTempPath.c_str());
        ::SetDlgItemTextA(m_hWnd, IDC_DEST_FILE, m_strDestFile.c_str());
    }
}

INT_PTR CVideoSettingsDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND
        && ((LOWORD(wParam) == IDC_FRAME_RATE && HIWORD(wParam) == CBN_SELCHANGE)
            || (LOWORD(wParam) == IDC_EVERY_NTH && HIWORD(wParam) == EN_CHANGE))) {
        ShowVideoSummary();
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_BROWSE_DEST:
            OnBrowseDestFile();
            return TRUE;
        case IDC_BROWSE_TEMP:
            OnBrowseTempPath();
            return TRUE;
        case IDC_PREVIEW:
            OnPreview();
            return TRUE;
        }
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

int CALLBACK CVideoSettingsDlg::BrowseCallbackProc(HWND hwnd, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data) {
        const auto* dialog = reinterpret_cast<const CVideoSettingsDlg*>(data);
        ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(dialog->m_strTempPath.c_str()));
    }
    return 0;
}

void CVideoSettingsDlg::OnBrowseTempPath()
{
    UpdateData(true);
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = m_hWnd;
    info.pszDisplayName = displayName;
    info.lpszTitle = "Select the temp path\n(Temp file will be deleted after video created.)";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = BrowseCallbackProc;
    info.lParam = reinterpret_cast<LPARAM>(this);
    // Not documented to move the current directory; held all the same, as for every dialog.
    fw::KeepCurrentDirectory keep;
    unique_item_list item(::SHBrowseForFolderA(&info));
    // The narrow call stops at MAX_PATH bytes, which a path in CJK passes at 86 characters.
    std::wstring path(LONG_PATH_CHARS, L'\0');
    if (!item || !::SHGetPathFromIDListEx(item.get(), path.data(), LONG_PATH_CHARS, GPFIDL_DEFAULT))
        return;
    m_strTempPath = settings_rules::WithTrailingBackslash(fw::FromWide(path.c_str(), -1).c_str());
    UpdateData(false);
}

void CVideoSettingsDlg::OnBrowseDestFile()
{
    int type = m_cbVideoType.GetCurSel();
    std::string extension = type == 1 ? "avi" : type == 2 ? "flv" : "mp4";
    // The filter's display text and pattern, each ended by a NUL, the list by a second one.
    std::string filter = "Video file(*." + extension + ")";
    filter += '\0';
    filter += "*." + extension;
    filter += '\0';
    std::vector<char> fileName(LONG_PATH_CHARS, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    // Owned by this dialog, so "Make" cannot be pressed while the file is being chosen.
    dialog.hwndOwner = m_hWnd;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = LONG_PATH_CHARS;
    dialog.lpstrTitle = "Select the destination file";
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    // OFN_NOCHANGEDIR is documented to work here; held all the same, as for every dialog.
    fw::KeepCurrentDirectory keep;
    if (!::GetSaveFileNameA(&dialog))
        return;
    m_strDestFile = fileName.data();
    ::SetDlgItemTextA(m_hWnd, IDC_DEST_FILE, m_strDestFile.c_str());
}

bool CVideoSettingsDlg::HasTempPath() const
{
    if (!m_strTempPath.empty())
        return true;
    fw::ShowMessageBox(m_hWnd, "Temp path is not selected.", MB_OK | MB_ICONERROR);
    return false;
}

CIniSettings CVideoSettingsDlg::ChosenSettings()
{
    UpdateData(true);
    CIniSettings chosen = g_settings;
    chosen.DestinationFile = m_strDestFile;
    chosen.VideoType = CIniSettings::ClampInt(m_cbVideoType.GetCurSel() + 1, 1, 3);
    chosen.FrameRate = CIniSettings::ClampInt(m_cbFrameRate.GetCurSel() + 1, 1, 50);
    chosen.VideoSize = CIniSettings::ClampInt(m_cbVideoSize.GetCurSel() + 1, 1, settings_rules::VIDEO_SIZE_COUNT);
    chosen.TempPath = m_strTempPath;
    chosen.SortByTime = m_bSortByTime;
    chosen.Deflicker = m_bDeflicker;
    chosen.Framing = CIniSettings::ClampInt(m_cbFraming.GetCurSel() + 1, 1, settings_rules::FRAMING_STRETCH);
    chosen.Stamp = CIniSettings::ClampInt(m_cbStamp.GetCurSel(), settings_rules::STAMP_NONE,
                                          settings_rules::STAMP_DATE_TIME);
    chosen.EveryNth = EveryNth();
    chosen.Quality = CIniSettings::ClampInt(m_cbQuality.GetCurSel() + 1, settings_rules::QUALITY_SMALLER,
                                            settings_rules::QUALITY_BEST);
    return chosen;
}

void CVideoSettingsDlg::OnPreview()
{
    CIniSettings chosen = ChosenSettings();
    if (!HasTempPath())
        return;
    std::string draft = NewDraftFile();
    if (draft.empty()) {
        std::string missing = fw::LoadStringText(IDS_TEMP_PATH_MISSING);
        fw::ShowMessageBox(m_hWnd, fw::FormatText(missing.c_str(), SystemTempFolder().c_str()), MB_OK | MB_ICONERROR);
        return;
    }
    CWaitDlg wait(m_hWnd);
    wait.m_pMainDlg = m_pMainDlg;
    wait.m_bMakeVideo = TRUE;
    wait.SetPreview(chosen, draft);
    wait.SetMessageId(IDS_MAKING_PREVIEW);
    INT_PTR ending = wait.DoModal();
    if (ending == IDOK && wait.GetResultId() == IDS_VIDEO_SUCCESS)
        OpenInPlayer(m_hWnd, draft);
    else
        ShowJobResult(m_hWnd, ending, wait.GetResultText());
}

void CVideoSettingsDlg::OnOK()
{
    CIniSettings chosen = ChosenSettings();
    if (!HasTempPath())
        return;
    if (m_strDestFile.empty()) {
        fw::ShowMessageBox(m_hWnd, "Destination file is not selected.", MB_OK | MB_ICONERROR);
        return;
    }
    if (FileExists(m_strDestFile)
        && fw::ShowMessageBox(m_hWnd, "Destination file already exists.\nDo you want to replace it?",
                              MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        return;

    g_settings = chosen;
    SaveSettings(m_hWnd);
    CDialog::OnOK();
}
