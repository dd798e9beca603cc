#include "gif/PictureEx.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "resource.h"
#include "rig/Rig.h"
#include "tests/fixtures/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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

fw::unique_handle DuplicateOf(HANDLE handle)
{
    fw::unique_handle copy;
    ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), copy.put(), SYNCHRONIZE, FALSE, 0);
    return copy;
}

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

TEST_F(PictureExTest, AOneImageGifIsAStillPictureAndUnusableStreamsAreRefused)
{
    EXPECT_FALSE(m_picture.Draw()) << "nothing loaded yet";
    // A GIF of one image is a still picture of its logical screen.
    ASSERT_TRUE(Load(fixtures::Bytes("single.gif")));
    EXPECT_TRUE(m_picture.HasStillPicture());
    EXPECT_TRUE(m_picture.GetFrames().empty());
    EXPECT_EQ(m_picture.GetPictureSize().cx, 10);
    EXPECT_EQ(m_picture.GetPictureSize().cy, 12);
    ASSERT_TRUE(m_picture.Draw());
    EXPECT_EQ(m_picture.GetAnimationThread(), nullptr);
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

TEST_F(PictureExTest, DrawTwiceStartsOneThreadAndStopOrDestroyingTheWindowEndsALongFrameAtOnce)
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
    EXPECT_EQ(::WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(m_picture.GetAnimationThread(), nullptr);
    EXPECT_EQ(m_picture.GetCanvasPixel(4, 4), RED);
    ASSERT_TRUE(m_picture.Draw());
    thread = DuplicateOf(m_picture.GetAnimationThread());
    ASSERT_TRUE(thread) << "a later Draw plays again";
    ::DestroyWindow(m_dialog);
    EXPECT_EQ(::WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0) << "destroying the window ends it";
    EXPECT_EQ(m_picture.GetAnimationThread(), nullptr);
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
