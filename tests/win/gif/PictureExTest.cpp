#include "gif/MonitorTrace.h"
#include "gif/PictureEx.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "resource.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace {

constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);
constexpr COLORREF GREEN = RGB(0, 255, 0);

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Handles the test thread's messages while waiting, as a dialog's modal loop would.
bool PumpUntil(const std::function<bool()>& done)
{
    return rig::WaitUntil([&] {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        return done();
    }, 10000);
}

bool ThreadHasEnded(HANDLE thread)
{
    return ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

fw::unique_handle DuplicateOf(HANDLE handle)
{
    fw::unique_handle copy;
    ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), copy.put(), SYNCHRONIZE, FALSE, 0);
    return copy;
}

SIZE WindowSize(HWND hwnd)
{
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// An outside monitor: creates the section and keeps every line it sees, polling as fast as
// it can. Work dialogs of other test processes may write lines of their own in between.
class TraceMonitor {
public:
    TraceMonitor()
        : m_section(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "HTMLManager")),
          m_view(m_section ? ::MapViewOfFile(m_section.get(), FILE_MAP_READ, 0, 0, 0) : nullptr)
    {
        if (m_view)
            m_reader = std::thread([this] { Read(); });
    }
    ~TraceMonitor()
    {
        m_stop = true;
        if (m_reader.joinable())
            m_reader.join();
    }
    bool Listening() const { return static_cast<bool>(m_view); }
    bool Saw(const std::string& line)
    {
        return rig::WaitUntil([&] {
            std::lock_guard<std::mutex> lock(m_lock);
            return std::find(m_lines.begin(), m_lines.end(), line) != m_lines.end();
        }, 2000);
    }

private:
    void Read()
    {
        const char* text = static_cast<const char*>(m_view.get());
        std::string last;
        while (!m_stop) {
            std::string line(text, strnlen(text, 4096));
            if (line != last) {
                std::lock_guard<std::mutex> lock(m_lock);
                m_lines.push_back(line);
                last = line;
            }
            ::Sleep(1);
        }
    }

    fw::unique_handle m_section;
    fw::unique_view m_view;
    std::thread m_reader;
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

class PictureExTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dialog = ::CreateDialogParamA(fw::ResourceModule(), MAKEINTRESOURCEA(IDD_WAIT), nullptr, PlainDialogProc, 0);
        ASSERT_NE(m_dialog, nullptr);
        m_control = ::GetDlgItem(m_dialog, IDC_WAIT_ANIMATION);
        ASSERT_TRUE(m_picture.AttachToWindow(m_control));
    }
    void TearDown() override
    {
        if (::IsWindow(m_dialog))
            ::DestroyWindow(m_dialog);
    }

    BOOL Load(const std::string& bytes)
    {
        fw::unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(fw::GlobalLockGuard(block.get()).get()));
        return m_picture.Load(block.get(), static_cast<DWORD>(bytes.size()));
    }

    fw::ScopedCom m_com;
    HWND m_dialog = nullptr;
    HWND m_control = nullptr;
    CPictureEx m_picture;
};

} // namespace

