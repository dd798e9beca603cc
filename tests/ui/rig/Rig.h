// Drives real windows under Wine and Xvfb: finds them, clicks, reads texts, list-view rows,
// menu states and message boxes. List views are read in this process only; the rest works on
// windows of another process too.
#pragma once

#include "framework/Handles.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace rig {

// Generous: a loaded machine can take seconds to show a window under Wine.
constexpr DWORD DEFAULT_TIMEOUT_MS = 30000;

// Polls until the predicate holds; false on time-out.
bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs = DEFAULT_TIMEOUT_MS);

// A visible top-level window of the process (0: any process) whose class and caption match
// (empty: any), other than those given.
HWND FindTopLevel(DWORD processId, const std::string& className, const std::string& caption,
                  const std::vector<HWND>& except = {});
HWND WaitForTopLevel(DWORD processId, const std::string& className, const std::string& caption,
                     DWORD timeoutMs = DEFAULT_TIMEOUT_MS);
inline bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs = DEFAULT_TIMEOUT_MS)
{
    return WaitUntil([&] { return !::IsWindow(hwnd) || !::IsWindowVisible(hwnd); }, timeoutMs);
}
// Waits until the thread of a window of this process has handled every message posted to it
// before the call, then runs the function there, between two of its messages, while the
// caller waits (WindowThread.cpp). False if it never gets that far.
bool WaitForPostedMessages(HWND window, const std::function<void()>& thenOnThatThread = nullptr,
                           DWORD timeoutMs = DEFAULT_TIMEOUT_MS);

std::string Text(HWND hwnd);
inline std::string ItemText(HWND dialog, int id) { return Text(::GetDlgItem(dialog, id)); }
// Posts a button click or a menu command, so a modal window it opens does not block the caller.
inline void Click(HWND dialog, int id) { ::PostMessageA(dialog, WM_COMMAND, id, LPARAM(::GetDlgItem(dialog, id))); }
void PressKey(HWND window, UINT virtualKey);

// List views: a column's cells, top row first.
inline int RowCount(HWND list) { return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
std::vector<std::string> Column(HWND list, int column);
void SelectRows(HWND list, const std::vector<int>& rows);

// The program's message boxes are captioned with its title, as its main window is.
constexpr char PROGRAM_TITLE[] = "Lumvex Time Lapse Video Tools";
// Waits for a message box of the process, presses the button with that id (IDOK, IDYES, IDNO
// ...) and waits for the box to go; returns the box's text, empty when none came.
std::string AnswerMessageBox(int buttonId, DWORD processId = ::GetCurrentProcessId(),
                             DWORD timeoutMs = DEFAULT_TIMEOUT_MS);

// Types the text into a file dialog's "File name" box and presses Open/Save (FileDialog.cpp).
// A folder path navigates there; several names each in double quotes choose several files.
bool SubmitFileName(HWND fileDialog, const std::string& text);

// Pixels of a rectangle of the screen, top row first, as RGB() gives them.
std::vector<COLORREF> ScreenPixels(const RECT& screenRect);
// What a window of this process has drawn in its client area, same layout, whether or not
// windows of tests running beside it lie over it.
std::vector<COLORREF> WindowPixels(HWND window);

// The real pointer and keyboard, through the system's input queue (Pointer.cpp).
void MovePointer(POINT screen);
// Presses the keys in order and releases them in reverse: {VK_CONTROL, 'A'} is Ctrl+A.
void TypeKeys(const std::vector<WORD>& chord);
// A click at a point of a window's client area.
void MouseClick(HWND window, POINT client, bool rightButton = false, bool doubleClick = false);
// How many of the window's pixels on the screen are this colour (RGB()), give or take the
// tolerance (sum of the channels' differences), which lets smoothed text edges count.
size_t CountPixels(HWND hwnd, COLORREF color, int tolerance = 0);

// GDI objects of this process (GetGuiResources). Wine answers 0 there; the count is then
// taken from Wine's handle table (Handles.cpp).
DWORD GdiObjectCount();

// Runs a function on a thread of its own, as a user-interface thread: a modal dialog under
// test runs there while the test drives it.
class UiThread {
public:
    explicit UiThread(std::function<void()> body);
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;
    bool Join(DWORD timeoutMs = DEFAULT_TIMEOUT_MS);

private:
    std::thread m_thread;
    fw::unique_handle m_done;
    DWORD m_threadId = 0;
};

// An environment variable of this process, and so of the programs it starts, set until the
// object goes.
class ScopedVariable {
public:
    ScopedVariable(std::string name, const std::string& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_had;
};

// A folder of its own under the Windows temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // Ends with a backslash.
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// A program started from its own folder; ended by force if still running when destroyed.
class ChildProcess {
public:
    explicit ChildProcess(const std::string& exePath, const std::string& arguments = "");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Started() const { return static_cast<bool>(m_process); }
    DWORD Id() const { return m_id; }
    // The exit code, or STILL_ACTIVE after the time-out.
    DWORD WaitForExit(DWORD timeoutMs = DEFAULT_TIMEOUT_MS);

private:
    fw::unique_handle m_process;
    DWORD m_id = 0;
};

inline bool CopyFileTo(const std::string& from, const std::string& to)
{
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}
// Names in a folder (ending with a backslash) that match the pattern, "." and ".." left out.
std::vector<std::string> FilesIn(const std::string& folder, const std::string& pattern = "*");
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
// The folder of the running test executable, ending with a backslash.
std::string ExecutableDirectory();

// Every video is held to both ends of what users run: the encoder shipped beside the program,
// built from current sources, and the genuine Windows build of the oldest version it takes.
inline const char* const ENCODERS[] = {"shipped", "genuine-4.1"};
std::string EncoderPath(const std::string& encoder);

} // namespace rig
