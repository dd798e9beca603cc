#include "video/frames/FrameWriter.h"

#include "app/FileSystem.h"
#include "app/Globals.h"
#include "framework/Thread.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageHeader.h"
#include "video/frames/ConversionPool.h"
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

void CFrameSequence::DeleteAll()
{
    for (const std::string& file : m_written)
        RetryingDeleteFile(file);
    m_written.clear();
}

namespace {

std::vector<CConversionPool::Item> Conversions(const std::vector<ImageFileInfo>& rows, const CFrameSequence& frames,
                                               std::vector<size_t>& slots)
{
    std::vector<CConversionPool::Item> items;
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

// Every move repaints the bar, and waits in the window's queue, which holds no more than
// 10,000 messages: the steps go in batches, often enough for the eye, all of them by the end.
class StepBatch {
public:
    StepBatch(CJobReport& report, int rows) : m_report(report), m_rows(rows) { Send(); }
    ~StepBatch() { Send(); }
    StepBatch(const StepBatch&) = delete;
    StepBatch& operator=(const StepBatch&) = delete;

    void Step()
    {
        ++m_pending;
        if (::GetTickCount() - m_lastSent >= STEP_INTERVAL_MS)
            Send();
    }

private:
    static constexpr DWORD STEP_INTERVAL_MS = 100;

    void Send()
    {
        if (m_pending > 0)
            m_report.OffsetPos(m_pending);
        m_done += m_pending;
        m_report.SetCount({JobPhase::WritingFrames, m_done, m_rows});
        m_pending = 0;
        m_lastSent = ::GetTickCount();
    }

    CJobReport& m_report;
    const int m_rows;
    int m_done = 0;
    int m_pending = 0;
    DWORD m_lastSent = ::GetTickCount();
};

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
    CConversionPool pool(Conversions(rows, frames, slots), canvas, fw::ProcessorCount());
    StepBatch steps(report, static_cast<int>(rows.size()));
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
            frames.Added();
        steps.Step();
    }
    return {};
}
