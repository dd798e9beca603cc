#include "gif/MonitorTrace.h"
#include "gif/PictureEx.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "resource.h"
#include "rig/Rig.h"
#include "tests/unit/gif/GifBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

using namespace gif_test;

namespace {

constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);
constexpr COLORREF GREEN = RGB(0, 255, 0);
const std::vector<uint32_t> PALETTE{0xFF0000, 0x0000FF, 0x00FF00, 0xFFFFFF};
enum : uint8_t { RED_INDEX, BLUE_INDEX, GREEN_INDEX, WHITE_INDEX };

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

fw::unique_hglobal ToGlobal(const Bytes& bytes)
{
    fw::unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    fw::GlobalLockGuard target(block.get());
    std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(target.get()));
    return block;
}

// Handles the test thread's messages while waiting, as a dialog's modal loop would.
bool PumpUntil(const std::function<bool()>& done)
{
    return rig::WaitUntil([&] {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        return done();
    });
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

// Two full-screen frames, red then blue, each shown for the given delay.
Bytes TwoFrameGif(unsigned delay)
{
    return Join({Header(8, 8, PALETTE), LoopExtension(), ControlExtension(delay, 0), FilledImage(0, 0, 8, 8, RED_INDEX),
                 ControlExtension(delay, 0), FilledImage(0, 0, 8, 8, BLUE_INDEX), TRAILER});
}

// A 40 x 30 bottom-up 24-bit BMP: red top half, blue bottom half.
Bytes TwoToneBitmap()
{
    const int width = 40, height = 30, stride = width * 3;
    Bytes out{'B', 'M'};
    auto put32 = [&](uint32_t v) { PutWord(out, v & 0xFFFF); PutWord(out, v >> 16); };
    put32(54 + stride * height);
    put32(0);
    put32(54);
    put32(40);
    put32(width);
    put32(height);
    PutWord(out, 1);
    PutWord(out, 24);
    for (int i = 0; i < 6; ++i)
        put32(0);
    for (int row = 0; row < height; ++row) {
        bool top = row >= height / 2;  // rows are stored bottom first
        for (int x = 0; x < width; ++x) {
            out.push_back(top ? 0 : 255);
            out.push_back(0);
            out.push_back(top ? 255 : 0);
        }
    }
    return out;
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
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_dialog = ::CreateDialogParamA(fw::ResourceModule(), MAKEINTRESOURCEA(IDD_WAIT), nullptr, PlainDialogProc, 0);
        ASSERT_NE(m_dialog, nullptr);
        m_control = ::GetDlgItem(m_dialog, IDC_WAIT_ANIMATION);
    }
    void TearDown() override
    {
        if (::IsWindow(m_dialog))
            ::DestroyWindow(m_dialog);
        ::CoUninitialize();
    }

    BOOL LoadBytes(CPictureEx& picture, const Bytes& bytes)
    {
        fw::unique_hglobal block = ToGlobal(bytes);
        return picture.Load(block.get(), static_cast<DWORD>(bytes.size()));
    }

    HWND m_dialog = nullptr;
    HWND m_control = nullptr;
};

} // namespace

