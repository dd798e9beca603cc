#include "filelist/ImageListDlg.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>

namespace {

const char TITLE[] = "Lumvex Time Lapse Video Tools";

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

// The main window on a user-interface thread of its own, driven from the test's thread.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_thread = std::make_unique<rig::UiThread>([this] { m_result = m_dialog.DoModal(); });
        m_window = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", TITLE);
        ASSERT_NE(m_window, nullptr);
        m_list = ::GetDlgItem(m_window, IDC_FILE_LIST);
    }
    void TearDown() override
    {
        if (::IsWindow(m_window)) {
            ::PostMessageA(m_window, WM_CLOSE, 0, 0);
            rig::MessageBoxInfo box = rig::WaitForMessageBox(::GetCurrentProcessId(), 3000);
            if (box.hwnd)
                rig::AnswerMessageBox(box.hwnd, IDYES);
        }
        m_thread.reset();
    }
    void AddRows(int count, const char* type = "JPG")
    {
        for (int i = 0; i < count; ++i) {
            std::string number = std::to_string(rig::RowCount(m_list) + 1);
            rig::AppendRow(m_list, {std::string(4 - number.size(), '0') + number, "f" + number + ".jpg", type,
                                    "640 X 480", "03/07/2012 09:05:00", "C:\\f" + number + ".jpg"});
        }
    }
    // The window frees the drop; a post that fails leaves it to us.
    void Drop(const std::vector<std::string>& paths)
    {
        HDROP drop = MakeDrop(paths);
        if (!::PostMessageA(m_window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0))
            ::GlobalFree(drop);
    }
    std::vector<std::string> Column(int column)
    {
        std::vector<std::string> cells;
        for (const auto& row : rig::Rows(m_list))
            cells.push_back(row[column]);
        return cells;
    }
    // Asks to quit through one path and answers the question.
    rig::MessageBoxInfo QuitThrough(const std::function<void()>& ask, int answer)
    {
        ask();
        rig::MessageBoxInfo box = rig::WaitForMessageBox(::GetCurrentProcessId());
        if (box.hwnd)
            rig::AnswerMessageBox(box.hwnd, answer);
        return box;
    }
    // The context menu that a real right-click at the point shows; its item states.
    std::map<UINT, UINT> ContextMenuAt(POINT client)
    {
        rig::MouseClick(m_list, client, true);
        HWND menu = rig::WaitForPopupMenu(::GetCurrentProcessId(), 5000);
        std::map<UINT, UINT> states;
        if (!menu)
            return states;
        for (UINT id : {ID_VIEW_IMAGE, ID_REMOVE_SELECTED, ID_REMOVE_ALL})
            states[id] = rig::MenuItemState(menu, id) & (MF_GRAYED | MF_DISABLED);
        rig::ClosePopupMenu(menu);
        return states;
    }
    POINT RowPoint(int row)
    {
        RECT rect{LVIR_LABEL, 0, 0, 0};
        ::SendMessageA(m_list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        return {rect.left + 5, (rect.top + rect.bottom) / 2};
    }

    CImageListDlg m_dialog;
    INT_PTR m_result = 0;
    std::unique_ptr<rig::UiThread> m_thread;
    HWND m_window = nullptr;
    HWND m_list = nullptr;
};

