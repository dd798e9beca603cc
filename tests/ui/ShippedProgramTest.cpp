#include "rig/Rig.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

namespace {

const char TITLE[] = "Lumvex Time Lapse Video Tools";

void QuitProgram(rig::ChildProcess& program, HWND window)
{
    rig::Click(window, IDC_CLOSE);
    rig::MessageBoxInfo box = rig::WaitForMessageBox(program.Id());
    ASSERT_NE(box.hwnd, nullptr);
    rig::AnswerMessageBox(box.hwnd, IDYES);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

// The shipped executable, copied into a folder of its own so that its settings file and
// temporary folder land there, and driven from this process.
TEST(ShippedProgram, StartsAsksBeforeQuittingAndWritesNoSettings)
{
    rig::TempFolder folder;
    std::string exe = folder.File(LUMVEX_TEST_COPY_NAME);
    ASSERT_TRUE(rig::CopyFileTo(rig::ExecutableDirectory() + LUMVEX_EXE_NAME, exe));
    rig::ChildProcess program(exe);
    ASSERT_TRUE(program.Started());

    HWND window = rig::WaitForTopLevel(program.Id(), "#32770", TITLE);
    ASSERT_NE(window, nullptr);
    HWND list = ::GetDlgItem(window, IDC_FILE_LIST);
    EXPECT_EQ(rig::Headings(list),
              (std::vector<std::string>{"No.", "File Name", "Type", "Dimensions", "Created Time", "File Path"}));
    EXPECT_EQ(rig::RowCount(list), 0);
    EXPECT_FALSE(rig::IsEnabled(window, IDC_MAKE_VIDEO));
    EXPECT_TRUE(::PathIsDirectoryA(folder.File("temp").c_str())) << "the fall-back temporary folder is created";

    rig::Click(window, IDC_CLOSE);
    rig::MessageBoxInfo box = rig::WaitForMessageBox(program.Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text, "Are you sure to quit?");
    EXPECT_EQ(box.caption, TITLE);
    EXPECT_EQ(box.icon, rig::Icon::None);
    rig::AnswerMessageBox(box.hwnd, IDNO);
    EXPECT_EQ(program.WaitForExit(300), STILL_ACTIVE);

    QuitProgram(program, window);
    EXPECT_FALSE(::PathFileExistsA(folder.File("lumvextimelapsevideo.ini").c_str())) << "quitting saves nothing";
}

TEST(ShippedProgram, AtADriveRootKeepsItsFilesBesideIt)
{
    const std::string root = "C:\\";
    if (::PathIsDirectoryA((root + "temp").c_str()))
        GTEST_SKIP() << "C:\\temp exists already, so its creation cannot be seen";
    std::string exe = root + LUMVEX_TEST_COPY_NAME;
    ASSERT_TRUE(rig::CopyFileTo(rig::ExecutableDirectory() + LUMVEX_EXE_NAME, exe));
    {
        rig::ChildProcess program(exe);
        HWND window = rig::WaitForTopLevel(program.Id(), "#32770", TITLE);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(::PathIsDirectoryA((root + "temp").c_str())) << "module directory C:\\ plus temp";
        QuitProgram(program, window);
    }
    ::DeleteFileA(exe.c_str());
    ::RemoveDirectoryA((root + "temp").c_str());
}

} // namespace
