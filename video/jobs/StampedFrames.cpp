#include "video/jobs/StampedFrames.h"

#include "app/FileSystem.h"
#include "app/Globals.h"
#include "imaging/GdiplusCodec.h"
#include "resource.h"
#include "video/encoder/EncoderCommandLine.h"
#include "video/encoder/EncoderFailure.h"
#include "video/encoder/EncoderProgress.h"
#include "video/encoder/SegmentedEncode.h"
#include "video/frames/ConversionPool.h"
#include "video/frames/ConvertToJpeg.h"
#include "video/frames/FrameSpace.h"
#include "video/frames/StepBatch.h"

#include <vector>

namespace {

// The encoder's BMPs of one run, all of them gone with it, however it ends.
class CFramedFiles {
public:
    CFramedFiles(const StampedFramesInput& input, int count)
    {
        for (int number = 1; number <= count; ++number)
            m_paths.push_back(FormatFramedFileName(input.tempFolder, input.timePrefix, number));
    }
    ~CFramedFiles()
    {
        for (const std::string& path : m_paths)
            RetryingDeleteFile(path);
    }
    CFramedFiles(const CFramedFiles&) = delete;
    CFramedFiles& operator=(const CFramedFiles&) = delete;

    const std::string& Path(int number) const { return m_paths[number - 1]; }

private:
    std::vector<std::string> m_paths;
};

EncoderRun FrameInEncoder(const StampedFramesInput& input, int count, CJobReport& report, int barStart)
{
    // The frames as the encoder reads them, before any scaling: the decode is the work.
    ImageDimensions first = FrameSize(FormatFrameFileName(input.tempFolder, input.timePrefix, 1));
    ImageDimensions decoded = DecodedSize(first, input.lowres);
    SegmentPlan plan = PlanShares(input.cores, input.minSegmentPixels, count,
                                  static_cast<int64_t>(decoded.width) * decoded.height);
    if (plan.segments.empty())
        plan.segments.push_back({1, count});
    auto line = [&](size_t, const EncoderShare& share) {
        return BuildFramingCommandLine(input.framing, input.size, input.lowres, input.tempFolder, input.timePrefix,
                                       share);
    };
    int shown = barStart;
    auto watch = [&](int framed) {
        int position = EncodingPosition(barStart, count, framed, count);
        report.SetCount({JobPhase::FramingFrames, framed, count});
        if (position > shown)
            report.SetPos(shown = position);
        return !report.CheckStop();
    };
    return RunEncodersAtOnce(input.encoderPath, plan, line, input.tempFolder + input.timePrefix, watch);
}

JobResult Failure(unsigned textId, const std::string& argument = "")
{
    return {false, textId, argument};
}

} // namespace

JobResult StampFrames(const StampedFramesInput& input, CFrameSequence& frames, CJobReport& report, int barStart)
{
    int count = frames.Count();
    if (!FramedCanFit(input.tempFolder, count, input.size))
        return Failure(IDS_TEMP_FULL, input.tempFolder);
    CFramedFiles framed(input, count);
    EncoderRun run = FrameInEncoder(input, count, report, barStart);
    if (run.end == EncoderEnd::Stopped)
        return Failure(0);
    if (!run.Succeeded()) {
        std::string reason = EncoderFailureReason(run);
        return reason.empty() ? Failure(IDS_VIDEO_FAILED) : Failure(IDS_VIDEO_FAILED_BECAUSE, reason);
    }
    report.SetPos(barStart + count);
    // A frame may be a link to the photo itself: it goes before anything is written under its
    // name.
    frames.DeleteFiles();
    std::vector<std::string> targets;
    for (int number = 1; number <= count; ++number)
        targets.push_back(FormatFrameFileName(input.tempFolder, input.timePrefix, number));
    GdiplusSession gdiplus(g_gdiplus);
    CConversionPool pool(targets, [&](size_t index) {
        int number = static_cast<int>(index) + 1;
        FrameOutcome outcome = StampFrame(framed.Path(number), frames.Photo(number), input.stamp, targets[index]);
        RetryingDeleteFile(framed.Path(number));
        return outcome;
    }, input.cores);
    StepBatch steps(report, JobPhase::StampingFrames, count);
    for (size_t index = 0; index < targets.size(); ++index) {
        if (report.CheckStop())
            return Failure(0);
        FrameOutcome outcome = pool.Take(index);
        if (outcome.status == FrameStatus::WriteFailed && IsDiskFull(outcome.error))
            return Failure(IDS_TEMP_FULL, input.tempFolder);
        if (outcome.status != FrameStatus::Written)
            return Failure(IDS_FRAME_WRITE_FAILED, targets[index]);
        steps.Step();
    }
    return {true, 0, ""};
}
