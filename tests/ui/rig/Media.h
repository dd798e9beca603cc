// Test media: what the host's measuring tools (ffprobe, ffmpeg's SSIM) tell of videos, and a
// volume that fills.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace rig {

// A tmpfs of the given size mounted on a new folder, standing in for a full disk; unmounted
// when destroyed. Mounted() is false where mounting needs a root the tests lack.
class SmallVolume {
public:
    SmallVolume(const std::string& folder, const std::string& size);
    ~SmallVolume();
    SmallVolume(const SmallVolume&) = delete;
    SmallVolume& operator=(const SmallVolume&) = delete;
    bool Mounted() const { return m_mounted; }
    // From now on no one writes there, not even root.
    bool MakeReadOnly();

private:
    std::string m_folder;
    bool m_mounted = false;
};

// The processes that the process with this id started and that are still running.
int ChildProcessCount(DWORD parentId);

struct VideoProbe {
    std::string formatName;  // e.g. "mov,mp4,m4a,3gp,3g2,mj2", "avi", "flv"
    std::string codecName;   // e.g. "h264", "mpeg4", "flv1"
    std::string profile;     // e.g. "High", "High 4:2:2"
    std::string pixelFormat; // e.g. "yuv420p"
    int level = 0;           // H.264: 51 for 5.1
    int width = 0;
    int height = 0;
    std::string frameRate;   // e.g. "10/1"
    int frameCount = -1;     // frames actually decoded
    // Each decoded frame's timestamp, in the stream's own time units, in decoding order.
    std::vector<long long> frameTimes;
};
// ffprobe of the first video stream; false when ffprobe failed.
bool ProbeVideo(const std::string& path, VideoProbe& probe);

// The SSIM of each frame of the video, or of one picture, against the reference picture
// after the ffmpeg filters given, which bring it to the frame's size; empty when ffmpeg failed.
std::vector<double> FrameSimilarities(const std::string& video, const std::string& reference,
                                      const std::string& referenceFilters);

// The mean SSIM of two videos, frame by frame; -1 when it could not be measured.
double Ssim(const std::string& path, const std::string& referencePath);

// What Windows' own player asks of an MP4, each fault named; empty when it plays: H.264 at
// Baseline, Main or High profile up to level 5.1, 8-bit 4:2:0, even sides, index ("moov")
// before the media data ("mdat").
std::string Mp4PlaybackFaults(const std::string& path, const VideoProbe& probe);

} // namespace rig
