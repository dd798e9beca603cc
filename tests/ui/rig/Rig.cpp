#include "rig/Rig.h"

#include "framework/ComPtr.h"
#include "framework/Text.h"
#include "resource.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>

namespace rig {

bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        if (predicate())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::Sleep(20);
    }
}

HWND FindTopLevel(DWORD processId, const std::string& className, const std::string& caption,
                  const std::vector<HWND>& except)
{
    auto orAny = [](const std::string& text) { return text.empty() ? nullptr : text.c_str(); };
    for (HWND hwnd = nullptr; (hwnd = ::FindWindowExA(nullptr, hwnd, orAny(className), orAny(caption))) != nullptr;) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        if ((!processId || pid == processId) && ::IsWindowVisible(hwnd)
            && std::find(except.begin(), except.end(), hwnd) == except.end())
            return hwnd;
    }
    return nullptr;
}

HWND WaitForTopLevel(DWORD processId, const std::string& className, const std::string& caption, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(processId, className, caption)) != nullptr; }, timeoutMs);
    return found;
}

std::string Text(HWND hwnd)
{
    char buffer[4096] = {};
    ::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000, nullptr);
    return buffer;
}

void PressKey(HWND window, UINT virtualKey)
{
    ::PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

std::vector<std::string> Column(HWND list, int column)
{
    std::vector<std::string> cells(RowCount(list));
    for (size_t row = 0; row < cells.size(); ++row) {
        char text[1024] = {};
        ListView_GetItemText(list, static_cast<int>(row), column, text, sizeof(text));
        cells[row] = text;
    }
    return cells;
}

void SelectRows(HWND list, const std::vector<int>& rows)
{
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row : rows)
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
}

std::string AnswerMessageBox(int buttonId, DWORD processId, DWORD timeoutMs)
{
    HWND box = nullptr;
    WaitUntil([&] {
        std::vector<HWND> skipped;
        while (HWND candidate = FindTopLevel(processId, "#32770", PROGRAM_TITLE, skipped)) {
            if (!::GetDlgItem(candidate, IDC_FILE_LIST))
                return (box = candidate) != nullptr;
            skipped.push_back(candidate);
        }
        return false;
    }, timeoutMs);
    std::string text;
    for (HWND label = nullptr; box && (label = ::FindWindowExA(box, label, "Static", nullptr)) != nullptr;)
        text += Text(label);
    if (box) {
        Click(box, buttonId);
        WaitForWindowGone(box);
    }
    return text;
}

namespace {

std::vector<COLORREF> PixelsOf(HDC source, const RECT& rect)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    fw::unique_hdc memory(::CreateCompatibleDC(source));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top row first
    void* bits = nullptr;
    fw::unique_hbitmap bitmap(::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    fw::ScopedSelect select(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    std::memcpy(pixels.data(), bits, pixels.size() * 4);
    // The DIB holds blue, green, red, unused.
    for (COLORREF& p : pixels)
        p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));
    return pixels;
}

} // namespace

std::vector<COLORREF> ScreenPixels(const RECT& screenRect)
{
    fw::WindowDC screen(nullptr);
    return PixelsOf(screen.get(), screenRect);
}

std::vector<COLORREF> WindowPixels(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    fw::WindowDC dc(window);
    return PixelsOf(dc.get(), client);
}

UiThread::UiThread(std::function<void()> body) : m_done(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    fw::unique_handle started(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    m_thread = std::thread([this, body, event = started.get()] {
        m_threadId = ::GetCurrentThreadId();
        ::SetEvent(event);
        {
            fw::ScopedCom com;
            body();
        }
        ::SetEvent(m_done.get());
    });
    ::WaitForSingleObject(started.get(), INFINITE);
}

bool UiThread::Join(DWORD timeoutMs)
{
    return ::WaitForSingleObject(m_done.get(), timeoutMs) == WAIT_OBJECT_0;
}

UiThread::~UiThread()
{
    if (!Join(0)) {
        // A test that failed half-way leaves its dialog up: close what the thread shows.
        ::EnumThreadWindows(m_threadId, [](HWND hwnd, LPARAM) {
            ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
            ::EndDialog(hwnd, IDCANCEL);
            return TRUE;
        }, 0);
    }
    if (Join(5000))
        m_thread.join();
    else
        m_thread.detach();
}

namespace {

std::atomic<int> g_folderCounter{0};

void RemoveTree(const std::string& folder)
{
    for (const std::string& name : FilesIn(folder)) {
        std::string path = folder + name;
        if (::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path + "\\");
        } else {
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(path.c_str());
        }
    }
    ::RemoveDirectoryA(folder.c_str());
}

} // namespace

ScopedVariable::ScopedVariable(std::string name, const std::string& value) : m_name(std::move(name))
{
    std::vector<char> old(32767);
    DWORD length = ::GetEnvironmentVariableA(m_name.c_str(), old.data(), static_cast<DWORD>(old.size()));
    m_had = length > 0 && length < old.size();
    m_old.assign(old.data(), m_had ? length : 0);
    ::SetEnvironmentVariableA(m_name.c_str(), value.c_str());
}

ScopedVariable::~ScopedVariable()
{
    ::SetEnvironmentVariableA(m_name.c_str(), m_had ? m_old.c_str() : nullptr);
}

TempFolder::TempFolder()
{
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    m_path = fw::FormatText("%slumvex-test-%lu-%d-%lu\\", base, ::GetCurrentProcessId(), g_folderCounter++,
                            ::GetTickCount());
    ::CreateDirectoryA(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(m_path);
}

ChildProcess::ChildProcess(const std::string& exePath, const std::string& arguments)
{
    std::string commandLine = "\"" + exePath + "\" " + arguments;
    std::string folder = exePath.substr(0, exePath.find_last_of('\\') + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info))
        return;
    m_process.reset(info.hProcess);
    ::CloseHandle(info.hThread);
    m_id = info.dwProcessId;
}

ChildProcess::~ChildProcess()
{
    if (!Started())
        return;
    if (WaitForExit(0) == STILL_ACTIVE) {
        ::TerminateProcess(m_process.get(), 1);
        ::WaitForSingleObject(m_process.get(), 5000);
    }
}

DWORD ChildProcess::WaitForExit(DWORD timeoutMs)
{
    if (::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string ExecutableDirectory()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full = path;
    return full.substr(0, full.find_last_of('\\') + 1);
}

std::string EncoderPath(const std::string& encoder)
{
    return ExecutableDirectory() + (encoder == "shipped" ? "" : encoder + "\\") + "ffmpeg.exe";
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    fw::unique_find find(::FindFirstFileA((folder + pattern).c_str(), &data));
    for (bool found = static_cast<bool>(find); found; found = ::FindNextFileA(find.get(), &data)) {
        if (data.cFileName[0] != '.')
            names.push_back(data.cFileName);
    }
    return names;
}

} // namespace rig
