#include "video/encoder/EncoderCommandLine.h"
#include "video/encoder/Segments.h"
#include "video/jobs/WorkFileNames.h"

#include <gtest/gtest.h>

// Every name the job gives its files tells the run it belongs to; the user's own files, near
// misses among them, belong to none.
TEST(WorkFileNames, TheJobsOwnNamesTellTheirRunAndNoOtherNameDoes)
{
    const std::string folder = "C:\\t\\";
    const std::string prefix = "20240506070809";
    const std::string work = folder + prefix;
    // The encoders' reports, as one encoder, the segments' and the join's encoders name them.
    for (const std::string& path :
         {FormatFrameFileName(folder, prefix, 1), FormatFrameFileName(folder, prefix, 9999),
          FormatFramedFileName(folder, prefix, 12345), ConversionFileName(work, 12),
          ProbeFileName(work, 4242, 3), JobMarkFileName(work), SegmentFileName(work, 0, "v.MP4"),
          SegmentFileName(work, 11, "v.flv"), work + "_progress.txt", work + "_errors.txt", work + "_seg2_progress.txt",
          work + "_join_errors.txt"}) {
        EXPECT_EQ(WorkFilePrefix(path.substr(folder.size())), prefix) << path;
    }
    for (const char* name : {"holiday.jpg", "20240506070809_001.jpg", "2024050607080_0001.jpg", "20240506070809_0001.JPG",
                             "20240506070809_0001.jpg.txt", "x20240506070809_0001.jpg", "20240506070809-0001.jpg",
                             "20240506070809_notes.txt", "20240506070809_seg.mp4", "20240506070809_row.tmp",
                             "20240506070809_probe7.tmp", "20240506070809_seg1_notes.txt",
                             "20240506070809_framed_01.bmp"}) {
        EXPECT_EQ(WorkFilePrefix(name), "") << name;
    }
}
