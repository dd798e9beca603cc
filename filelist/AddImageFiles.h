// The rows of many chosen files, appended to the main window as fast as the disk allows.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CImageListDlg;

// Appends the row of each path, in order, while the list holds fewer than MAX_IMAGE_FILES
// rows; a path with no file behind it adds nothing. The rows go in batches; after each,
// advance runs on the window's thread with the number of paths it took. Asked before each
// path, stopped ends the work after the rows read so far. False when the row limit left
// paths over.
bool AddImageFiles(CImageListDlg& mainDlg, const std::vector<std::string>& paths,
                   const std::function<void(int paths)>& advance, const std::function<bool()>& stopped);
