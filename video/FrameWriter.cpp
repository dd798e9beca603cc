#include "video/FrameWriter.h"

#include "app/Globals.h"
#include "framework/Thread.h"
#include "imaging/ImageHeader.h"
#include "video/ConversionPool.h"
#include "video/EncoderCommandLine.h"

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
    // Outside the encoder's "_%04d.jpg" pattern, so a leftover is never read as a frame.
    return m_folder + m_prefix + "_row" + std::to_string(row) + ".tmp";
}

void CFrameSequence::DeleteAll()
{
    for (const std::string& file : m_written)
        ::DeleteFileA(file.c_str());
    m_written.clear();
}

namespace {

std::vector<CConversionPool::Item> Conversions(const std::vector<ImageFileInfo>& rows, const CFrameSequence& frames,
                                               std::vector<size_t>& slots)
{
    std::vector<CConversionPool::Item> items;
    slots.assign(rows.size(), SIZE_MAX);
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].typeText == IMAGE_TYPE_OTHERS || rows[row].typeText == IMAGE_TYPE_JPG)
            continue;
        slots[row] = items.size();
        items.push_back({rows[row].filePath, frames.ScratchName(row)});
    }
    return items;
}

// The converted picture takes the next number; a rename within the folder writes nothing.
FrameOutcome NumberConversion(const std::string& scratch, const std::string& frame, FrameOutcome converted)
{
    if (converted.status != FrameStatus::Written)
        return converted;
    if (::MoveFileExA(scratch.c_str(), frame.c_str(), MOVEFILE_REPLACE_EXISTING))
        return converted;
    DWORD error = ::GetLastError();
    ::DeleteFileA(scratch.c_str());
    return {FrameStatus::WriteFailed, error};
}

} // namespace

FramesResult WriteFrames(const std::vector<ImageFileInfo>& rows, CFrameSequence& frames, CJobReport& report)
{
    GdiplusSession gdiplus(g_gdiplus);
    std::vector<size_t> slots;
    CConversionPool pool(Conversions(rows, frames, slots), fw::ProcessorCount());
    for (size_t row = 0; row < rows.size(); ++row) {
        if (report.CheckStop())
            return {FramesEnd::Stopped};
        FrameOutcome outcome;
        if (rows[row].typeText == IMAGE_TYPE_JPG)
            outcome = LinkOrCopyJpeg(rows[row].filePath, frames.NextName());
        else if (slots[row] != SIZE_MAX)
            outcome = NumberConversion(frames.ScratchName(row), frames.NextName(), pool.Take(slots[row]));
        if (outcome.status == FrameStatus::WriteFailed)
            return {FramesEnd::WriteFailed, outcome.error};
        if (outcome.status == FrameStatus::Written)
            frames.Added();
        report.StepIt();
    }
    return {};
}
