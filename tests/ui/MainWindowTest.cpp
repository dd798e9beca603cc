// The main window on a user-interface thread of this process, driven from the test's thread:
// closing, drops, the list's keys, menus and sort, loading, and the handles its views keep.
#include "filelist/ImageFileList.h"
#include "filelist/ImageListDlg.h"
#include "filelist/RowText.h"
#include "framework/CurrentDirectory.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "resource.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "tests/win/RecordedReport.h"
#include "video/jobs/LoadFilesJob.h"
#include "video/jobs/VideoJob.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>

namespace {

// A drop as Explorer hands it over: UTF-16 paths, each ended by a NUL, the list by another.
HDROP MakeDrop(const std::vector<std::string>& paths)
{
    std::wstring names;
    for (const std::string& path : paths)
        names += fw::ToWide(path) + L'\0';
    names += L'\0';
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    fw::GlobalLockGuard lock(memory);
    auto* header = static_cast<DROPFILES*>(lock.get());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    return static_cast<HDROP>(memory);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", rig::PROGRAM_TITLE);
        ASSERT_NE(m_window, nullptr);
        m_list = ::GetDlgItem(m_window, IDC_FILE_LIST);
    }
    void TearDown() override
    {
        if (::IsWindow(m_window)) {
            ::PostMessageA(m_window, WM_CLOSE, 0, 0);
            rig::AnswerMessageBox(IDYES);
        }
    }
    std::vector<std::string> Column(int column) { return rig::Column(m_list, column); }
    POINT RowPoint(int row)
    {
        RECT rect{};
        ListView_GetItemRect(m_list, row, &rect, LVIR_LABEL);
        return {rect.left + 5, (rect.top + rect.bottom) / 2};
    }
    // The item states of the pop-up menu shown next, which is then closed; where it showed.
    std::vector<bool> NextMenu()
    {
        HWND menu = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32768", "", 5000);
        RECT shown{};
        ::GetWindowRect(menu, &shown);
        m_menuCorner = {shown.left, shown.top};
        auto items = reinterpret_cast<HMENU>(::SendMessageA(menu, MN_GETHMENU, 0, 0));
        std::vector<bool> enabled;
        for (UINT id : {ID_VIEW_IMAGE, ID_REMOVE_SELECTED, ID_REMOVE_ALL})
            enabled.push_back(menu && (::GetMenuState(items, id, 0) & (MF_GRAYED | MF_DISABLED)) == 0);
        ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(rig::WaitForWindowGone(menu, 3000));
        return enabled;
    }
    std::vector<bool> MenuAt(POINT client)
    {
        rig::MouseClick(m_list, client, true);
        return NextMenu();
    }

    CImageListDlg m_dialog;
    rig::UiThread m_thread{[this] { m_dialog.DoModal(); }};
    HWND m_window = nullptr;
    HWND m_list = nullptr;
    POINT m_menuCorner{};
};

TEST_F(MainWindowTest, EveryWayOfClosingAsksAndNoKeepsTheWindow)
{
    // The Close button, the close box (and Alt+F4), and a plain close.
    const std::pair<UINT, WPARAM> ways[] = {{WM_COMMAND, IDC_CLOSE}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_CLOSE, 0}};
    for (const auto& [message, wParam] : ways) {
        ::PostMessageA(m_window, message, wParam, 0);
        EXPECT_EQ(rig::AnswerMessageBox(IDNO), "Are you sure to quit?") << message;
        EXPECT_TRUE(::IsWindowVisible(m_window)) << message;
    }
}

