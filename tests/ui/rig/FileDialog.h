// The platform's open and save dialogs, driven as a user types into them.
#pragma once

#include <windows.h>

#include <string>

namespace rig {

// Types the text into the "File name" box and presses Open/Save. A folder path navigates
// there; several names each in double quotes choose several files.
bool SubmitFileName(HWND fileDialog, const std::string& text);

} // namespace rig