TEST_F(MainWindowTest, StartsWithSixEmptyColumnsAndMakeVideoDisabled)
{
    EXPECT_EQ(rig::Headings(m_list),
              (std::vector<std::string>{"No.", "File Name", "Type", "Dimensions", "Created Time", "File Path"}));
    EXPECT_EQ(rig::RowCount(m_list), 0);
    EXPECT_TRUE(rig::IsEnabled(m_window, IDC_SELECT_FILES));
    EXPECT_TRUE(rig::IsEnabled(m_window, IDC_CLOSE));
    EXPECT_FALSE(rig::IsEnabled(m_window, IDC_MAKE_VIDEO));
    EXPECT_EQ(rig::ItemText(m_window, IDC_SELECT_FILES), "Select Files");
    EXPECT_EQ(rig::ItemText(m_window, IDC_MAKE_VIDEO), "Make Video");
    EXPECT_TRUE(::SendMessageA(m_list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
    EXPECT_NE(::SendMessageA(m_window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageA(m_window, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_FALSE(::GetWindowLongA(m_window, GWL_STYLE) & (WS_MAXIMIZEBOX | WS_THICKFRAME));
}

TEST_F(MainWindowTest, EveryWayOfClosingAsksAndNoKeepsTheWindow)
{
    const std::pair<const char*, std::function<void()>> paths[] = {
        {"Close button", [&] { rig::Click(m_window, IDC_CLOSE); }},
        {"close box", [&] { ::PostMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4", [&] {
             ::PostMessageA(m_window, WM_SYSKEYDOWN, VK_F4, 0x20000001);
             ::PostMessageA(m_window, WM_SYSKEYUP, VK_F4, 0xE0000001);
         }},
        {"WM_CLOSE", [&] { ::PostMessageA(m_window, WM_CLOSE, 0, 0); }},
    };
    for (const auto& [name, ask] : paths) {
        rig::MessageBoxInfo box = QuitThrough(ask, IDNO);
        ASSERT_NE(box.hwnd, nullptr) << name;
        EXPECT_EQ(box.text, "Are you sure to quit?") << name;
        EXPECT_EQ(box.caption, TITLE) << name;
        EXPECT_EQ(box.icon, rig::Icon::None) << name;
        EXPECT_EQ(box.buttons, (std::vector<std::string>{"&Yes", "&No"})) << name;
        EXPECT_TRUE(::IsWindowVisible(m_window)) << name;
    }
    QuitThrough([&] { rig::Click(m_window, IDC_CLOSE); }, IDYES);
    EXPECT_TRUE(m_thread->Join());
    EXPECT_EQ(m_result, IDOK);
}

TEST_F(MainWindowTest, DroppedFilesAndFolderImagesJoinTheList)
{
    rig::TempFolder root;
    const std::string folder = root.File("holiday \xC3\xA0 voir");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((folder + "\\inner").c_str(), nullptr));
    const std::pair<std::string, const wchar_t*> images[] = {
        {"\\IMG_10.jpg", L"image/jpeg"}, {"\\IMG_2.png", L"image/png"}, {"\\img_1.bmp", L"image/bmp"},
        {"\\IMG_3.GIF", L"image/gif"},   {"\\inner\\IMG_0.jpg", L"image/jpeg"},
    };
    for (const auto& [name, mime] : images)
        ASSERT_TRUE(rig::WriteImageFile(folder + name, mime, 32, 24, RGB(200, 40, 40)));
    ASSERT_TRUE(rig::WriteFileBytes(folder + "\\notes.txt", "not listed"));
    ASSERT_TRUE(rig::WriteFileBytes(root.File("loose.txt"), "listed as Others"));
    ASSERT_TRUE(rig::WriteImageFile(root.File("single.bmp"), L"image/bmp", 8, 8, RGB(0, 0, 255)));

    Drop({root.File("loose.txt"), folder, root.File("single.bmp")});
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(m_list) == 6 && ::IsWindowEnabled(m_window); }));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"0001", "0002", "0003", "0004", "0005", "0006"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"loose.txt", "img_1.bmp", "IMG_2.png", "IMG_3.GIF", "IMG_10.jpg",
                                                   "single.bmp"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"Others", "BMP", "PNG", "GIF", "JPG", "BMP"}));
    EXPECT_EQ(Column(3)[4], "32 X 24");
    EXPECT_EQ(Column(5)[1], folder + "\\img_1.bmp");
    EXPECT_TRUE(rig::IsEnabled(m_window, IDC_MAKE_VIDEO));
    EXPECT_EQ(rig::WaitForMessageBox(::GetCurrentProcessId(), 0).hwnd, nullptr) << "no notice below the limit";
    rig::SaveScreenshot(rig::ExecutableDirectory() + "main-window-drop.png");

    // A drop that reaches the window while a dialog is up over it is turned away, and freed.
    ::PostMessageA(m_window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = rig::WaitForTopLevel(::GetCurrentProcessId(), "#32770", "About Lumvex Time Lapse Video Tools");
    ASSERT_NE(about, nullptr);
    HDROP refused = MakeDrop({folder});
    DWORD_PTR answer = 0;
    EXPECT_TRUE(::SendMessageTimeoutA(m_window, WM_DROPFILES, reinterpret_cast<WPARAM>(refused), 0, SMTO_NORMAL,
                                      rig::DEFAULT_TIMEOUT_MS, &answer));
    EXPECT_EQ(::GlobalFlags(refused), static_cast<UINT>(GMEM_INVALID_HANDLE));
    EXPECT_EQ(rig::RowCount(m_list), 6);
    rig::Click(about, IDOK);
    ASSERT_TRUE(rig::WaitForWindowGone(about));
}