TEST_F(MainWindowTest, DroppedFilesAndFolderImagesJoinTheList)
{
    rig::TempFolder root;
    const std::string folder = root.File("holiday \xC3\xA0 voir");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((folder + "\\inner").c_str(), nullptr));
    const std::pair<const char*, const char*> images[] = {{"baseline.jpg", "\\IMG_10.jpg"}, {"red.png", "\\IMG_2.png"},
                                                          {"bmp24.bmp", "\\img_1.bmp"}, {"still.gif", "\\IMG_3.GIF"},
                                                          {"baseline.jpg", "\\inner\\IMG_0.jpg"}};
    for (const auto& [fixture, name] : images)
        ASSERT_TRUE(rig::CopyFileTo(fixtures::Path(fixture), folder + name));
    ASSERT_TRUE(rig::WriteFileBytes(folder + "\\notes.txt", "not listed"));
    ASSERT_TRUE(rig::WriteFileBytes(root.File("loose.txt"), "listed as Others"));

    // The window frees the drop.
    ::PostMessageA(m_window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({root.File("loose.txt"), folder})), 0);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(m_list) == 5 && ::IsWindowEnabled(m_window); }));
    EXPECT_EQ(Column(COLUMN_FILE_NAME),
              (std::vector<std::string>{"loose.txt", "img_1.bmp", "IMG_2.png", "IMG_3.GIF", "IMG_10.jpg"}));
    EXPECT_EQ(Column(COLUMN_TYPE), (std::vector<std::string>{"Others", "BMP", "PNG", "GIF", "JPG"}));
}

TEST_F(MainWindowTest, ListKeysMenusAndPreviewsFollowTheSelection)
{
    EXPECT_EQ(MenuAt({300, 300}), (std::vector<bool>{false, false, true})) << "empty list";
    for (const char* name : {"red.png", "green.png", "blue.png", "baseline.jpg", "bmp24.bmp"})
        m_dialog.AddImageFile(fixtures::Path(name));
    m_dialog.AddImageFile(fixtures::Path("png-rgb8.rgb"));  // raw bytes: Others
    ASSERT_EQ(rig::RowCount(m_list), 6);
    EXPECT_EQ(MenuAt(RowPoint(1)), (std::vector<bool>{true, true, true})) << "one row";
    EXPECT_EQ(MenuAt({300, 300}), (std::vector<bool>{false, false, true})) << "below the rows";
    EXPECT_EQ(MenuAt(RowPoint(5)), (std::vector<bool>{false, true, true})) << "a row of Others";
    rig::SelectRows(m_list, {0, 1, 2});
    EXPECT_EQ(MenuAt(RowPoint(1)), (std::vector<bool>{false, true, true})) << "three rows";

    // The keyboard's menu opens under the focused row.
    rig::MouseClick(m_list, RowPoint(3));
    ASSERT_TRUE(rig::WaitUntil([&] { return ::SendMessageA(m_list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED) == 3; }));
    RECT row{};
    ListView_GetItemRect(m_list, 3, &row, LVIR_LABEL);
    ::MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&row), 2);
    // Shift+F10 and the Menu key reach the window as the same request; the system ignores the
    // Menu key while the last menu's loop is still unwinding, so only Shift+F10 is typed.
    ASSERT_TRUE(rig::WaitUntil([&] { return ::GetForegroundWindow() == m_window; }));
    rig::TypeKeys({VK_SHIFT, VK_F10});
    NextMenu();
    EXPECT_EQ(std::make_pair(m_menuCorner.x, m_menuCorner.y), std::make_pair(row.left, row.bottom));

    // Each way in shows the first selected row; Enter does nothing there, Escape closes it.
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"double-click", [&] { rig::MouseClick(m_list, RowPoint(1), false, true); }},
        // The double-click left the focus on that row; a click now could count as a third.
        {"Enter", [&] { rig::TypeKeys({VK_RETURN}); }},
        {"View Image", [&] {
             rig::SelectRows(m_list, {2, 1});
             rig::Click(m_window, ID_VIEW_IMAGE);
         }},
    };
    for (const auto& [way, open] : ways) {
        open();
        HWND preview = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Image Preview (green.png)", 5000);
        ASSERT_NE(preview, nullptr) << way;
        EXPECT_FALSE(::IsWindowEnabled(m_window)) << "the preview is modal over the main window";
        rig::PressKey(preview, VK_RETURN);
        ASSERT_TRUE(rig::WaitForPostedMessages(preview));
        EXPECT_TRUE(::IsWindowVisible(preview)) << way;
        rig::PressKey(preview, VK_ESCAPE);
        EXPECT_TRUE(rig::WaitForWindowGone(preview)) << way;
    }

    rig::TypeKeys({VK_CONTROL, 'A'});
    EXPECT_TRUE(rig::WaitUntil([&] { return ::SendMessageA(m_list, LVM_GETSELECTEDCOUNT, 0, 0) == 6; }));
    rig::SelectRows(m_list, {1, 3});
    rig::TypeKeys({VK_DELETE});
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(m_list) == 4; }));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"0001", "0002", "0003", "0004"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"red.png", "blue.png", "bmp24.bmp", "png-rgb8.rgb"}));
    // With nothing selected, Remove and View Image do nothing; nor do Enter and Escape away
    // from the list.
    rig::SelectRows(m_list, {});
    ::SendMessageA(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(m_window, IDC_CLOSE)), TRUE);
    DWORD_PTR answer = 0;
    for (int command : {ID_REMOVE_SELECTED, ID_VIEW_IMAGE, IDOK, IDCANCEL})
        EXPECT_TRUE(::SendMessageTimeoutA(m_window, WM_COMMAND, command, 0, SMTO_NORMAL, 3000, &answer)) << command;
    EXPECT_TRUE(::IsWindowVisible(m_window) && ::IsWindowEnabled(m_window));
    EXPECT_EQ(rig::RowCount(m_list), 4);
    rig::Click(m_window, ID_REMOVE_ALL);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(m_list) == 0; }));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_window, IDC_MAKE_VIDEO)));
}

