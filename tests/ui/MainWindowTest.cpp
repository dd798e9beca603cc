#include "filelist/ImageListDlg.h"
#include "rig/Rig.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

const char TITLE[] = "Lumvex Time Lapse Video Tools";

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

    HMENU systemMenu = ::GetSystemMenu(m_window, FALSE);
    for (UINT command : {SC_MAXIMIZE, SC_RESTORE, SC_SIZE})
        EXPECT_EQ(::GetMenuState(systemMenu, command, MF_BYCOMMAND), static_cast<UINT>(-1)) << command;
    EXPECT_NE(::GetMenuState(systemMenu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
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

TEST_F(MainWindowTest, EnterAndEscapeDoNothing)
{
    AddRows(2);
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        ::SetFocus(m_list);
        rig::PressKey(m_list, key);
        rig::PressKey(m_window, key);
    }
    EXPECT_EQ(rig::WaitForMessageBox(::GetCurrentProcessId(), 500).hwnd, nullptr);
    EXPECT_TRUE(::IsWindowVisible(m_window));
    EXPECT_FALSE(m_thread->Join(200));
    EXPECT_EQ(rig::RowCount(m_list), 2);
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

TEST_F(MainWindowTest, RemovingRowsRenumbersWithoutGaps)
{
    AddRows(5);
    rig::SelectRows(m_list, {1, 3});
    rig::PostCommand(m_window, ID_REMOVE_SELECTED);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(m_list) == 3; }));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"0001", "0002", "0003"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"f1.jpg", "f3.jpg", "f5.jpg"}));
    EXPECT_TRUE(rig::IsEnabled(m_window, IDC_MAKE_VIDEO));

    rig::SelectRows(m_list, {});
    rig::PostCommand(m_window, ID_REMOVE_SELECTED);
    rig::WaitUntil([&] { return false; }, 200);
    EXPECT_EQ(rig::RowCount(m_list), 3) << "nothing selected removes nothing";

    rig::PostCommand(m_window, ID_REMOVE_ALL);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::RowCount(m_list) == 0; }));
    EXPECT_FALSE(rig::IsEnabled(m_window, IDC_MAKE_VIDEO));
}

} // namespace