TEST_F(MainWindowTest, ListKeysAndRemoveCommandsRenumberSelectAllAndOpenTheMenu)
{
    AddRows(5);
    rig::MouseClick(m_list, RowPoint(3));
    ASSERT_TRUE(rig::WaitUntil([&] { return ::SendMessageA(m_list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED) == 3; }));

    RECT row{LVIR_LABEL, 0, 0, 0};
    ::SendMessageA(m_list, LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
    ::MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&row), 2);
    for (const std::vector<WORD>& chord : {std::vector<WORD>{VK_SHIFT, VK_F10}, std::vector<WORD>{VK_APPS}}) {
        rig::TypeKeys(chord);
        HWND menu = rig::WaitForPopupMenu(::GetCurrentProcessId(), 5000);
        ASSERT_NE(menu, nullptr) << chord[0];
        RECT shown;
        ::GetWindowRect(menu, &shown);
        EXPECT_EQ(shown.left, row.left) << chord[0];
        EXPECT_EQ(shown.top, row.bottom) << chord[0];
        EXPECT_EQ(rig::MenuItemState(menu, ID_VIEW_IMAGE) & MF_GRAYED, 0u) << chord[0];
        rig::ClosePopupMenu(menu);
        ASSERT_TRUE(rig::WaitForWindowGone(menu));
    }

    rig::TypeKeys({VK_CONTROL, 'A'});
    EXPECT_TRUE(rig::WaitUntil([&] { return ::SendMessageA(m_list, LVM_GETSELECTEDCOUNT, 0, 0) == 5; }));
    rig::SelectRows(m_list, {1, 3});
    rig::TypeKeys({VK_DELETE});
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(m_list) == 3; }));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"0001", "0002", "0003"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"f1.jpg", "f3.jpg", "f5.jpg"}));
    EXPECT_TRUE(rig::IsEnabled(m_window, IDC_MAKE_VIDEO));
    rig::SelectRows(m_list, {});
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(m_window, WM_COMMAND, ID_REMOVE_SELECTED, 0, SMTO_NORMAL, rig::DEFAULT_TIMEOUT_MS, &answer);
    EXPECT_EQ(rig::RowCount(m_list), 3) << "nothing selected removes nothing";

    // What Enter and Escape become in a dialog, away from the list: nothing at all.
    ::SendMessageTimeoutA(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(m_window, IDC_CLOSE)), TRUE,
                          SMTO_NORMAL, rig::DEFAULT_TIMEOUT_MS, &answer);
    for (int command : {IDOK, IDCANCEL})
        EXPECT_TRUE(::SendMessageTimeoutA(m_window, WM_COMMAND, command, 0, SMTO_NORMAL, 3000, &answer)) << command;
    EXPECT_TRUE(::IsWindowVisible(m_window));
    EXPECT_TRUE(::IsWindowEnabled(m_window));
    EXPECT_EQ(rig::RowCount(m_list), 3);

    rig::PostCommand(m_window, ID_REMOVE_ALL);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(m_list) == 0; }));
    EXPECT_FALSE(rig::IsEnabled(m_window, IDC_MAKE_VIDEO));
}

TEST_F(MainWindowTest, ContextMenuStatesFollowTheClickAndTheSelection)
{
    std::map<UINT, UINT> empty = ContextMenuAt({300, 300});
    ASSERT_EQ(empty.size(), 3u) << "no menu on a right-click in an empty list";
    EXPECT_NE(empty[ID_VIEW_IMAGE], 0u);
    EXPECT_NE(empty[ID_REMOVE_SELECTED], 0u);
    EXPECT_EQ(empty[ID_REMOVE_ALL], 0u);

    AddRows(4);
    AddRows(1, "Others");
    std::map<UINT, UINT> one = ContextMenuAt(RowPoint(1));
    EXPECT_EQ(one[ID_VIEW_IMAGE], 0u);
    EXPECT_EQ(one[ID_REMOVE_SELECTED], 0u);
    EXPECT_EQ(one[ID_REMOVE_ALL], 0u);

    std::map<UINT, UINT> below = ContextMenuAt({300, 300});
    EXPECT_NE(below[ID_VIEW_IMAGE], 0u);
    EXPECT_NE(below[ID_REMOVE_SELECTED], 0u);

    std::map<UINT, UINT> others = ContextMenuAt(RowPoint(4));
    EXPECT_NE(others[ID_VIEW_IMAGE], 0u) << "a row of Others has no picture to show";

    rig::SelectRows(m_list, {0, 1, 2});
    std::map<UINT, UINT> three = ContextMenuAt(RowPoint(1));
    EXPECT_NE(three[ID_VIEW_IMAGE], 0u);
    EXPECT_EQ(three[ID_REMOVE_SELECTED], 0u);
    EXPECT_EQ(three[ID_REMOVE_ALL], 0u);
}

} // namespace
