// Camera JPEGs (cam_0001.jpg ... in the folder given) to a 1080P MP4 with and without a date
// stamp, side by side in one run, and where each job's time goes. The encoder is the
// ffmpeg.exe beside this program.
#include "app/SettingsRules.h"
#include "bench/Stopwatch.h"
#include "framework/ComPtr.h"
#include "rig/Rig.h"
#include "video/jobs/VideoJob.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int FRAMES = 200;
constexpr int FULL_HD = 7;

std::string CameraFile(const std::string& folder, int number)
{
    char name[32];
    std::snprintf(name, sizeof(name), "cam_%04d.jpg", number);
    return folder + name;
}

// When each count began, from the job's start.
class TimedReport : public CJobReport {
public:
    std::map<JobPhase, double> began;

    void SetRange(int) override {}
    void SetCount(JobCount count) override { began.emplace(count.phase, m_watch.Seconds()); }
    void OffsetPos(int) override {}
    void SetPos(int) override {}
    bool CheckStop() override { return false; }

private:
    Stopwatch m_watch;
};

struct Timing {
    double seconds = 1e9;
    std::map<JobPhase, double> began;

    // From the start of this count to the start of the next one, or the end.
    double Span(JobPhase phase) const
    {
        auto at = began.find(phase);
        if (at == began.end())
            return 0;
        double end = seconds;
        for (const auto& [other, start] : began) {
            if (start > at->second)
                end = std::min(end, start);
        }
        return end - at->second;
    }
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
    return {seconds, report.began};
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
    std::printf("%d camera JPEGs 4000x3000 -> MP4 1920x1080, encoder %s, %u cores\n", FRAMES, input.encoderPath.c_str(),
                fw::ProcessorCount());
    std::printf("  no stamp:   %7.2f s (frames %.2f s, encoding %.2f s)\n", plain.seconds,
                plain.Span(JobPhase::WritingFrames), plain.Span(JobPhase::EncodingFrames));
    std::printf("  date stamp: %7.2f s   ratio %.3f (target <= 2.00)\n", stamped.seconds,
                stamped.seconds / plain.seconds);
    std::printf("  stamped: frames %.2f s, framed by the encoder %.2f s, stamped %.2f s, encoding %.2f s\n",
                stamped.Span(JobPhase::WritingFrames), stamped.Span(JobPhase::FramingFrames),
                stamped.Span(JobPhase::StampingFrames), stamped.Span(JobPhase::EncodingFrames));
    return 0;
}
