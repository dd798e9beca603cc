// The platform's open and save dialogs, driven as a user types into them.
#pragma once

#include <windows.h>

#include <string>

namespace rig {

// The "File name" box's edit (inside combo 1148, or edit 1152 in older layouts).
HWND FileNameEdit(HWND fileDialog);
// Types the text into the "File name" box and presses Open/Save. A folder path navigates
// there; several names each in double quotes choose several files.
bool SubmitFileName(HWND fileDialog, const std::string& text);
// The text of the dialog's file-type box (combo 1136), e.g. "Video file(*.avi)".
std::string FileTypeText(HWND fileDialog);

} // namespace rig
