#include "video/frames/FrameWriter.h"

#include "app/FileSystem.h"
#include "app/Globals.h"
#include "framework/Thread.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageHeader.h"
#include "video/frames/ConversionPool.h"
#include "video/frames/StepBatch.h"
#include "video/encoder/EncoderCommandLine.h"
#include "video/jobs/WorkFileNames.h"

#include <cstdint>

CFrameSequence::CFrameSequence(std::string tempFolder, std::string timePrefix)
    : m_folder(std::move(tempFolder)), m_prefix(std::move(timePrefix))
{
}

std::string CFrameSequence::NextName() const
{
    return FormatFrameFileName(m_folder, m_prefix, Count() + 1);
}

std::string CFrameSequence::ScratchName(size_t row) const
{
    return ConversionFileName(m_folder + m_prefix, row);
}

void CFrameSequence::DeleteFiles()
{
    for (const std::string& file : m_written)
        RetryingDeleteFile(file);
}

void CFrameSequence::DeleteAll()
{
    DeleteFiles();
    m_written.clear();
    m_photos.clear();
}

namespace {

struct Conversion {
    std::string source;
    std::string target;
    bool jpeg = false;  // written only when it must be turned upright
};

std::vector<Conversion> Conversions(const std::vector<ImageFileInfo>& rows, const CFrameSequence& frames,
                                    std::vector<size_t>& slots)
{
    std::vector<Conversion> items;
    slots.assign(rows.size(), SIZE_MAX);
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].typeText == IMAGE_TYPE_OTHERS)
            continue;
        slots[row] = items.size();
        items.push_back({rows[row].filePath, frames.ScratchName(row), rows[row].typeText == IMAGE_TYPE_JPG});
    }
    return items;
}

// The converted picture takes the next number; a rename within the folder writes nothing.
FrameOutcome NumberConversion(const std::string& scratch, const std::string& frame, FrameOutcome converted)
{
    if (converted.status != FrameStatus::Written)
        return converted;
    if (RetryingMoveFile(scratch, frame))
        return converted;
    DWORD error = ::GetLastError();
    RetryingDeleteFile(scratch);
    return {FrameStatus::WriteFailed, error};
}

} // namespace

ImageDimensions FirstUprightSize(const std::vector<ImageFileInfo>& rows)
{
    for (const ImageFileInfo& row : rows) {
        CImageFile header;
        if (row.typeText != IMAGE_TYPE_OTHERS && header.LoadHeader(row.filePath)) {
            SIZE size = header.GetSize();
            return UprightSize({size.cx, size.cy}, header.GetOrientation());
        }
    }
    return {};
}

FramesResult WriteFrames(const std::vector<ImageFileInfo>& rows, CFrameSequence& frames, CJobReport& report,
                         const FrameCanvas& canvas)
{
    GdiplusSession gdiplus(g_gdiplus);
    std::vector<size_t> slots;
    std::vector<Conversion> items = Conversions(rows, frames, slots);
    std::vector<std::string> targets;
    for (const Conversion& item : items)
        targets.push_back(item.target);
    CConversionPool pool(std::move(targets), [&](size_t index) {
        const Conversion& item = items[index];
        return item.jpeg ? WriteUprightJpeg(item.source, item.target, canvas)
                         : ConvertToJpeg(item.source, item.target, canvas);
    }, fw::ProcessorCount());
    StepBatch steps(report, JobPhase::WritingFrames, static_cast<int>(rows.size()));
    for (size_t row = 0; row < rows.size(); ++row) {
        if (report.CheckStop())
            return {FramesEnd::Stopped, ERROR_SUCCESS, ""};
        FrameOutcome outcome;
        if (slots[row] != SIZE_MAX) {
            outcome = pool.Take(slots[row]);
            outcome = outcome.status == FrameStatus::AsShot
                        ? LinkOrCopyJpeg(rows[row].filePath, frames.NextName())
                        : NumberConversion(frames.ScratchName(row), frames.NextName(), outcome);
        }
        if (outcome.status == FrameStatus::WriteFailed)
            return {FramesEnd::WriteFailed, outcome.error, frames.NextName()};
        if (outcome.status == FrameStatus::Written)
            frames.Added(rows[row].filePath);
        steps.Step();
    }
    return {};
}