TEST_F(PictureExTest, BusyIndicatorIsA32PixelLoopThatPlaysAroundATransparentMiddle)
{
    ASSERT_TRUE(m_picture.Load(fw::ResourceModule(), MAKEINTRESOURCEA(IDR_BUSY_GIF), "IMAGE"));
    EXPECT_TRUE(m_picture.IsAnimation());
    EXPECT_EQ(m_picture.GetPictureSize().cx, 32);
    EXPECT_EQ(m_picture.GetPictureSize().cy, 32);
    EXPECT_EQ(WindowSize(m_control).cx, 32) << "the control takes the picture's size";
    EXPECT_GE(m_picture.GetFrames().size(), 8u);
    for (const GifFrame& frame : m_picture.GetFrames())
        EXPECT_EQ(frame.delay, 5u);
    // The first cycle plays on the same button-face background as every later one.
    EXPECT_EQ(m_picture.GetCanvasPixel(15, 15), ::GetSysColor(COLOR_BTNFACE));
    ASSERT_TRUE(m_picture.Draw());
    std::set<COLORREF> headShades;
    EXPECT_TRUE(PumpUntil([&] {
        headShades.insert(m_picture.GetCanvasPixel(15, 4));
        return headShades.size() >= 3;
    }));
    EXPECT_EQ(m_picture.GetCanvasPixel(15, 15), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(PictureExTest, StillPicturesAreShownWholeAndUnusableStreamsRefused)
{
    EXPECT_FALSE(m_picture.Draw()) << "nothing loaded yet";
    // 40 x 30 pixels at 96 dpi are 1058 x 793 HIMETRIC, shown at this screen's resolution.
    fw::WindowDC screen(nullptr);
    const int width = ::MulDiv(1058, ::GetDeviceCaps(screen.get(), LOGPIXELSX), 2540);
    const int height = ::MulDiv(793, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 2540);
    ASSERT_TRUE(Load(fixtures::Bytes("twotone.bmp")));
    EXPECT_FALSE(m_picture.IsAnimation());
    EXPECT_EQ(m_picture.GetPictureSize().cx, width);
    EXPECT_EQ(m_picture.GetPictureSize().cy, height);
    ASSERT_TRUE(m_picture.Draw());
    EXPECT_EQ(m_picture.GetAnimationThread(), nullptr);
    EXPECT_EQ(m_picture.GetCanvasPixel(3, 2), RED);
    EXPECT_EQ(m_picture.GetCanvasPixel(3, height - 3), BLUE);

    // A GIF of one image is a still picture of its logical screen.
    ASSERT_TRUE(Load(fixtures::Bytes("single.gif")));
    EXPECT_TRUE(m_picture.HasStillPicture());
    EXPECT_TRUE(m_picture.GetFrames().empty());
    EXPECT_EQ(m_picture.GetPictureSize().cx, 10);
    EXPECT_EQ(m_picture.GetPictureSize().cy, 12);
    ASSERT_TRUE(m_picture.Draw());
    EXPECT_EQ(m_picture.GetCanvasPixel(1, 1), GREEN);

    const std::string refused[] = {
        std::string("GIF89a\4\0\4\0\0\0\0\x21\xFE\1x\0\x3B", 19),  // no graphic block
        fixtures::Bytes("still.gif").substr(0, 40),  // cut short of its global table
    };
    for (const std::string& bytes : refused) {
        EXPECT_FALSE(Load(bytes));
        EXPECT_FALSE(m_picture.Draw());
    }
}

TEST_F(PictureExTest, DrawTwiceStartsOneThreadAndStopEndsALongFrameAtOnce)
{
    ASSERT_TRUE(Load(fixtures::Bytes("slow.gif")));
    ASSERT_TRUE(m_picture.IsAnimation());
    ASSERT_TRUE(m_picture.Draw());
    HANDLE first = m_picture.GetAnimationThread();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(m_picture.Draw());
    EXPECT_EQ(m_picture.GetAnimationThread(), first);

    // The first frame now waits ten seconds.
    ASSERT_TRUE(PumpUntil([&] { return m_picture.GetCanvasPixel(4, 4) == RED; }));
    fw::unique_handle thread = DuplicateOf(first);
    DWORD start = ::GetTickCount();
    m_picture.Stop();
    EXPECT_LT(::GetTickCount() - start, 5000u) << "well before the frame's ten seconds are up";
    EXPECT_TRUE(ThreadHasEnded(thread.get()));
    EXPECT_EQ(m_picture.GetAnimationThread(), nullptr);
    EXPECT_EQ(m_picture.GetCanvasPixel(4, 4), RED);
    ASSERT_TRUE(m_picture.Draw());
    EXPECT_NE(m_picture.GetAnimationThread(), nullptr) << "a later Draw plays again";
}

TEST_F(PictureExTest, DisposalClearsOrRestoresTheFramesArea)
{
    const COLORREF buttonFace = ::GetSysColor(COLOR_BTNFACE);
    const std::pair<const char*, COLORREF> cases[] = {{"None", BLUE}, {"Background", buttonFace}, {"Previous", RED}};
    for (const auto& [disposal, underFrame] : cases) {
        // A red screen, a blue corner with the disposal under test, then a lasting frame at
        // (6, 7) whose left pixel is transparent.
        ASSERT_TRUE(Load(fixtures::Bytes(std::string("dispose-") + disposal + ".gif")));
        ASSERT_TRUE(m_picture.Draw());
        ASSERT_TRUE(PumpUntil([&] { return m_picture.GetCanvasPixel(7, 7) == GREEN; })) << disposal;
        EXPECT_EQ(m_picture.GetCanvasPixel(0, 0), underFrame) << disposal;
        EXPECT_EQ(m_picture.GetCanvasPixel(3, 3), underFrame) << disposal;
        EXPECT_EQ(m_picture.GetCanvasPixel(5, 5), RED) << disposal;
        EXPECT_EQ(m_picture.GetCanvasPixel(6, 7), RED) << "transparent pixel, disposal " << disposal;
    }
}

TEST_F(PictureExTest, DestroyingTheWindowEndsTheAnimation)
{
    ASSERT_TRUE(Load(fixtures::Bytes("fast.gif")));
    ASSERT_TRUE(m_picture.Draw());
    fw::unique_handle thread = DuplicateOf(m_picture.GetAnimationThread());
    ASSERT_TRUE(thread);
    ASSERT_TRUE(PumpUntil([&] { return m_picture.GetCanvasPixel(4, 4) == BLUE; }));
    ::DestroyWindow(m_dialog);
    EXPECT_TRUE(ThreadHasEnded(thread.get()));
    EXPECT_EQ(m_picture.GetAnimationThread(), nullptr);
}

TEST_F(PictureExTest, TraceLinesReachAMonitorsSectionOnly)
{
    {
        TraceMonitor monitor;
        ASSERT_TRUE(monitor.Listening());
        HWND label = ::GetDlgItem(m_dialog, IDC_WAIT_LABEL);
        CPictureEx picture;
        ASSERT_TRUE(picture.AttachToWindow(label));
        EXPECT_TRUE(monitor.Saw(fw::FormatText("CPictureEx(HWND hWnd = %x\n)", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(label)))));

        SIZE before = WindowSize(label);
        EXPECT_FALSE(picture.Load(fw::ResourceModule(), MAKEINTRESOURCEA(999), "IMAGE"));
        EXPECT_TRUE(monitor.Saw("Load (resource): Error loading resource #999\n"));
        EXPECT_FALSE(picture.Load(fw::ResourceModule(), "NOSUCHGIF", "IMAGE"));
        EXPECT_TRUE(monitor.Saw("Load (resource): Error loading resource NOSUCHGIF\n"));
        EXPECT_EQ(WindowSize(label).cx, before.cx);

        picture.Stop();
        EXPECT_TRUE(monitor.Saw("Stop()"));
        // A line longer than the formatting buffer is cut, never written past it.
        MonitorTrace("%s", std::string(3000, 'x').c_str());
        EXPECT_TRUE(monitor.Saw(std::string(1023, 'x')));
    }

    // With no monitor the line goes nowhere, leaves no section behind, and still costs its pause.
    // Work dialogs of tests running beside this one open the section for a moment while it
    // exists, so it may take an instant to go after the monitor has closed it.
    EXPECT_TRUE(rig::WaitUntil([] { return !fw::unique_handle(::OpenFileMappingA(FILE_MAP_READ, FALSE, "HTMLManager")); }, 2000));
    DWORD start = ::GetTickCount();
    MonitorTrace("%s\n", "nobody listens");
    EXPECT_GE(::GetTickCount() - start, 80u) << "the pause, measured with the tick's granularity";
    fw::unique_handle section(::OpenFileMappingA(FILE_MAP_READ, FALSE, "HTMLManager"));
    EXPECT_FALSE(section);
}
