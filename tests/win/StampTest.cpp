// The date stamp the job draws into every frame, read back from the video by OCR.
#include "RecordedReport.h"

#include "app/FileSystem.h"
#include "app/SettingsRules.h"
#include "framework/Handles.h"
#include "resource.h"
#include "rig/HostTool.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"
#include "video/jobs/VideoJob.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The copy's last-write time set to this local time.
std::string WrittenAt(const rig::TempFolder& root, const std::string& fixture, WORD year, WORD month, WORD day,
                      WORD hour, WORD minute)
{
    std::string copy = root.File(fixture);
    ::CopyFileA(fixtures::Path(fixture).c_str(), copy.c_str(), FALSE);
    SYSTEMTIME local{year, month, 0, day, hour, minute, 0, 0};
    SYSTEMTIME utc{};
    FILETIME time{};
    fw::unique_file file(::CreateFileA(copy.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && ::SystemTimeToFileTime(&utc, &time)
                && ::SetFileTime(file.get(), nullptr, nullptr, &time));
    return copy;
}

// The text in the frame's bottom right corner: the white letters alone, black on white, as
// tesseract reads best.
std::string CornerText(const rig::TempFolder& root, const std::string& video, int frame)
{
    std::string name = root.File("corner" + std::to_string(frame));
    std::string select = "select=eq(n\\," + std::to_string(frame) + "),crop=iw/2:ih/8:iw/2:ih*7/8";
    if (rig::RunHostTool("ffmpeg", "-v error -y -i \"" + video + "\" -vf " + select + " -frames:v 1 \"" + name + ".png\"") != 0
        || rig::RunHostTool("convert", "\"" + name + ".png\" -channel RGB -separate -evaluate-sequence min -threshold 75% "
                                       "-negate -bordercolor white -border 20 \"" + name + "-bw.png\"") != 0
        || rig::RunHostTool("tesseract", "\"" + name + "-bw.png\" \"" + name + "\" --psm 7") != 0)
        return "(unreadable)";
    std::string text = rig::ReadFileBytes(name + ".txt");
    text.erase(text.find_last_not_of(" \r\n\f") + 1);
    return text;
}

} // namespace

class Stamp : public ::testing::TestWithParam<const char*> {};

// Photos of any size, type and orientation stamped at 1080P in the order of their rows: the
// camera's date taken, else the file's last-write time in local time, even at the calendar's
// far end, in the user's short date and time formats (the test prefix's locale is en-US). The
// photos, linked as frames before they are stamped, stay as they were; nothing stays behind,
// also when the job is stopped while the encoder frames them.
TEST_P(Stamp, EachFrameShowsWhenItsPhotoWasTaken)
{
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    ::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    ASSERT_STREQ(locale, L"en-US") << "the stamps expected are en-US's; Wine takes the user's locale from LANG";
    rig::TempFolder root;
    VideoJobInput input;
    input.settings.VideoSize = 7;
    input.settings.FrameRate = 1;
    input.settings.Stamp = settings_rules::STAMP_DATE_TIME;
    input.settings.TempPath = root.File("temp\\");
    input.settings.DestinationFile = root.File("stamped.mp4");
    input.encoderPath = rig::EncoderPath(GetParam());
    struct Row {
        std::string type;
        std::string path;
        std::string stamp;
    } rows[] = {
        {"JPG", WrittenAt(root, "camera-taken.jpg", 2020, 1, 2, 3, 4), "12/31/2025 6:45 PM"},
        {"JPG", WrittenAt(root, "taken-c.jpg", 2020, 1, 2, 3, 4), "2/29/2024 11:59 PM"},
        {"JPG", WrittenAt(root, "orientation-6.jpg", 2021, 11, 12, 13, 14), "11/12/2021 1:14 PM"},
        {"PNG", WrittenAt(root, "video.png", 2100, 1, 1, 0, 0), "1/1/2100 12:00 AM"},
    };
    std::vector<std::string> photos;
    for (const Row& row : rows) {
        input.images.Add({0, row.type, row.path, row.path});
        photos.push_back(rig::ReadFileBytes(row.path));
    }
    RecordedReport stopped;
    stopped.stopWhen = [&] { return stopped.last.phase == JobPhase::FramingFrames; };
    EXPECT_EQ(RunVideoJob(input, stopped).textId, 0u);
    EXPECT_FALSE(FileExists(input.settings.DestinationFile));
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::FilesIn(input.settings.TempPath).empty(); }, 5000));
    RecordedReport report;
    JobResult result = RunVideoJob(input, report);
    ASSERT_EQ(result.textId, IDS_VIDEO_SUCCESS) << result.argument;
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::FilesIn(input.settings.TempPath).empty(); }, 5000));
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_TRUE(rig::ReadFileBytes(rows[i].path) == photos[i]) << rows[i].path;

    rig::VideoProbe probe;
    ASSERT_TRUE(rig::ProbeVideo(input.settings.DestinationFile, probe));
    EXPECT_EQ(probe.width, 1920);
    EXPECT_EQ(probe.height, 1080);
    ASSERT_EQ(probe.frameCount, static_cast<int>(std::size(rows)));
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(CornerText(root, input.settings.DestinationFile, static_cast<int>(i)), rows[i].stamp) << "frame " << i;
}

INSTANTIATE_TEST_SUITE_P(Encoders, Stamp, ::testing::ValuesIn(rig::ENCODERS));