// Capture times run against the names and the order the photos were added; two of them are
// told apart only by their sub-seconds, and one has no date.
TEST_F(MainWindowTest, AHeadingClickSortsTheRowsAndTheVideoFollowsThem)
{
    for (const char* name : {"taken-0.jpg", "taken-a.jpg", "taken-b.jpg", "taken-c.jpg"})
        m_dialog.AddImageFile(fixtures::Path(name));
    ASSERT_EQ(rig::RowCount(m_list), 4);
    HWND header = ListView_GetHeader(m_list);
    // The button's own messages: the system's input would make two clicks a double-click.
    auto clickHeading = [&](int column) {
        RECT rect{};
        ::SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
        LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageA(header, WM_LBUTTONUP, 0, at);
    };
    auto arrows = [&] {
        std::string shown;
        for (int column = COLUMN_NUMBER; column <= COLUMN_FILE_PATH; ++column) {
            HDITEMA item{};
            item.mask = HDI_FORMAT;
            ::SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item));
            shown += item.fmt & HDF_SORTUP ? '^' : item.fmt & HDF_SORTDOWN ? 'v' : '-';
        }
        return shown;
    };
    const std::vector<std::string> captureOrder = {"taken-c.jpg", "taken-b.jpg", "taken-a.jpg", "taken-0.jpg"};
    const struct {
        int column;
        std::vector<std::string> names;
        const char* arrows;
    } clicks[] = {
        {COLUMN_DATE_TAKEN, captureOrder, "-----^-"},
        {COLUMN_DATE_TAKEN, {captureOrder.rbegin(), captureOrder.rend()}, "-----v-"},
        {COLUMN_NUMBER, {"taken-0.jpg", "taken-a.jpg", "taken-b.jpg", "taken-c.jpg"}, "^------"},
        {COLUMN_DATE_TAKEN, captureOrder, "-----^-"},
    };
    for (const auto& click : clicks) {
        clickHeading(click.column);
        EXPECT_TRUE(rig::WaitUntil([&] { return Column(COLUMN_FILE_NAME) == click.names; })) << click.arrows;
        EXPECT_EQ(arrows(), click.arrows);
        EXPECT_EQ(Column(COLUMN_NUMBER), (std::vector<std::string>{"0001", "0002", "0003", "0004"}));
    }
    ImageFileList frames;
    m_dialog.CollectImageFiles(frames);
    std::vector<std::string> frameNames;
    for (int i = 0; i < frames.GetCount(); ++i)
        frameNames.push_back(frames.GetAt(i).fileName);
    EXPECT_EQ(frameNames, captureOrder);

    // A row added after the sort breaks the order the arrow claims.
    m_dialog.AddImageFile(fixtures::Path("taken-c.jpg"));
    EXPECT_EQ(arrows(), "-------");
}

