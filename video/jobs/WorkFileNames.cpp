#include "video/jobs/WorkFileNames.h"

#include <regex>

std::string ConversionFileName(const std::string& workFiles, size_t row)
{
    return workFiles + "_row" + std::to_string(row) + ".tmp";
}

std::string ProbeFileName(const std::string& workFiles, unsigned long process, unsigned probe)
{
    return workFiles + "_probe" + std::to_string(process) + "_" + std::to_string(probe) + ".tmp";
}

std::string JobMarkFileName(const std::string& workFiles)
{
    return workFiles + "_job.lock";
}

std::string WorkFilePrefix(const std::string& fileName)
{
    static const std::regex WORK_FILE(
        R"((\d{14})_(\d{4,}\.jpg|framed_\d{4,}\.bmp|(row\d+|probe\d+_\d+)\.tmp|job\.lock|((seg\d+|join)_)?(progress|errors)\.txt|seg\d+\.[a-z0-9]+))");
    std::smatch match;
    return std::regex_match(fileName, match, WORK_FILE) ? match[1].str() : "";
}
