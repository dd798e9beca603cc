// Adds the chosen files to the main window's list, one row each, up to the row limit.
#pragma once

#include "video/jobs/JobReport.h"

#include <string>
#include <vector>

class CImageListDlg;

JobResult RunLoadFilesJob(CImageListDlg& mainDlg, const std::vector<std::string>& files, CJobReport& report);
