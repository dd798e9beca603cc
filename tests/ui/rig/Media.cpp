#include "rig/Media.h"

#include "rig/HostTool.h"
#include "rig/Rig.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <map>
#include <numeric>
#include <sstream>

namespace rig {

namespace {

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

} // namespace

SmallVolume::SmallVolume(const std::string& folder, const std::string& size) : m_folder(folder)
{
    ::CreateDirectoryA(folder.c_str(), nullptr);
    m_mounted = RunHostTool("sh", "-c \"mount -t tmpfs -o size=" + size + " tmpfs \\\"$1\\\"\" sh " + Quoted(folder)) == 0;
}

SmallVolume::~SmallVolume()
{
    if (m_mounted)
        RunHostTool("sh", "-c \"umount \\\"$1\\\"\" sh " + Quoted(m_folder));
}

bool SmallVolume::MakeReadOnly()
{
    return RunHostTool("sh", "-c \"mount -o remount,ro \\\"$1\\\"\" sh " + Quoted(m_folder)) == 0;
}

int ChildProcessCount(DWORD parentId)
{
    fw::unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry))
        count += entry.th32ParentProcessID == parentId;
    return count;
}

bool ProbeVideo(const std::string& path, VideoProbe& probe)
{
    TempFolder folder;
    std::string report = folder.File("probe.txt");
    int status = RunHostTool("ffprobe", "-v error -select_streams v:0 -show_entries "
                                        "stream=codec_name,profile,pix_fmt,level,width,height,r_frame_rate"
                                        ":format=format_name:frame=pts "
                                        "-of default=noprint_wrappers=1 -o " + Quoted(report) + " " + Quoted(path));
    if (status != 0)
        return false;
    std::istringstream lines(ReadFileBytes(report));
    std::map<std::string, std::string> values;
    std::vector<long long> times;
    for (std::string line; std::getline(lines, line);) {
        size_t equals = line.find('=');
        if (line.rfind("pts=", 0) == 0)
            times.push_back(std::atoll(line.c_str() + 4));
        else if (equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    auto number = [&](const char* key) { return values.count(key) ? std::atoi(values[key].c_str()) : -1; };
    probe = {values["format_name"], values["codec_name"], values["profile"], values["pix_fmt"], number("level"),
             number("width"), number("height"), values["r_frame_rate"], static_cast<int>(times.size()), times};
    return true;
}

std::vector<double> FrameSimilarities(const std::string& video, const std::string& reference,
                                      const std::string& referenceFilters)
{
    TempFolder folder;
    std::string report = folder.File("ssim.txt");
    // Through a shell, so the filter's line per frame reaches the report.
    std::string script = "ffmpeg -v error -i \\\"$0\\\" -i \\\"$1\\\" -lavfi \\\"[1:v]$3[r];[0:v][r]ssim=stats_file=-\\\" "
                         "-f null - > \\\"$2\\\"";
    std::vector<double> similarities;
    if (RunHostTool("sh", "-c \"" + script + "\" " + Quoted(video) + " " + Quoted(reference) + " " + Quoted(report) + " "
                              + Quoted(referenceFilters)) != 0)
        return similarities;
    std::istringstream lines(ReadFileBytes(report));
    for (std::string line; std::getline(lines, line);) {
        size_t all = line.find("All:");
        if (all != std::string::npos)
            similarities.push_back(std::atof(line.c_str() + all + 4));
    }
    return similarities;
}

double Ssim(const std::string& path, const std::string& referencePath)
{
    std::vector<double> frames = FrameSimilarities(path, referencePath, "null");
    return frames.empty() ? -1 : std::accumulate(frames.begin(), frames.end(), 0.0) / frames.size();
}

std::string Mp4PlaybackFaults(const std::string& path, const VideoProbe& probe)
{
    std::string faults;
    if (probe.codecName != "h264")
        faults += "codec " + probe.codecName + "; ";
    if (probe.profile != "Constrained Baseline" && probe.profile != "Baseline" && probe.profile != "Main"
        && probe.profile != "High")
        faults += "profile " + probe.profile + "; ";
    if (probe.level > 51)
        faults += "level " + std::to_string(probe.level) + "; ";
    if (probe.pixelFormat != "yuv420p")
        faults += "pixel format " + probe.pixelFormat + "; ";
    if (probe.width % 2 != 0 || probe.height % 2 != 0)
        faults += "odd size " + std::to_string(probe.width) + "x" + std::to_string(probe.height) + "; ";
    // Both boxes follow the short file-type box, so whichever name comes first is that box.
    std::string bytes = ReadFileBytes(path);
    if (bytes.find("moov") > bytes.find("mdat"))
        faults += "index not first; ";
    return faults;
}

} // namespace rig
