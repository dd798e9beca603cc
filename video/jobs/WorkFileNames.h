// The names the video job gives the files it makes in the temporary folder, all of them the
// run's 14-digit time prefix, "_" and what the file is. Free of any platform call.
#pragma once

#include <string>

// Where a picture is converted before it gets its frame number: outside the encoder's
// "_%04d.jpg" pattern, so a leftover is never read as a frame.
std::string ConversionFileName(const std::string& workFiles, size_t row);

// Probes the job makes and deletes at once each get a name of their own, from the process and
// a number: a name still waiting to be deleted cannot be made again.
std::string ProbeFileName(const std::string& workFiles, unsigned long process, unsigned probe);

// Held open while the job runs, so other runs of the program leave its files alone.
std::string JobMarkFileName(const std::string& workFiles);

// The time prefix of a file name (no folder) the job gives its files: frames "_0001.jpg",
// framed frames "_framed_0001.bmp", conversions, probes, the mark, the encoders' "_progress.txt" and "_errors.txt", with
// "_seg<n>" or "_join" before them for several encoders, and segments "_seg<n>.<ext>".
// Empty for any other name.
std::string WorkFilePrefix(const std::string& fileName);