TEST_F(PictureExTest, BusyIndicatorResourceHasTheExpectedLayout)
{
    HMODULE module = fw::ResourceModule();
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_BUSY_GIF), "IMAGE");
    ASSERT_NE(info, nullptr);
    const auto* data = static_cast<const uint8_t*>(::LockResource(::LoadResource(module, info)));
    const size_t size = ::SizeofResource(module, info);
    ASSERT_TRUE(gif::IsGifSignature(data, size));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), 6), "GIF89a");

    gif::GifWalker walker;
    ASSERT_TRUE(walker.Attach(data, size));
    EXPECT_EQ(walker.ScreenWidth(), 32);
    EXPECT_EQ(walker.ScreenHeight(), 32);
    EXPECT_EQ(walker.GlobalTableBytes(), 384u);

    size_t at = walker.ReadOffset();
    ASSERT_EQ(walker.CurrentBlockKind(), gif::GifBlockKind::ApplicationExtension);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data + at + 3), 11), "NETSCAPE2.0");
    EXPECT_EQ(Bytes(data + at + 14, data + at + 19), (Bytes{0x03, 0x01, 0x00, 0x00, 0x00}));  // loop count 0
    ASSERT_TRUE(walker.SkipCurrentBlock());

    for (int frame = 0; frame < 31; ++frame) {
        at = walker.ReadOffset();
        ASSERT_EQ(walker.CurrentBlockKind(), gif::GifBlockKind::GraphicControlExtension) << frame;
        EXPECT_EQ(data[at + 3], 0x01) << "disposal 0, transparency set, frame " << frame;
        EXPECT_EQ(data[at + 4] | (data[at + 5] << 8), 5) << frame;
        ASSERT_TRUE(walker.SkipCurrentBlock());
        at = walker.ReadOffset();
        ASSERT_EQ(walker.CurrentBlockKind(), gif::GifBlockKind::ImageDescriptor) << frame;
        EXPECT_EQ(Bytes(data + at + 1, data + at + 9), (Bytes{0, 0, 0, 0, 32, 0, 32, 0})) << frame;
        EXPECT_EQ(data[at + 9] & 0x87, frame == 0 ? 0x00 : 0x86) << "384-byte local table after the first, frame " << frame;
        ASSERT_TRUE(walker.SkipCurrentBlock());
    }
    EXPECT_EQ(walker.CurrentBlockKind(), gif::GifBlockKind::Trailer);
    EXPECT_EQ(walker.ReadOffset(), size - 1);

    CPictureEx picture;
    ASSERT_TRUE(picture.AttachToWindow(m_control));
    ASSERT_TRUE(picture.Load(module, MAKEINTRESOURCEA(IDR_BUSY_GIF), "IMAGE"));
    EXPECT_TRUE(picture.IsAnimation());
    EXPECT_EQ(picture.GetPictureSize().cx, 32);
    EXPECT_EQ(picture.GetPictureSize().cy, 32);
    ASSERT_EQ(picture.GetFrames().size(), 31u);
    for (const GifFrame& frame : picture.GetFrames()) {
        EXPECT_EQ(frame.width, 32);
        EXPECT_EQ(frame.height, 32);
        EXPECT_EQ(frame.left, 0);
        EXPECT_EQ(frame.top, 0);
        EXPECT_EQ(frame.delay, 5u);
        EXPECT_EQ(frame.disposal, 0u);
    }
    // The control is resized to the picture at its place.
    EXPECT_EQ(WindowSize(m_control).cx, 32);
    EXPECT_EQ(WindowSize(m_control).cy, 32);

    // The first cycle plays on the same button-face background as every later one.
    EXPECT_EQ(picture.GetCanvasPixel(15, 15), ::GetSysColor(COLOR_BTNFACE));

    // Playing, the canvas passes through several different frames; the middle of the ring
    // stays transparent.
    ASSERT_TRUE(picture.Draw());
    std::set<COLORREF> headShades;
    EXPECT_TRUE(PumpUntil([&] {
        headShades.insert(picture.GetCanvasPixel(15, 4));
        return headShades.size() >= 3;
    }));
    EXPECT_EQ(picture.GetCanvasPixel(15, 15), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(PictureExTest, StillBitmapIsSizedFromItsPhysicalSizeAndDrawnUpright)
{
    HDC screen = ::GetDC(nullptr);
    int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
    int dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    // 40 x 30 pixels at 96 dpi are 1058 x 793 HIMETRIC; back at this screen's resolution:
    const int expectedWidth = ::MulDiv(1058, dpiX, 2540), expectedHeight = ::MulDiv(793, dpiY, 2540);

    CPictureEx picture;
    ASSERT_TRUE(picture.AttachToWindow(m_control));
    EXPECT_FALSE(picture.Draw()) << "nothing loaded yet";
    ASSERT_TRUE(LoadBytes(picture, TwoToneBitmap()));
    EXPECT_FALSE(picture.IsAnimation());
    EXPECT_TRUE(picture.HasStillPicture());
    EXPECT_EQ(picture.GetPictureSize().cx, expectedWidth);
    EXPECT_EQ(picture.GetPictureSize().cy, expectedHeight);
    EXPECT_EQ(WindowSize(m_control).cx, expectedWidth);
    ASSERT_TRUE(picture.Draw());
    EXPECT_EQ(picture.GetAnimationThread(), nullptr);
    EXPECT_EQ(picture.GetCanvasPixel(3, 2), RED);
    EXPECT_EQ(picture.GetCanvasPixel(3, expectedHeight - 3), BLUE);
}

TEST_F(PictureExTest, SingleImageGifIsAStillPictureOfTheLogicalScreen)
{
    CPictureEx picture;
    ASSERT_TRUE(picture.AttachToWindow(m_control));
    ASSERT_TRUE(LoadBytes(picture, Join({Header(10, 12, PALETTE), ControlExtension(5, 0), FilledImage(0, 0, 4, 4, GREEN_INDEX), TRAILER})));
    EXPECT_TRUE(picture.HasStillPicture());
    EXPECT_TRUE(picture.GetFrames().empty());
    EXPECT_FALSE(picture.IsAnimation());
    EXPECT_EQ(picture.GetPictureSize().cx, 10);
    EXPECT_EQ(picture.GetPictureSize().cy, 12);
    ASSERT_TRUE(picture.Draw());
    EXPECT_EQ(picture.GetCanvasPixel(1, 1), GREEN);

    // Refused: no graphic block at all, or a header cut short of its global table.
    EXPECT_FALSE(LoadBytes(picture, Join({Header(4, 4, PALETTE), LoopExtension(), Comment("none"), TRAILER})));
    EXPECT_FALSE(picture.Draw());
    Bytes shortHeader = Header(4, 4, std::vector<uint32_t>(128, 0));
    shortHeader.resize(40);
    EXPECT_FALSE(LoadBytes(picture, shortHeader));
    EXPECT_FALSE(picture.Draw());
}

TEST_F(PictureExTest, DrawTwiceStartsOneThreadAndStopEndsALongFrameAtOnce)
{
    CPictureEx picture;
    ASSERT_TRUE(picture.AttachToWindow(m_control));
    ASSERT_TRUE(LoadBytes(picture, TwoFrameGif(1000)));
    ASSERT_TRUE(picture.IsAnimation());
    ASSERT_TRUE(picture.Draw());
    HANDLE first = picture.GetAnimationThread();
    ASSERT_NE(first, nullptr);
    DWORD firstId = ::GetThreadId(first);
    ASSERT_TRUE(picture.Draw());
    EXPECT_EQ(picture.GetAnimationThread(), first);
    EXPECT_EQ(::GetThreadId(picture.GetAnimationThread()), firstId);

    // The first frame now waits ten seconds.
    ASSERT_TRUE(PumpUntil([&] { return picture.GetCanvasPixel(4, 4) == RED; }));
    fw::unique_handle thread = DuplicateOf(first);
    DWORD start = ::GetTickCount();
    picture.Stop();
    EXPECT_LT(::GetTickCount() - start, 5000u) << "well before the frame's ten seconds are up";
    EXPECT_TRUE(ThreadHasEnded(thread.get()));
    EXPECT_EQ(picture.GetAnimationThread(), nullptr);
    EXPECT_EQ(picture.GetCanvasPixel(4, 4), RED);

    // A later Draw plays again.
    ASSERT_TRUE(picture.Draw());
    EXPECT_NE(picture.GetAnimationThread(), nullptr);
}

TEST_F(PictureExTest, DisposalClearsOrRestoresTheFramesArea)
{
    CPictureEx picture;
    ASSERT_TRUE(picture.AttachToWindow(m_control));
    const COLORREF buttonFace = ::GetSysColor(COLOR_BTNFACE);
    const struct {
        unsigned disposal;
        COLORREF underFrame;
    } cases[] = {{0, BLUE}, {2, buttonFace}, {3, RED}};
    for (const auto& c : cases) {
        // Red screen; a blue 4 x 4 frame in its corner with the disposal under test; then a
        // last frame that holds for ten seconds, whose left pixel is transparent.
        Bytes stream = Join({Header(8, 8, PALETTE), ControlExtension(0, 0), FilledImage(0, 0, 8, 8, RED_INDEX),
                             ControlExtension(0, c.disposal), FilledImage(0, 0, 4, 4, BLUE_INDEX),
                             ControlExtension(1000, 0, WHITE_INDEX), Image(6, 7, 2, 1, Bytes{WHITE_INDEX, GREEN_INDEX}), TRAILER});
        ASSERT_TRUE(LoadBytes(picture, stream));
        ASSERT_TRUE(picture.Draw());
        ASSERT_TRUE(PumpUntil([&] { return picture.GetCanvasPixel(7, 7) == GREEN; })) << c.disposal;
        EXPECT_EQ(picture.GetCanvasPixel(0, 0), c.underFrame) << c.disposal;
        EXPECT_EQ(picture.GetCanvasPixel(3, 3), c.underFrame) << c.disposal;
        EXPECT_EQ(picture.GetCanvasPixel(5, 5), RED) << c.disposal;
        EXPECT_EQ(picture.GetCanvasPixel(6, 7), RED) << "transparent pixel, disposal " << c.disposal;
    }
}

TEST_F(PictureExTest, DestroyingTheWindowEndsTheAnimation)
{
    CPictureEx picture;
    ASSERT_TRUE(picture.AttachToWindow(m_control));
    ASSERT_TRUE(LoadBytes(picture, TwoFrameGif(0)));
    ASSERT_TRUE(picture.Draw());
    fw::unique_handle thread = DuplicateOf(picture.GetAnimationThread());
    ASSERT_TRUE(thread);
    ASSERT_TRUE(PumpUntil([&] { return picture.GetCanvasPixel(4, 4) == BLUE; }));
    ::DestroyWindow(m_dialog);
    EXPECT_TRUE(ThreadHasEnded(thread.get()));
    EXPECT_EQ(picture.GetAnimationThread(), nullptr);
}

TEST_F(PictureExTest, TraceLinesReachAMonitorsSectionOnly)
{
    {
        TraceMonitor monitor;
        ASSERT_TRUE(monitor.Listening());
        CPictureEx picture;
        ASSERT_TRUE(picture.AttachToWindow(m_control));
        EXPECT_TRUE(monitor.Saw(fw::FormatText("CPictureEx(HWND hWnd = %x\n)", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(m_control)))));

        SIZE before = WindowSize(m_control);
        EXPECT_FALSE(picture.Load(fw::ResourceModule(), MAKEINTRESOURCEA(999), "IMAGE"));
        EXPECT_TRUE(monitor.Saw("Load (resource): Error loading resource #999\n"));
        EXPECT_FALSE(picture.Load(fw::ResourceModule(), "NOSUCHGIF", "IMAGE"));
        EXPECT_TRUE(monitor.Saw("Load (resource): Error loading resource NOSUCHGIF\n"));
        EXPECT_EQ(WindowSize(m_control).cx, before.cx);

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

// The other tests read the canvas and keep the dialog hidden: destroying a shown window costs
// Wine two seconds without a window manager.
TEST_F(PictureExTest, BusyIndicatorPlaysOnScreenWithoutTheControlsFrame)
{
    ::ShowWindow(m_dialog, SW_SHOW);
    CPictureEx picture;
    ASSERT_TRUE(picture.AttachToWindow(m_control));
    ::InvalidateRect(m_control, nullptr, TRUE);
    ::UpdateWindow(m_control);
    EXPECT_FALSE(::GetUpdateRect(m_control, nullptr, FALSE)) << "a paint before Load still validates";

    ASSERT_TRUE(picture.Load(fw::ResourceModule(), MAKEINTRESOURCEA(IDR_BUSY_GIF), "IMAGE"));
    ASSERT_TRUE(picture.Draw());
    std::set<std::vector<COLORREF>> seen;
    bool blackFrame = false;
    EXPECT_TRUE(PumpUntil([&] {
        std::vector<COLORREF> shown = rig::WindowPixels(m_control);
        blackFrame = blackFrame || shown.at(16 * 32) == 0;
        seen.insert(shown);
        return seen.size() >= 3;
    }));
    EXPECT_FALSE(blackFrame);
}
