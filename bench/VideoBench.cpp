// The video build job against the same encoder run directly on the same sources, side by side
// in one run: 200 frames of 1920 x 1080, once as JPEG and once as PNG; or, given a folder of
// 200 camera JPEGs (cam_0001.jpg ...), the job in segments on every core against one run, to
// MP4 and AVI; or, given "preview" and a folder of 1,000 camera JPEGs, the preview of them
// against their 1080P video. The encoder is the ffmpeg.exe beside this program.
#include "app/Globals.h"
#include "bench/BenchMainDlg.h"
#include "bench/Stopwatch.h"
#include "filelist/ImageFileList.h"
#include "filelist/ImageListDlg.h"
#include "framework/ComPtr.h"
#include "resource.h"
#include "rig/HostTool.h"
#include "rig/Media.h"
#include "rig/Rig.h"
#include "video/encoder/EncoderCommandLine.h"
#include "video/frames/FrameWriter.h"
#include "video/jobs/PreviewJob.h"
#include "video/jobs/VideoJob.h"
#include "video/dialogs/WaitDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int FRAMES = 200;
constexpr int FRAME_RATE = 25;
constexpr int VIDEO_SIZE = 6;  // 1280 x 720

std::string SourceName(const std::string& folder, int number, const char* extension, const char* prefix = "src")
{
    char name[32];
    std::snprintf(name, sizeof(name), "%s_%04d.%s", prefix, number, extension);
    return folder + name;
}

// The encoder the job runs, the one beside this program.
std::string Encoder()
{
    return rig::ExecutableDirectory() + "ffmpeg.exe";
}

// That encoder on the sources themselves: same rate, size and container.
double RunDirect(const std::string& folder, const char* extension, const std::string& destination,
                 int videoSize = VIDEO_SIZE, const std::string& prefix = "src")
{
    std::string line = BuildEncoderCommandLine(FRAME_RATE, videoSize, g_settings.Framing, false, g_settings.Quality, {},
                                               FRAMES, folder, prefix, destination);
    std::string pattern = prefix + "_%04d.jpg";
    line.replace(line.find(pattern), pattern.size(), prefix + "_%04d." + extension);
    Stopwatch watch;
    rig::ChildProcess encoder(Encoder(), "-nostdin -loglevel error" + line);
    DWORD status = encoder.WaitForExit(600000);
    double seconds = watch.Seconds();
    if (status != 0)
        std::printf("direct encoder run failed: %lu\n", status);
    return seconds;
}

class SilentReport : public CJobReport {
    void SetRange(int) override {}
    void OffsetPos(int) override {}
    void SetPos(int) override {}
    void SetCount(JobCount) override {}
    bool CheckStop() override { return false; }
};

// Notes when the bar passes the end of the frames and the end of the encoders' share.
class TimedReport : public CJobReport {
public:
    double framesDone = 0;
    double encoded = 0;

    void SetRange(int) override {}
    void SetCount(JobCount) override {}
    void OffsetPos(int delta) override { SetPos(m_pos + delta); }
    void SetPos(int pos) override
    {
        m_pos = pos;
        if (framesDone == 0 && pos >= 5 + FRAMES)
            framesDone = m_watch.Seconds();
        if (encoded == 0 && pos >= 5 + 2 * FRAMES)
            encoded = m_watch.Seconds();
    }
    bool CheckStop() override { return false; }

private:
    Stopwatch m_watch;
    int m_pos = 0;
};

// The same job with no window: what the work dialog itself costs is the difference.
double RunJobAlone(const ImageFileList& records, const std::string& destination, unsigned cores, CJobReport& report)
{
    VideoJobInput input;
    input.images = records;
    input.settings = g_settings;
    input.settings.DestinationFile = destination;
    input.encoderPath = Encoder();
    input.cores = cores;
    Stopwatch watch;
    JobResult result = RunVideoJob(input, report);
    double seconds = watch.Seconds();
    if (!result.ok)
        std::printf("job without the window failed\n");
    return seconds;
}

// What every job here runs with: default settings, frames in the folder's temp\, FRAME_RATE.
void UseBenchSettings(const rig::TempFolder& folder, int videoSize)
{
    g_settings = CIniSettings();
    g_settings.TempPath = folder.File("temp\\");
    g_settings.FrameRate = FRAME_RATE;
    g_settings.VideoSize = videoSize;
}

