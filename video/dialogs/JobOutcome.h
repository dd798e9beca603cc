// What the user is told when a job behind the work dialog has ended, and the made video opened
// in their own player.
#pragma once

#include <windows.h>

#include <string>

// The job's text, if any: as information when it ended well, as an error when not.
void ShowJobResult(HWND owner, INT_PTR ending, const std::string& text);

// The success text with the question whether to open the video now; Yes opens it.
void OfferToOpenVideo(HWND owner, const std::string& text, const std::string& video);

// Opens the video with the shell's "open" verb, as a double-click in Explorer would; tells why
// when it cannot.
void OpenInPlayer(HWND owner, const std::string& video);
