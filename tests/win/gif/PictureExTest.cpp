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

BOOL Load(CPictureEx& picture, const std::string& bytes)
{
    fw::unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(fw::GlobalLockGuard(block.get()).get()));
    return picture.Load(block.get(), static_cast<DWORD>(bytes.size()));
}

} // namespace

// On the busy indicator's own control: a GIF of one image is a still picture of its logical
// screen; unusable streams are refused; each disposal clears or restores its frame's area; a
// second Draw starts no second thread; Stop, or destroying the window, ends a long frame at once.
TEST(PictureEx, StillPicturesDisposalAndTheAnimationThreadsLife)
{
    fw::ScopedCom com;
    HWND dialog = ::CreateDialogParamA(fw::ResourceModule(), MAKEINTRESOURCEA(IDD_WAIT), nullptr, PlainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    CPictureEx picture;
    ASSERT_TRUE(picture.AttachToWindow(::GetDlgItem(dialog, IDC_WAIT_ANIMATION)));
    EXPECT_FALSE(picture.Draw()) << "nothing loaded yet";
    ASSERT_TRUE(Load(picture, fixtures::Bytes("single.gif")));
    EXPECT_TRUE(picture.HasStillPicture());
    EXPECT_TRUE(picture.GetFrames().empty());
    EXPECT_EQ(picture.GetPictureSize().cx, 10);
    EXPECT_EQ(picture.GetPictureSize().cy, 12);
    ASSERT_TRUE(picture.Draw());
    EXPECT_EQ(picture.GetAnimationThread(), nullptr);
    EXPECT_EQ(picture.GetCanvasPixel(1, 1), GREEN);
    const std::string refused[] = {
        std::string("GIF89a\4\0\4\0\0\0\0\x21\xFE\1x\0\x3B", 19),  // no graphic block
        fixtures::Bytes("still.gif").substr(0, 40),  // cut short of its global table
    };
    for (const std::string& bytes : refused) {
        EXPECT_FALSE(Load(picture, bytes));
        EXPECT_FALSE(picture.Draw());
    }

    const std::pair<const char*, COLORREF> disposals[] = {
        {"None", BLUE}, {"Background", ::GetSysColor(COLOR_BTNFACE)}, {"Previous", RED}};
    for (const auto& [disposal, underFrame] : disposals) {
        SCOPED_TRACE(disposal);
        // A red screen, a blue corner with the disposal under test, then a lasting frame at
        // (6, 7) whose left pixel is transparent.
        ASSERT_TRUE(Load(picture, fixtures::Bytes(std::string("dispose-") + disposal + ".gif")));
        ASSERT_TRUE(picture.Draw());
        ASSERT_TRUE(PumpUntil([&] { return picture.GetCanvasPixel(7, 7) == GREEN; }));
        EXPECT_EQ(picture.GetCanvasPixel(0, 0), underFrame);
        EXPECT_EQ(picture.GetCanvasPixel(3, 3), underFrame);
        EXPECT_EQ(picture.GetCanvasPixel(5, 5), RED);
        EXPECT_EQ(picture.GetCanvasPixel(6, 7), RED) << "transparent pixel";
    }

    ASSERT_TRUE(Load(picture, fixtures::Bytes("slow.gif")));
    ASSERT_TRUE(picture.IsAnimation());
    ASSERT_TRUE(picture.Draw());
    HANDLE first = picture.GetAnimationThread();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(picture.Draw());
    EXPECT_EQ(picture.GetAnimationThread(), first);
    // The first frame now waits ten seconds.
    ASSERT_TRUE(PumpUntil([&] { return picture.GetCanvasPixel(4, 4) == RED; }));
    fw::unique_handle thread = DuplicateOf(first);
    DWORD start = ::GetTickCount();
    picture.Stop();
    EXPECT_LT(::GetTickCount() - start, 5000u) << "well before the frame's ten seconds are up";
    EXPECT_EQ(::WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(picture.GetAnimationThread(), nullptr);
    EXPECT_EQ(picture.GetCanvasPixel(4, 4), RED);
    ASSERT_TRUE(picture.Draw());
    thread = DuplicateOf(picture.GetAnimationThread());
    ASSERT_TRUE(thread) << "a later Draw plays again";
    ::DestroyWindow(dialog);
    EXPECT_EQ(::WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0) << "destroying the window ends it";
    EXPECT_EQ(picture.GetAnimationThread(), nullptr);
}
