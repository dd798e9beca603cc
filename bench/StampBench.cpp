// Camera JPEGs (cam_0001.jpg ... in the folder given) to a 1080P MP4 with and without a date
// stamp, side by side in one run, and where a stamped frame's time goes. The encoder is the
// ffmpeg.exe beside this program.
#include "app/Globals.h"
#include "bench/Stopwatch.h"
#include "framework/ComPtr.h"
#include "framework/Text.h"
#include "imaging/GdiplusCodec.h"
#include "rig/Rig.h"
#include "video/frames/ConvertToJpeg.h"
#include "video/frames/HalftoneDraw.h"
#include "video/frames/StampPainter.h"
#include "video/jobs/VideoJob.h"

#include <algorithm>
#include <cstdio>
#include <string>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr int FRAMES = 200;
constexpr int SAMPLED = 20;
constexpr int FULL_HD = 7;
constexpr ImageDimensions VIDEO{1920, 1080};

std::string CameraFile(const std::string& folder, int number)
{
    char name[32];
    std::snprintf(name, sizeof(name), "cam_%04d.jpg", number);
    return folder + name;
}

class TimedReport : public CJobReport {
public:
    double framesDone = 0;

    void SetRange(int) override {}
    void SetCount(JobCount count) override
    {
        if (framesDone == 0 && count.phase == JobPhase::EncodingFrames)
            framesDone = m_watch.Seconds();
    }
    void OffsetPos(int) override {}
    void SetPos(int) override {}
    bool CheckStop() override { return false; }

private:
    Stopwatch m_watch;
};

struct Timing {
    double seconds = 1e9;
    double frames = 0;
};

Timing RunJob(const VideoJobInput& setUp, int stamp)
{
    VideoJobInput input = setUp;
    input.settings.Stamp = stamp;
    TimedReport report;
    Stopwatch watch;
    JobResult result = RunVideoJob(input, report);
    double seconds = watch.Seconds();
    if (!result.ok)
        std::printf("job failed (stamp %d)\n", stamp);
    return {seconds, report.framesDone};
}

struct Steps {
    double decode = 0, scale = 0, text = 0, encode = 0;
};

// The steps a stamped frame takes, each timed on its own on this thread, as the job does them.
Steps TimeSteps(const std::string& sources, const std::string& scratch)
{
    GdiplusSession gdiplus(g_gdiplus);
    CLSID jpeg;
    FindJpegEncoder(jpeg);
    CJpegFrameParameters parameters;
    Steps steps;
    for (int i = 1; i <= SAMPLED; ++i) {
        Stopwatch watch;
        GpBitmap* photo = nullptr;
        GdipCreateBitmapFromFile(fw::ToWide(CameraFile(sources, i)).c_str(), &photo);
        GdiplusImagePtr photoOwner(photo);
        steps.decode += watch.Seconds();

        watch = Stopwatch();
        GpBitmap* frame = nullptr;
        GdipCreateBitmapFromScan0(VIDEO.width, VIDEO.height, 0, PixelFormat24bppRGB, nullptr, &frame);
        GdiplusImagePtr frameOwner(frame);
        GpGraphics* graphics = nullptr;
        GdipGetImageGraphicsContext(frame, &graphics);
        GdipGraphicsClear(graphics, 0xFF000000);
        DrawHalftone(graphics, photo, {240, 0, 1680, 1080});
        steps.scale += watch.Seconds();

        watch = Stopwatch();
        DrawStamp(graphics, L"12/31/2025 6:45 PM", VIDEO);
        GdipDeleteGraphics(graphics);
        steps.text += watch.Seconds();

        watch = Stopwatch();
        GdipSaveImageToFile(frame, fw::ToWide(scratch).c_str(), &jpeg, parameters.Get());
        steps.encode += watch.Seconds();
    }
    return steps;
}

} // namespace

int main(int argc, char** argv)
{
    fw::ScopedCom com;
    if (argc < 2) {
        std::printf("usage: stamp_bench <folder of cam_0001.jpg ...>\n");
        return 2;
    }
    std::string sources = argv[1];
    rig::TempFolder folder;
    VideoJobInput input;
    input.settings.TempPath = folder.File("temp\\");
    input.settings.FrameRate = 25;
    input.settings.VideoSize = FULL_HD;
    input.settings.DestinationFile = folder.File("video.mp4");
    input.encoderPath = rig::ExecutableDirectory() + "ffmpeg.exe";
    for (int i = 1; i <= FRAMES; ++i)
        input.images.Add({0, "JPG", "cam", CameraFile(sources, i)});

    // Alternated, best of two: a change of load on the shared machine falls on both.
    Timing plain, stamped;
    for (int round = 0; round < 2; ++round) {
        Timing p = RunJob(input, settings_rules::STAMP_NONE);
        Timing s = RunJob(input, settings_rules::STAMP_DATE_TIME);
        if (p.seconds < plain.seconds)
            plain = p;
        if (s.seconds < stamped.seconds)
            stamped = s;
    }
    Steps steps = TimeSteps(sources, folder.File("frame.jpg"));
    auto ms = [](double seconds) { return 1000 * seconds / SAMPLED; };
    std::printf("%d camera JPEGs 4000x3000 -> MP4 1920x1080, encoder %s, %u cores\n", FRAMES, input.encoderPath.c_str(),
                fw::ProcessorCount());
    std::printf("  no stamp:   %7.2f s (frames %.2f s)\n", plain.seconds, plain.frames);
    std::printf("  date stamp: %7.2f s (frames %.2f s)   ratio %.3f (target <= 2.00)\n", stamped.seconds, stamped.frames,
                stamped.seconds / plain.seconds);
    std::printf("  a stamped frame on one core: decode %.1f ms, scale %.1f ms, text %.1f ms, JPEG %.1f ms\n",
                ms(steps.decode), ms(steps.scale), ms(steps.text), ms(steps.encode));
    return 0;
}