// Explorer copies dozens of photos a second: 300 made in name order within ten seconds and
// listed in another order play in name order with the created-time box ticked, the job taking
// its snapshot of the rows as the work dialog does. Wine keeps no creation time on Linux and
// reports the last write's, so both are set.
TEST_F(MainWindowTest, PhotosMadeDozensASecondPlayInTheOrderTheyWereMade)
{
    rig::TempFolder root;
    const std::string picture = rig::ReadFileBytes(fixtures::Path("baseline.jpg"));
    std::vector<std::string> paths;
    for (int i = 0; i < 300; ++i) {
        paths.push_back(root.File(fw::FormatText("IMG_%04d.jpg", i)));
        // Its number after the picture's end tells each frame's photo.
        ASSERT_TRUE(rig::WriteFileBytes(paths.back(), picture + fw::FormatText("%03d", i)));
        ULARGE_INTEGER time;
        time.QuadPart = 133500000000000000ULL + i * 10000000ULL * 10 / 300;
        FILETIME made{time.LowPart, time.HighPart};
        fw::unique_file file(::CreateFileA(paths.back().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(::SetFileTime(file.get(), &made, nullptr, &made));
    }
    std::shuffle(paths.begin(), paths.end(), std::mt19937(29));
    RecordedReport report;
    ASSERT_EQ(RunLoadFilesJob(m_dialog, paths, report).textId, 0u);

    VideoJobInput input;
    ASSERT_TRUE(rig::WaitForPostedMessages(m_window, [&] { m_dialog.CollectImageFiles(input.images); }));
    input.settings.SortByTime = 1;
    input.settings.TempPath = root.File("frames\\");
    input.settings.DestinationFile = root.File("video.mp4");
    input.encoderPath = rig::ExecutableDirectory() + "stand-in\\ffmpeg.exe";
    input.cores = 1;
    ::SetEnvironmentVariableA("LUMVEX_STAND_IN", "ok");
    EXPECT_TRUE(RunVideoJob(input, report).ok);
    ::SetEnvironmentVariableA("LUMVEX_STAND_IN", nullptr);
    std::vector<std::string> frames = rig::FilesIn(root.File("seen\\"), "*.jpg");
    std::sort(frames.begin(), frames.end());
    std::vector<int> played, made(300);
    for (const std::string& frame : frames)
        played.push_back(std::atoi(rig::ReadFileBytes(root.File("seen\\" + frame)).substr(picture.size()).c_str()));
    std::iota(made.begin(), made.end(), 0);
    EXPECT_EQ(played, made);
}

// The open dialog leaves the current directory in the folder it chose from, whatever its
// flags; the window puts it back, so the card the photos came from is not held.
TEST_F(MainWindowTest, SelectFilesLeavesTheCurrentDirectoryWhereItWas)
{
    rig::TempFolder root;
    const std::string card = root.File("card \xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0");
    ASSERT_TRUE(::CreateDirectoryA(card.c_str(), nullptr));
    ASSERT_TRUE(rig::CopyFileTo(fixtures::Path("red.png"), card + "\\red.png"));
    const std::wstring before = fw::CurrentDirectory();
    rig::Click(m_window, IDC_SELECT_FILES);
    HWND open = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "Select one or multiple files");
    ASSERT_NE(open, nullptr);
    ASSERT_TRUE(rig::SubmitFileName(open, card + "\\"));
    ASSERT_TRUE(rig::SubmitFileName(open, "\"red.png\""));
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(m_list) == 1 && ::IsWindowEnabled(m_window); }));
    auto utf8 = [](const std::wstring& text) { return fw::FromWide(text.c_str(), static_cast<int>(text.size()), CP_UTF8); };
    EXPECT_EQ(utf8(fw::CurrentDirectory()), utf8(before));
}

