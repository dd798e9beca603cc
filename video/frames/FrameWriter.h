// The numbered JPEG frames of one run, written in row order from the image records.
#pragma once

#include "app/SettingsRules.h"
#include "filelist/ImageFileList.h"
#include "video/frames/ConvertToJpeg.h"
#include "video/frames/FrameFile.h"
#include "video/jobs/JobReport.h"

#include <string>
#include <vector>

// The frames of one run in the temporary folder; those still there go with it.
class CFrameSequence {
public:
    CFrameSequence(std::string tempFolder, std::string timePrefix);
    ~CFrameSequence() { DeleteAll(); }
    CFrameSequence(const CFrameSequence&) = delete;
    CFrameSequence& operator=(const CFrameSequence&) = delete;

    int Count() const { return static_cast<int>(m_written.size()); }
    std::string NextName() const;
    // Where a row's picture is converted before it gets its number.
    std::string ScratchName(size_t row) const;
    // The next number is taken by a frame of that photo.
    void Added(const std::string& photo)
    {
        m_written.push_back(NextName());
        m_photos.push_back(photo);
    }
    const std::string& Photo(int number) const { return m_photos[number - 1]; }
    // The frames' files go, their numbers stay, for frames written anew under them.
    void DeleteFiles();
    void DeleteAll();

private:
    std::string m_folder;
    std::string m_prefix;
    std::vector<std::string> m_written;
    std::vector<std::string> m_photos;
};

enum class FramesEnd { Done, Stopped, WriteFailed };

struct FramesResult {
    FramesEnd end = FramesEnd::Done;
    DWORD error = ERROR_SUCCESS;  // why the temporary folder took no more
    std::string frame;            // the frame that could not be written
};

// The first readable picture's size as seen, upright; 0 x 0 when there is none.
ImageDimensions FirstUprightSize(const std::vector<ImageFileInfo>& rows);

// One frame per readable row that is not "Others", numbered from 1 without gaps, upright:
// JPEG rows stored upright are linked or copied, the others written anew on every core. On a
// canvas, every frame takes its shape. The bar moves one unit per
// row. A row that cannot be read is skipped; a frame that cannot be written ends the run.
FramesResult WriteFrames(const std::vector<ImageFileInfo>& rows, CFrameSequence& frames, CJobReport& report,
                         const FrameCanvas& canvas);
