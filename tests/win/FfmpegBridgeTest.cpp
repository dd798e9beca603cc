#include "rig/Media.h"
#include "rig/Rig.h"

#include "framework/Handles.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

// The bridge keeps its script and status in the Windows temporary folder; point that at a
// folder of the test's own to see it left clean.
class PrivateTemp {
public:
    PrivateTemp()
    {
        ::GetEnvironmentVariableA("TMP", m_previous, sizeof(m_previous));
        ::SetEnvironmentVariableA("TMP", m_folder.Path().c_str());
    }
    ~PrivateTemp() { ::SetEnvironmentVariableA("TMP", m_previous[0] ? m_previous : nullptr); }
    bool IsEmpty() const
    {
        WIN32_FIND_DATAA data;
        HANDLE find = ::FindFirstFileA(m_folder.File("*").c_str(), &data);
        bool empty = true;
        if (find != INVALID_HANDLE_VALUE) {
            do
                empty = empty && (std::string(data.cFileName) == "." || std::string(data.cFileName) == "..");
            while (::FindNextFileA(find, &data));
            ::FindClose(find);
        }
        return empty;
    }

private:
    rig::TempFolder m_folder;
    char m_previous[MAX_PATH] = {};
};

} // namespace

TEST(FfmpegBridge, EncodesASequenceInAFolderWithSpacesAndNonAsciiNames)
{
    rig::TempFolder root;
    std::string folder = root.File("Zeit raffer \xC3\xA4\xC3\xB6 \xE6\x97\xA5\xE6\x9C\xAC\\");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    for (int i = 1; i <= 3; ++i) {
        char name[32];
        sprintf_s(name, "20200101000000_%04d.jpg", i);
        ASSERT_TRUE(rig::WriteImageFile(folder + name, L"image/jpeg", 64, 48, RGB(200, 30, 30)));
    }
    std::string destination = folder + "it's a $(video).mp4";
    PrivateTemp temp;
    // The program's own command line: a leading blank, then the encoder's arguments.
    EXPECT_EQ(rig::RunHostTool("ffmpeg", "-r 10 -y -f image2 -i " + Quoted(folder + "20200101000000_%04d.jpg")
                                             + " -s 360x240 " + Quoted(destination)),
              0);
    rig::VideoProbe probe;
    ASSERT_TRUE(rig::ProbeVideo(destination, probe));
    EXPECT_EQ(probe.frameCount, 3);
    EXPECT_EQ(probe.width, 360);
    EXPECT_EQ(probe.height, 240);
    EXPECT_EQ(probe.frameRate, "10/1");
    EXPECT_TRUE(temp.IsEmpty());
}

TEST(FfmpegBridge, ReturnsTheHostStatusAndCountsACrashAsFailure)
{
    EXPECT_EQ(rig::RunHostTool("sh -c 'exit 7' sh", ""), 7);
    EXPECT_EQ(rig::RunHostTool("sh -c 'exit 0' sh", ""), 0);
    EXPECT_NE(rig::RunHostTool("sh -c 'kill -SEGV $$' sh", ""), 0);
}

TEST(FfmpegBridge, HandsArgumentsOverLiterallyAndPathsAsHostPaths)
{
    rig::TempFolder root;
    std::string output = root.File("\xC3\xBC out.txt");
    std::string tricky = "it's $(id) `id` $HOME; *";
    EXPECT_EQ(rig::RunHostTool("sh -c 'printf %s \"$1\" > \"$2\"' sh", Quoted(tricky) + " " + Quoted(output)), 0);
    EXPECT_EQ(rig::ReadFileBytes(output), tricky);
}

// Ended by force, as the program ends its encoder, the bridge takes the host encoder with it
// within a second, and its work folder too.
TEST(FfmpegBridge, EndedByForceItEndsTheHostEncoderAndLeavesNoFolder)
{
    rig::TempFolder root;
    std::string pidFile = root.File("host pid");
    PrivateTemp temp;
    ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", "sh -c 'echo $$ > \"$1\"; exec sleep 60' sh");
    std::string line = " " + Quoted(pidFile);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    BOOL started = ::CreateProcessA((rig::ExecutableDirectory() + "ffmpeg.exe").c_str(), line.data(), nullptr, nullptr,
                                    FALSE, 0, nullptr, nullptr, &startup, &info);
    ::SetEnvironmentVariableA("LUMVEX_HOST_FFMPEG", nullptr);
    ASSERT_TRUE(started);
    fw::unique_handle process(info.hProcess);
    fw::unique_handle thread(info.hThread);
    ASSERT_TRUE(rig::WaitUntil([&] { return !rig::ReadFileBytes(pidFile).empty(); }));
    std::string hostPid = rig::ReadFileBytes(pidFile);
    hostPid.erase(hostPid.find_last_not_of("\n") + 1);
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD ended = ::GetTickCount();
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::RunHostTool("kill", "-0 " + hostPid) != 0; }, 1000))
        << "the host encoder outlived the bridge";
    std::printf("host encoder gone %lu ms after the bridge\n", ::GetTickCount() - ended);
    EXPECT_TRUE(rig::WaitUntil([&] { return temp.IsEmpty(); }, 5000));
}
