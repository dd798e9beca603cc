// CPictureEx shows a picture inside an existing static control and plays it on a thread of
// its own when it is an animated GIF. Each frame is decoded once at load time; the thread
// renders frames into an off-screen canvas that the control paints from.
#pragma once

#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "framework/Subclass.h"
#include "gif/GifStream.h"

#include <windows.h>
#include <ocidl.h>

#include <atomic>
#include <cstdint>
#include <vector>

// A frame's place and timing as the stream gives them, with its decoded picture.
struct GifFrame : gif::GifFrameInfo {
    fw::ComPtr<IPicture> picture;
};

class CPictureEx {
public:
    CPictureEx() = default;
    ~CPictureEx();
    CPictureEx(const CPictureEx&) = delete;
    CPictureEx& operator=(const CPictureEx&) = delete;

    // Takes the control over; call once, before anything else, while the window exists.
    BOOL AttachToWindow(HWND hWnd);
    // From a resource (a numeric name as MAKEINTRESOURCE).
    BOOL Load(HINSTANCE hInstance, LPCSTR name, LPCSTR type);
    // From the first dwSize bytes of a movable block; the caller keeps the block.
    BOOL Load(HGLOBAL hGlobal, DWORD dwSize);
    // Renders the still picture, or starts the animation thread unless it runs already.
    BOOL Draw();
    // Ends the animation thread; a later Draw resumes at the frame it stopped on.
    void Stop();
    void UnLoad();
    bool IsAnimation() const { return isGifStream && frames.size() > 1; }

    // What was loaded, for the owner and the tests.
    SIZE GetPictureSize() const { return SIZE{pictureWidth, pictureHeight}; }
    const std::vector<GifFrame>& GetFrames() const { return frames; }
    bool HasStillPicture() const { return static_cast<bool>(stillPicture); }
    // The running animation thread, or none.
    HANDLE GetAnimationThread() const { return animationThread.get(); }
    // One pixel of the canvas, read under the canvas lock; CLR_INVALID without a canvas.
    COLORREF GetCanvasPixel(int x, int y);

private:
    // A memory DC with a bitmap of its own selected into it.
    class MemoryCanvas {
    public:
        MemoryCanvas() = default;
        ~MemoryCanvas() { Reset(); }
        MemoryCanvas(const MemoryCanvas&) = delete;
        MemoryCanvas& operator=(const MemoryCanvas&) = delete;
        bool Create(HDC compatibleWith, int width, int height);
        // Puts the DC's own bitmap back before either is deleted.
        void Reset();
        HDC dc() const { return m_dc.get(); }
        explicit operator bool() const { return static_cast<bool>(m_dc); }

    private:
        fw::unique_hdc m_dc;
        fw::unique_hbitmap m_bitmap;
        HGDIOBJ m_oldBitmap = nullptr;
    };

    // Hands every message of the control to its CPictureEx.
    class WindowHook : public CSubclassWnd {
    public:
        explicit WindowHook(CPictureEx& owner) : m_owner(owner) {}
        LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) { return Default(message, wParam, lParam); }

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            return m_owner.PictureWindowProc(message, wParam, lParam);
        }

    private:
        CPictureEx& m_owner;
    };

    LRESULT PictureWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintCanvas();
    void FitWindowToPicture();
    BOOL PrepareCanvas(int width, int height);
    bool DecodeWholeStream(HGLOBAL hGlobal, DWORD dwSize);
    void CutFrames();
    bool RenderPicture(IPicture* picture, int left, int top, int width, int height);
    void FillCanvas(const RECT& area);
    void ApplyDisposal(const GifFrame& frame);
    void SaveAreaUnder(const GifFrame& frame);
    void AnimationLoop();
    static unsigned __stdcall AnimationThreadProc(void* object);
    void ClearState();

    HWND hWnd = nullptr;
    WindowHook windowHook{*this};
    bool attached = false;

    gif::GifWalker walker;
    bool isGifStream = false;
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    fw::ComPtr<IPicture> stillPicture;
    std::vector<GifFrame> frames;

    COLORREF backgroundColor = RGB(255, 255, 255);
    size_t currentFrame = 0;
    bool ready = false;
    std::atomic<bool> stopRequested{false};
    // Taken by the animation thread around every use of the canvases and by the paint handler
    // around its copy.
    fw::CriticalSection canvasLock;
    MemoryCanvas canvas;
    MemoryCanvas saveCanvas;
    fw::unique_handle animationThread;
    fw::unique_handle stopEvent;
};