// The whole job through the work dialog; meanwhile the bar is sampled every 200 ms, and the
// longest time it stood still while the encoder ran is kept.
double RunJob(BenchMainDlg& mainDlg, const std::string& destination, DWORD& longestStill)
{
    g_settings.DestinationFile = destination;
    CWaitDlg dialog(mainDlg.GetSafeHwnd());
    dialog.m_pMainDlg = &mainDlg;
    dialog.m_bMakeVideo = TRUE;
    dialog.SetMessageId(IDS_MAKING_VIDEO);
    INT_PTR ending = 0;
    Stopwatch watch;
    {
        rig::UiThread ui([&] { mainDlg.RunOnItsThread([&] { ending = dialog.DoModal(); }); });
        rig::WaitUntil([&] { return dialog.GetSafeHwnd() != nullptr; });
        HWND bar = ::GetDlgItem(dialog.GetSafeHwnd(), IDC_WAIT_PROGRESS);
        LRESULT last = -1;
        DWORD lastMove = 0;
        longestStill = 0;
        while (!ui.Join(200)) {
            LRESULT position = ::SendMessageA(bar, PBM_GETPOS, 0, 0);
            DWORD now = ::GetTickCount();
            bool encoding = position > 5 + FRAMES && last > 5 + FRAMES;
            if (position != last) {
                if (encoding)
                    longestStill = std::max(longestStill, now - lastMove);
                lastMove = now;
                last = position;
            }
        }
    }
    double seconds = watch.Seconds();
    if (ending != IDOK)
        std::printf("job failed: %s\n", dialog.GetResultText().c_str());
    return seconds;
}

// What the job spends making its frames, measured on its own with the job's own code.
double MakeFrames(const ImageFileList& records, const std::string& scratch)
{
    std::vector<ImageFileInfo> rows;
    for (int i = 0; i < records.GetCount(); ++i)
        rows.push_back(records.GetAt(i));
    SilentReport report;
    Stopwatch watch;
    CFrameSequence frames(scratch, "frame");
    WriteFrames(rows, frames, report, {});
    double seconds = watch.Seconds();
    frames.DeleteAll();
    return seconds;
}

void Measure(const char* extension)
{
    rig::TempFolder folder;
    std::string sources = folder.File("sources\\");
    std::string scratch = folder.File("scratch\\");
    ::CreateDirectoryA(sources.c_str(), nullptr);
    ::CreateDirectoryA(scratch.c_str(), nullptr);
    // A moving test picture, so the encoder has real work to do.
    int made = rig::RunHostTool("ffmpeg", "-v error -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v "
                                              + std::to_string(FRAMES) + " -y \"" + sources + "src_%04d." + extension + "\"",
                                600000);
    if (made != 0) {
        std::printf("could not make the %s sources\n", extension);
        return;
    }

    UseBenchSettings(folder, VIDEO_SIZE);
    BenchMainDlg mainDlg;
    rig::UiThread ui([&] { mainDlg.DoModal(); });
    rig::WaitUntil([&] { return mainDlg.GetSafeHwnd() != nullptr; });
    for (int i = 1; i <= FRAMES; ++i)
        mainDlg.AddImageFile(SourceName(sources, i, extension));

    ImageFileList records;
    double collect = 0;
    mainDlg.RunOnItsThread([&] {
        Stopwatch watch;
        mainDlg.CollectImageFiles(records);
        collect = watch.Seconds();
    });
    // Alternated and repeated: the machine is shared, the best of each is the fair figure.
    double direct = 1e9;
    double job = 1e9;
    double alone = 1e9;
    DWORD longestStill = 0;
    for (int round = 0; round < 3; ++round) {
        direct = std::min(direct, RunDirect(sources, extension, folder.File("direct.mp4")));
        DWORD still = 0;
        job = std::min(job, RunJob(mainDlg, folder.File("job.mp4"), still));
        longestStill = std::max(longestStill, still);
        SilentReport silent;
        alone = std::min(alone, RunJobAlone(records, folder.File("alone.mp4"), fw::ProcessorCount(), silent));
    }
    double frames = MakeFrames(records, scratch);
    // The same JPEGs tagged as stored on their side: each is decoded, turned and encoded anew.
    bool jpeg = std::string(extension) == "jpg";
    double turned = jpeg && rig::RunHostTool("exiftool", "-q -overwrite_original -n -Orientation=6 \""
                                                   + folder.File("sources") + "\"") == 0
                        ? MakeFrames(records, scratch)
                        : 0;
    ::EndDialog(mainDlg.GetSafeHwnd(), IDOK);
    ui.Join();

    std::printf("%d %s frames 1920x1080 -> MP4 1280x720 at %d fps, encoder %s\n", FRAMES, extension, FRAME_RATE,
                Encoder().c_str());
    std::printf("  encoder on the sources: %7.2f s\n", direct);
    double target = std::string(extension) == "jpg" ? 1.05 : 1.6;
    std::printf("  whole job:              %7.2f s   ratio %.3f (target <= %.2f)\n", job, job / direct, target);
    std::printf("  of which: reading the rows %.2f s, frames (%s) %.2f s, encoder and the rest %.2f s\n", collect,
                std::string(extension) == "jpg" ? "links" : "conversion", frames, job - frames - collect);
    std::printf("  the job without its window: %.2f s   ratio %.3f\n", alone, alone / direct);
    if (turned > 0)
        std::printf("  frames of the same JPEGs tagged as turned: %.2f s, %.1f ms a frame, %.1f times the links\n", turned,
                    1000 * turned / FRAMES, turned / frames);
    std::printf("  the bar stood still at most %lu ms while the encoder ran (target <= 2000)\n", longestStill);
    // What the job adds to the encoder's own work, free of the encoder's run-to-run spread.
    std::printf("  encoder plus the job's own work: ratio %.3f\n", (direct + collect + frames) / direct);
}