// A stop keeps the rows so far, numbered without gaps; the row limit ends the job with a
// notice. The test's thread plays the job's.
TEST_F(MainWindowTest, LoadingStopsKeepingTheRowsSoFarAndAtTheRowLimitWithANotice)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 300; ++i)
        paths.push_back(fixtures::Path(i % 2 ? "bmp24.bmp" : "red.png"));
    RecordedReport report;
    report.stopFrom = 20;
    EXPECT_EQ(RunLoadFilesJob(m_dialog, paths, report).textId, 0u);
    EXPECT_EQ(report.calls, "range300 +20 pos300 ");
    EXPECT_EQ(report.last.done, 20);
    EXPECT_EQ(report.last.total, 300);
    EXPECT_EQ(Column(COLUMN_FILE_PATH), std::vector<std::string>(paths.begin(), paths.begin() + 20));
    EXPECT_EQ(Column(COLUMN_NUMBER).back(), "0020");

    const CListCtrl& list = m_dialog.GetFileListCtrl();
    list.SetRedraw(false);
    for (int row = 20; row < 9998; ++row)
        list.InsertItem(row, "x");
    list.SetRedraw(true);
    RecordedReport limited;
    EXPECT_EQ(RunLoadFilesJob(m_dialog, {paths[1], paths[1], paths[1]}, limited).textId, IDS_FILE_LIMIT);
    EXPECT_EQ(rig::RowCount(m_list), 9999);
    EXPECT_EQ(limited.calls, "range3 +1 pos3 ");
}

TEST_F(MainWindowTest, OpeningTheAboutBoxAndThePreviewLeaksNoHandles)
{
    m_dialog.AddImageFile(fixtures::Path("gradient640x480.png"));
    rig::SelectRows(m_list, {0});
    const std::tuple<UINT, WPARAM, const char*> views[] = {
        {WM_SYSCOMMAND, IDM_ABOUTBOX, "About Lumvex Time Lapse Video Tools"},
        {WM_COMMAND, ID_VIEW_IMAGE, "Image Preview (gradient640x480.png)"}};
    auto openBoth = [&] {
        for (const auto& [message, command, caption] : views) {
            ::PostMessageA(m_window, message, command, 0);
            HWND view = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", caption);
            ASSERT_NE(view, nullptr);
            ::UpdateWindow(view);  // painted, so its fonts and picture have been made
            rig::PressKey(view, VK_ESCAPE);
            ASSERT_TRUE(rig::WaitForWindowGone(view));
        }
    };
    // The count is process-wide: it is taken on the window's own thread between two of its
    // messages, so no drawing is half done.
    auto count = [&] {
        DWORD objects = 0;
        rig::WaitForPostedMessages(m_window, [&] { objects = rig::GdiObjectCount(); });
        return objects;
    };
    openBoth();  // first-use caches of the system and the program
    const DWORD before = count(), times = 50;
    for (DWORD i = 0; i < times && !HasFatalFailure(); ++i)
        openBoth();
    const DWORD after = count();
    // Wine's GDI keeps a few objects of its own alive from call to call; a leak of even one
    // object per opening grows by `times`.
    EXPECT_NE(before, 0u);
    EXPECT_LE(after, before + times / 5);
}

} // namespace
