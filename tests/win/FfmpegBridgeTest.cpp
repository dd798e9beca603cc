#include "rig/Media.h"
#include "rig/Rig.h"

#include <gtest/gtest.h>

namespace {

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

int LeftoverWorkFolders()
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((std::string(temp) + "lumvex-ffmpeg-*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return count;
}

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
    int before = LeftoverWorkFolders();
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
    EXPECT_EQ(LeftoverWorkFolders(), before);
}

TEST(FfmpegBridge, ForwardsTheEncodersFailureAndWritesNothingElsewhere)
{
    rig::TempFolder root;
    ASSERT_TRUE(rig::WriteImageFile(root.File("a_0001.jpg"), L"image/jpeg", 32, 32, RGB(0, 0, 255)));
    std::string missing = root.File("no such folder\\");
    EXPECT_NE(rig::RunHostTool("ffmpeg", "-r 1 -y -f image2 -i " + Quoted(root.File("a_%04d.jpg")) + " "
                                             + Quoted(missing + "v.mp4")),
              0);
    EXPECT_EQ(::GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
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
