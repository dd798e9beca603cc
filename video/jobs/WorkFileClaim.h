// One run's claim on its files in the temporary folder, which other runs of the program may
// share.
#pragma once

#include "framework/Handles.h"

#include <string>

// Made, it deletes what runs that no longer run left in the folder (a program killed while it
// encoded leaves frames, segments and reports) and marks the files of this run's time prefix
// as in use; gone, it deletes whatever of this run's files is still there. Only names the job
// itself gives are touched, never a folder.
class CWorkFileClaim {
public:
    CWorkFileClaim(std::string tempFolder, std::string timePrefix);
    ~CWorkFileClaim();
    CWorkFileClaim(const CWorkFileClaim&) = delete;
    CWorkFileClaim& operator=(const CWorkFileClaim&) = delete;

private:
    std::string m_folder;
    std::string m_prefix;
    fw::unique_file m_mark;
};