// The camera frames to "1080P 1920 x 1080" in one container, best of three rounds: one encoder
// run, the whole job through the work dialog (in segments on every core), and the job with 1
// and 2 encoders at once.
void MeasureSegments(const std::string& sources, const char* type)
{
    const int fullHd = 7;
    rig::TempFolder folder;
    UseBenchSettings(folder, fullHd);
    BenchMainDlg mainDlg;
    rig::UiThread ui([&] { mainDlg.DoModal(); });
    rig::WaitUntil([&] { return mainDlg.GetSafeHwnd() != nullptr; });
    for (int i = 1; i <= FRAMES; ++i)
        mainDlg.AddImageFile(SourceName(sources, i, "jpg", "cam"));
    ImageFileList records;
    mainDlg.RunOnItsThread([&] { mainDlg.CollectImageFiles(records); });

    std::string destination = folder.File(std::string("video.") + type);
    double direct = 1e9;
    double job = 1e9;
    DWORD still = 0;
    // Each round runs every variant once, so a change of load on the shared machine falls on all.
    struct Alone {
        double seconds = 1e9, frames = 0, encoding = 0;
    } alone[2];
    for (int round = 0; round < 3; ++round) {
        direct = std::min(direct, RunDirect(sources, "jpg", destination, fullHd, "cam"));
        job = std::min(job, RunJob(mainDlg, destination, still));
        for (unsigned encoders : {1u, 2u}) {
            TimedReport report;
            double seconds = RunJobAlone(records, destination, encoders, report);
            if (seconds < alone[encoders - 1].seconds)
                alone[encoders - 1] = {seconds, report.framesDone, report.encoded - report.framesDone};
        }
    }
    std::printf("%d camera JPEGs 4000x3000 4:2:2 -> %s 1920x1080 at %d fps, encoder %s, %u cores\n", FRAMES, type,
                FRAME_RATE, Encoder().c_str(), fw::ProcessorCount());
    std::printf("  one encoder run on the frames:     %7.2f s (best of 3)\n", direct);
    std::printf("  whole job through the work dialog: %7.2f s (best of 3)   ratio %.3f (target <= 0.80)\n", job,
                job / direct);
    std::printf("  encoders at once   job (no window)   frames   encoding   join+clean-up   ratio to one run\n");
    for (int i = 0; i < 2; ++i) {
        const Alone& a = alone[i];
        std::printf("  %16d %15.2f s %7.2f s %8.2f s %13.2f s %18.3f\n", i + 1, a.seconds, a.frames, a.encoding,
                    a.seconds - a.frames - a.encoding, a.seconds / direct);
    }
    ::EndDialog(mainDlg.GetSafeHwnd(), IDOK);
    ui.Join();
}

// The draft the Preview button makes of 1,000 camera frames against the 1080P video Make Video
// makes of them, each job without its window; the draft before and after the video, so a
// change of load on the shared machine shows.
void MeasurePreview(const std::string& sources)
{
    const int photos = 1000;
    const int fullHd = 7;
    rig::TempFolder folder;
    UseBenchSettings(folder, fullHd);
    VideoJobInput input;
    for (int i = 1; i <= photos; ++i) {
        std::string path = SourceName(sources, i, "jpg", "cam");
        input.images.Add({0, "JPG", path.substr(path.find_last_of('\\') + 1), path});
    }
    input.settings = g_settings;
    input.settings.DestinationFile = folder.File("video.mp4");
    input.encoderPath = Encoder();
    SilentReport report;
    auto preview = [&] {
        Stopwatch watch;
        JobResult result = RunPreviewJob(input, NewDraftFile(), report);
        double seconds = watch.Seconds();
        if (result.textId != IDS_VIDEO_SUCCESS)
            std::printf("preview failed\n");
        return seconds;
    };
    double before = preview();
    Stopwatch watch;
    if (RunVideoJob(input, report).textId != IDS_VIDEO_SUCCESS)
        std::printf("video failed\n");
    double video = watch.Seconds();
    double after = preview();
    DeleteDrafts();
    double best = std::min(before, after);
    std::printf("%d camera JPEGs 4000x3000 4:2:2, encoder %s, %u cores\n", photos, Encoder().c_str(),
                fw::ProcessorCount());
    std::printf("  1080P MP4 (Make Video):   %7.2f s\n", video);
    std::printf("  preview (before, after):  %7.2f s, %.2f s   ratio %.3f (target <= 0.20)\n", before, after,
                best / video);
}

} // namespace

int main(int argc, char** argv)
{
    fw::ScopedCom com;
    if (argc > 2 && std::string(argv[1]) == "preview") {
        MeasurePreview(argv[2]);
        return 0;
    }
    if (argc > 1) {
        MeasureSegments(argv[1], "mp4");
        MeasureSegments(argv[1], "avi");
        return 0;
    }
    Measure("jpg");
    Measure("png");
    return 0;
}
