#include "rig/Rig.h"

#include "framework/ComPtr.h"
#include "framework/Text.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

namespace rig {

namespace {

struct FindState {
    DWORD processId;
    const std::string& className;
    const std::string& caption;
    const std::vector<HWND>& except;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM param)
{
    auto& state = *reinterpret_cast<FindState*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if ((state.processId && pid != state.processId) || !::IsWindowVisible(hwnd)
        || (!state.className.empty() && ClassName(hwnd) != state.className)
        || (!state.caption.empty() && Text(hwnd) != state.caption)
        || std::find(state.except.begin(), state.except.end(), hwnd) != state.except.end())
        return TRUE;
    state.found = hwnd;
    return FALSE;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Memory in the process that owns a list view, for its messages that carry pointers: a
// request, then a text buffer.
class RemoteBuffer {
public:
    static constexpr size_t TEXT_OFFSET = 256;
    static constexpr size_t TEXT_SIZE = 4096;

    explicit RemoteBuffer(HWND window)
    {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        m_process.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        m_address = static_cast<char*>(
            ::VirtualAllocEx(m_process.get(), nullptr, TEXT_OFFSET + TEXT_SIZE, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBuffer() { ::VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE); }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    LPARAM Request() const { return reinterpret_cast<LPARAM>(m_address); }
    char* Text() const { return m_address + TEXT_OFFSET; }
    void Write(size_t offset, const void* data, size_t size) const
    {
        ::WriteProcessMemory(m_process.get(), m_address + offset, data, size, nullptr);
    }
    std::string ReadText() const
    {
        char text[TEXT_SIZE] = {};
        ::ReadProcessMemory(m_process.get(), Text(), text, TEXT_SIZE - 1, nullptr);
        return text;
    }

private:
    fw::unique_handle m_process;
    char* m_address;
};

// Sends a list-view message whose request points at a text buffer in the list's process,
// holding the text given; the message's answer and the buffer's text after it.
template <typename Request>
std::pair<LRESULT, std::string> SendWithText(HWND list, UINT message, WPARAM wParam, Request request,
                                             const std::string& text = "")
{
    RemoteBuffer remote(list);
    request.pszText = remote.Text();
    request.cchTextMax = RemoteBuffer::TEXT_SIZE;
    remote.Write(RemoteBuffer::TEXT_OFFSET, text.c_str(), text.size() + 1);
    remote.Write(0, &request, sizeof(request));
    LRESULT answer = ::SendMessageA(list, message, wParam, remote.Request());
    return {answer, remote.ReadText()};
}

bool IsMessageBoxCandidate(HWND hwnd)
{
    for (HWND child : Children(hwnd)) {
        std::string cls = ClassName(child);
        if (cls != "Static" && cls != "Button")
            return false;
    }
    // The About box, and the preview and work dialogs, are made of the same controls.
    return !::GetDlgItem(hwnd, IDC_VERSION_LABEL) && !::GetDlgItem(hwnd, IDC_PREVIEW_PICTURE);
}

HWND IconStatic(HWND box)
{
    for (HWND child : Children(box)) {
        if (ClassName(child) == "Static" && (::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON
            && ::IsWindowVisible(child) && ::SendMessageA(child, STM_GETICON, 0, 0) != 0)
            return child;
    }
    return nullptr;
}

std::vector<COLORREF> PixelsOf(HDC source, const RECT& rect);

// Which system icon the box shows, told from its pixels on the screen: the icon handle of
// another process cannot be read.
Icon ReadIcon(HWND box)
{
    RECT rect{};
    ::GetWindowRect(IconStatic(box), &rect);
    std::vector<COLORREF> shown = ScreenPixels(rect);
    RECT local{0, 0, rect.right - rect.left, rect.bottom - rect.top};
    fw::WindowDC screen(nullptr);
    fw::unique_hdc memory(::CreateCompatibleDC(screen.get()));
    fw::unique_hbitmap bitmap(::CreateCompatibleBitmap(screen.get(), local.right, local.bottom));
    fw::ScopedSelect select(memory.get(), bitmap.get());
    const std::pair<Icon, LPCSTR> candidates[] = {{Icon::Information, IDI_INFORMATION}, {Icon::Error, IDI_ERROR},
                                                  {Icon::Exclamation, IDI_WARNING}, {Icon::Question, IDI_QUESTION}};
    for (const auto& [icon, id] : candidates) {
        COLORREF ground = shown.empty() ? 0 : shown[0];
        fw::unique_hbrush brush(::CreateSolidBrush(RGB(ground >> 16 & 0xFF, ground >> 8 & 0xFF, ground & 0xFF)));
        ::FillRect(memory.get(), &local, brush.get());
        ::DrawIconEx(memory.get(), 0, 0, ::LoadIconA(nullptr, id), 0, 0, 0, nullptr, DI_NORMAL);
        std::vector<COLORREF> drawn = PixelsOf(memory.get(), local);
        size_t same = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            same += drawn[i] == shown[i];
        if (!shown.empty() && same * 10 >= shown.size() * 9)
            return icon;
    }
    return Icon::None;
}

} // namespace

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
    FindState state{processId, className, caption, except, nullptr};
    ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
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

std::string ClassName(HWND hwnd)
{
    char name[256] = {};
    ::GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

void PressKey(HWND window, UINT virtualKey)
{
    ::PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

std::vector<std::vector<std::string>> Rows(HWND list)
{
    std::vector<std::vector<std::string>> rows(RowCount(list));
    size_t columns = Headings(list).size();
    for (size_t row = 0; row < rows.size(); ++row) {
        for (size_t column = 0; column < columns; ++column) {
            LVITEMA item{};
            item.iSubItem = static_cast<int>(column);
            rows[row].push_back(SendWithText(list, LVM_GETITEMTEXTA, row, item).second);
        }
    }
    return rows;
}

std::vector<std::string> Headings(HWND list)
{
    std::vector<std::string> headings;
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    for (auto heading = SendWithText(list, LVM_GETCOLUMNA, 0, column); heading.first;
         heading = SendWithText(list, LVM_GETCOLUMNA, headings.size(), column))
        headings.push_back(heading.second);
    return headings;
}

std::vector<int> ColumnWidths(HWND list)
{
    std::vector<int> widths;
    for (size_t column = 0; column < Headings(list).size(); ++column)
        widths.push_back(static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)));
    return widths;
}

void SelectRows(HWND list, const std::vector<int>& rows)
{
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    SendWithText(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), item);
    item.state = LVIS_SELECTED;
    for (int row : rows)
        SendWithText(list, LVM_SETITEMSTATE, row, item);
}

void AppendRow(HWND list, const std::vector<std::string>& cells)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = RowCount(list);
    for (size_t column = 0; column < cells.size(); ++column) {
        item.iSubItem = static_cast<int>(column);
        SendWithText(list, column == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, item.iItem, item, cells[column]);
    }
}

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs)
{
    MessageBoxInfo info;
    HWND box = nullptr;
    WaitUntil([&] {
        std::vector<HWND> skipped;
        while (HWND candidate = FindTopLevel(processId, "#32770", "", skipped)) {
            if (IsMessageBoxCandidate(candidate))
                return (box = candidate) != nullptr;
            skipped.push_back(candidate);
        }
        return false;
    }, timeoutMs);
    if (!box)
        return info;
    info.hwnd = box;
    info.caption = Text(box);
    for (HWND child : Children(box)) {
        std::string cls = ClassName(child);
        LONG style = ::GetWindowLongA(child, GWL_STYLE);
        if (cls == "Button" && ::IsWindowVisible(child))
            info.buttons.push_back(Text(child));
        else if (cls == "Static" && (style & SS_TYPEMASK) != SS_ICON && !Text(child).empty())
            info.text += Text(child);
    }
    // The icon is read from the screen, so give the box a moment to paint.
    if (IconStatic(box))
        WaitUntil([&] { return (info.icon = ReadIcon(box)) != Icon::None; }, 2000);
    return info;
}

void AnswerMessageBox(HWND box, int buttonId)
{
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, buttonId)));
    WaitForWindowGone(box);
}

namespace {

std::vector<COLORREF> PixelsOf(HDC source, const RECT& rect)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    fw::unique_hdc memory(::CreateCompatibleDC(source));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    fw::unique_hbitmap bitmap(::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    fw::ScopedSelect select(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    std::memcpy(pixels.data(), bits, pixels.size() * 4);
    for (COLORREF& p : pixels)
        p &= 0x00FFFFFF;
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
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::string ExecutableDirectory()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full = path;
    return full.substr(0, full.find_last_of('\\') + 1);
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
