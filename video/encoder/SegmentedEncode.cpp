#include "video/encoder/SegmentedEncode.h"

#include "app/FileSystem.h"
#include "framework/Text.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Files that go when their owner does, whichever way the run ends.
class CScratchFiles {
public:
    CScratchFiles() = default;
    ~CScratchFiles()
    {
        for (const std::string& path : m_paths)
            RetryingDeleteFile(path);
    }
    CScratchFiles(const CScratchFiles&) = delete;
    CScratchFiles& operator=(const CScratchFiles&) = delete;

    const std::string& Add(const std::string& path) { return m_paths.emplace_back(path); }
    const std::vector<std::string>& Paths() const { return m_paths; }

private:
    std::vector<std::string> m_paths;
};

EncoderRun Stopped()
{
    EncoderRun run;
    run.end = EncoderEnd::Stopped;
    return run;
}

} // namespace

EncoderRun RunEncodersAtOnce(const std::string& encoderPath, const SegmentPlan& plan, const ShareCommandLine& line,
                             const std::string& workFiles, const EncoderWatch& watch)
{
    std::vector<std::unique_ptr<CEncoderProcess>> encoders;
    for (size_t i = 0; i < plan.segments.size(); ++i) {
        const Segment& segment = plan.segments[i];
        encoders.push_back(std::make_unique<CEncoderProcess>(
            encoderPath, line(i, {segment.firstFrame, segment.frameCount, plan.threadsEach}),
            workFiles + "_seg" + std::to_string(i + 1)));
        if (!encoders.back()->Started())
            return encoders.back()->Stop();
    }
    std::vector<bool> done(encoders.size(), false);
    EncoderRun last;
    for (size_t running = encoders.size(); running > 0;) {
        std::vector<HANDLE> processes;
        for (size_t i = 0; i < encoders.size(); ++i) {
            if (!done[i])
                processes.push_back(encoders[i]->Process());
        }
        ::WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), FALSE, ENCODER_WATCH_MS);
        int frames = 0;
        for (size_t i = 0; i < encoders.size(); ++i) {
            if (!done[i] && ::WaitForSingleObject(encoders[i]->Process(), 0) == WAIT_OBJECT_0) {
                last = encoders[i]->Finish();
                if (!last.Succeeded())
                    return last;
                done[i] = true;
                --running;
            }
            frames += done[i] ? plan.segments[i].frameCount : std::max(0, encoders[i]->EncodedFrames());
        }
        if (!watch(frames))
            return Stopped();
    }
    return last;
}

EncoderRun EncodeInSegments(const std::string& encoderPath, const SegmentPlan& plan, const SegmentCommandLine& line,
                            int frameRate, const std::string& workFiles, const std::string& destinationFile,
                            const EncoderWatch& watch)
{
    // Declared first so they go last, once no encoder is left writing or reading them.
    CScratchFiles segmentFiles;
    // Started first: under Wine starting the encoder takes a second, spent while the segments
    // are made. It waits for their list on its input, before it touches the destination.
    CEncoderProcess join(encoderPath, BuildJoinCommandLine(destinationFile), workFiles + "_join", true);
    if (!join.Started())
        return join.Stop();
    for (size_t i = 0; i < plan.segments.size(); ++i)
        segmentFiles.Add(SegmentFileName(workFiles, i, destinationFile));
    EncoderRun made = RunEncodersAtOnce(
        encoderPath, plan, [&](size_t i, const EncoderShare& share) { return line(share, segmentFiles.Paths()[i]); },
        workFiles, watch);
    if (!made.Succeeded())
        return made;

    int allFrames = 0;
    for (const Segment& segment : plan.segments)
        allFrames += segment.frameCount;
    // The encoder reads the names in its list as UTF-8.
    std::vector<std::string> names;
    for (const std::string& path : segmentFiles.Paths())
        names.push_back(fw::ToUtf8(path));
    if (!join.Give(ConcatList(names, plan.segments, frameRate))) {
        // It went before it had the list: a failure of the join, not a stop.
        EncoderRun run = join.Stop();
        run.end = EncoderEnd::Exited;
        return run;
    }
    return join.Watch([&](int) { return watch(allFrames); });
}
