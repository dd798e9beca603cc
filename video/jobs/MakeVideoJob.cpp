#include "app/FileSystem.h"
#include "app/SettingsRules.h"
#include "resource.h"
#include "video/encoder/EncoderCommandLine.h"
#include "video/encoder/EncoderFailure.h"
#include "video/encoder/EncoderProcess.h"
#include "video/encoder/EncoderProgress.h"
#include "video/frames/FrameSpace.h"
#include "video/frames/FrameWriter.h"
#include "video/encoder/SegmentedEncode.h"
#include "video/jobs/VideoJob.h"
#include "video/jobs/StampedFrames.h"
#include "video/jobs/VideoPlan.h"
#include "video/jobs/WorkFileClaim.h"

#include <windows.h>

#include <ctime>
#include <vector>

namespace {

std::string CurrentTimePrefix()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return FormatTimePrefix(local);
}

JobResult Result(bool ok, unsigned textId, const std::string& argument = "")
{
    return {ok, textId, argument};
}

JobResult Failure(unsigned textId, const std::string& argument = "")
{
    return Result(false, textId, argument);
}

std::vector<ImageFileInfo> Rows(const ImageFileList& images)
{
    std::vector<ImageFileInfo> rows;
    rows.reserve(images.GetCount());
    for (int i = 0; i < images.GetCount(); ++i)
        rows.push_back(images.GetAt(i));
    return rows;
}

bool IsNonEmptyFile(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (data.nFileSizeHigh != 0 || data.nFileSizeLow != 0);
}

} // namespace

JobResult RunVideoJob(VideoJobInput input, CJobReport& report)
{
    const CIniSettings& settings = input.settings;
    if (!FileExists(input.encoderPath))
        return {false, IDS_MISSING_FILE, input.encoderPath, IDS_ENCODER_NEEDED};
    std::string tempFolder = settings.TempPath;
    if (!EnsureDirectory(tempFolder))
        return Failure(IDS_TEMP_PATH_MISSING, tempFolder);

    // Frames and encoder share the bar alike: one unit per row taken each, and with a stamp,
    // as many again for framing the frames and for stamping them.
    int count = EveryNthCount(input.images.GetCount(), settings.EveryNth);
    bool stamped = settings.Stamp != settings_rules::STAMP_NONE;
    int stampShare = stamped ? 2 * count : 0;
    report.SetRange(2 * count + stampShare + 20);
    if (settings.SortByTime != 0)
        SortImageFilesByTime(input.images);
    report.OffsetPos(5);

    std::vector<ImageFileInfo> rows = TakeEveryNth(Rows(input.images), settings.EveryNth);
    std::string timePrefix = CurrentTimePrefix();
    CWorkFileClaim claim(tempFolder, timePrefix);
    if (!FramesCanFit(rows, tempFolder, tempFolder + timePrefix))
        return Failure(IDS_TEMP_FULL, tempFolder);
    CFrameSequence frames(tempFolder, timePrefix);
    // With deflicker the encoder cannot take frames of differing shapes without losing some
    // (it scales each to the first's size): the frames are framed as chosen on the way in.
    // Stamped frames are all framed to one size on their way to the stamp.
    int framing = settings_rules::ClampInt(settings.Framing, 1, settings_rules::FRAMING_STRETCH);
    bool shaped = settings.Deflicker != 0 && rows.size() > 1 && framing != settings_rules::FRAMING_STRETCH;
    ImageDimensions firstUpright = FirstUprightSize(rows);
    FrameCanvas canvas;
    if (shaped && !stamped)
        canvas = {firstUpright, framing};
    FramesResult written = WriteFrames(rows, frames, report, canvas);
    if (written.end == FramesEnd::Stopped || report.CheckStop())
        return Failure(0);
    if (written.end == FramesEnd::WriteFailed)
        return IsDiskFull(written.error) ? Failure(IDS_TEMP_FULL, tempFolder) : Failure(IDS_FRAME_WRITE_FAILED, written.frame);
    if (frames.Count() == 0)
        return Result(true, IDS_SELECT_IMAGES);

    if (stamped) {
        // A stamp is drawn into frames of the video's size, or the draft's, so that it is as
        // large in every frame.
        ImageDimensions first = FrameSize(FormatFrameFileName(tempFolder, timePrefix, 1));
        ImageDimensions videoSize = VideoDimensions(settings.VideoSize, first);
        EncoderDraft draft = PlanDraft(videoSize, first);
        StampedFramesInput stamp{input.encoderPath, tempFolder, timePrefix, input.draft ? draft.size : videoSize,
                                 framing, input.draft ? draft.lowres : 0, settings.Stamp, input.cores,
                                 input.minSegmentPixels};
        JobResult result = StampFrames(stamp, frames, report, 5 + count);
        if (!result.ok)
            return result;
    }

    std::string destination = settings.DestinationFile;
    int encodingStart = 5 + count + stampShare;
    int shown = encodingStart;
    auto watch = [&](int encodedFrames) {
        int position = EncodingPosition(encodingStart, count, encodedFrames, frames.Count());
        report.SetCount({JobPhase::EncodingFrames, encodedFrames, frames.Count()});
        if (position > shown)
            report.SetPos(shown = position);
        return !report.CheckStop();
    };
    ImageDimensions firstFrame = FrameSize(FormatFrameFileName(tempFolder, timePrefix, 1));
    EncoderDraft draft;
    if (input.draft) {
        draft = PlanDraft(VideoDimensions(settings.VideoSize, firstFrame), firstFrame);
        firstFrame = DecodedSize(firstFrame, draft.lowres);
    }
    auto line = [&](const EncoderShare& share, const std::string& file) {
        return BuildEncoderCommandLine(settings.FrameRate, settings.VideoSize, settings.Framing, settings.Deflicker != 0,
                                       settings.Quality, firstFrame, frames.Count(), tempFolder, timePrefix, file, share,
                                       draft);
    };
    SegmentPlan plan = PlanSegments(input.cores, input.minSegmentPixels, frames.Count(),
                                    static_cast<int64_t>(firstFrame.width) * firstFrame.height, destination);
    EncoderRun run = plan.segments.size() > 1
                          && SegmentsCanFit(tempFolder, frames.Count(), VideoDimensions(settings.VideoSize, firstFrame))
                       ? EncodeInSegments(input.encoderPath, plan, line,
                                          settings_rules::ClampInt(settings.FrameRate, 1, 50), tempFolder + timePrefix,
                                          destination, watch)
                       : RunEncoder(input.encoderPath, line({}, destination), tempFolder + timePrefix, watch);
    frames.DeleteAll();
    // The encoder's status and its output decide: a started encoder may still have failed,
    // leaving part of a video.
    bool success = run.Succeeded() && IsNonEmptyFile(destination);
    if (!success && run.end != EncoderEnd::NotStarted)
        RetryingDeleteFile(destination);
    if (run.end == EncoderEnd::Stopped)
        return Failure(0);
    report.SetPos(encodingStart + count);
    report.OffsetPos(10);
    report.SetPos(count);
    if (success)
        return Result(true, IDS_VIDEO_SUCCESS);
    std::string reason = EncoderFailureReason(run);
    return reason.empty() ? Failure(IDS_VIDEO_FAILED) : Failure(IDS_VIDEO_FAILED_BECAUSE, reason);
}
