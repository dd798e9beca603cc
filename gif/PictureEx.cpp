#include "gif/PictureEx.h"

#include "framework/Dpi.h"
#include "framework/OlePicture.h"
#include "framework/Thread.h"
#include "gif/MonitorTrace.h"

#include <olectl.h>

#include <cstring>
#include <string>

namespace {

std::string ResourceNameText(LPCSTR name)
{
    if (IS_INTRESOURCE(name)) {
        char text[16];
        ::wsprintfA(text, "#%u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(name)));
        return text;
    }
    return name;
}

} // namespace

bool CPictureEx::MemoryCanvas::Create(HDC compatibleWith, int width, int height)
{
    Reset();
    fw::unique_hdc dc(::CreateCompatibleDC(compatibleWith));
    if (!dc)
        return false;
    fw::unique_hbitmap bitmap(::CreateCompatibleBitmap(compatibleWith, width, height));
    if (!bitmap)
        return false;
    m_oldBitmap = ::SelectObject(dc.get(), bitmap.get());
    m_dc = std::move(dc);
    m_bitmap = std::move(bitmap);
    return true;
}

void CPictureEx::MemoryCanvas::Reset()
{
    if (m_dc && m_oldBitmap)
        ::SelectObject(m_dc.get(), m_oldBitmap);
    m_oldBitmap = nullptr;
    m_dc.reset();
    m_bitmap.reset();
}

CPictureEx::~CPictureEx()
{
    if (!attached)
        return;
    MonitorTrace("~CPictureEx()\n");
    UnLoad();
    stopEvent.reset();
}

BOOL CPictureEx::AttachToWindow(HWND window)
{
    if (attached || !::IsWindow(window))
        return FALSE;
    hWnd = window;
    ClearState();
    stopEvent.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    attached = windowHook.SubclassWindow(window);
    MonitorTrace("CPictureEx(HWND hWnd = %x\n)", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)));
    return attached ? TRUE : FALSE;
}

LRESULT CPictureEx::PictureWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        Stop();
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    case WM_PAINT:
        // The control's own drawing never shows: the canvas is the picture.
        PaintCanvas();
        return 0;
    case WM_DPICHANGED_AFTERPARENT:
        FitWindowToPicture();
        return 0;
    default:
        return windowHook.CallPrevious(message, wParam, lParam);
    }
}

void CPictureEx::PaintCanvas()
{
    fw::PaintDC paint(hWnd);
    fw::CriticalSection::Lock lock(canvasLock);
    if (!canvas)
        return;
    // The canvas holds the picture's own pixels; the window has them at its DPI.
    RECT client;
    ::GetClientRect(hWnd, &client);
    fw::UseHalftoneStretching(paint.get());
    ::StretchBlt(paint.get(), 0, 0, client.right, client.bottom, canvas.dc(), 0, 0, pictureWidth, pictureHeight, SRCCOPY);
}

void CPictureEx::FitWindowToPicture()
{
    ::SetWindowPos(hWnd, nullptr, 0, 0, fw::ScaleToWindow(hWnd, pictureWidth), fw::ScaleToWindow(hWnd, pictureHeight),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

COLORREF CPictureEx::GetCanvasPixel(int x, int y)
{
    fw::CriticalSection::Lock lock(canvasLock);
    return canvas ? ::GetPixel(canvas.dc(), x, y) : CLR_INVALID;
}

BOOL CPictureEx::Load(HINSTANCE hInstance, LPCSTR name, LPCSTR type)
{
    HRSRC info = ::FindResourceA(hInstance, name, type);
    HGLOBAL resource = info ? ::LoadResource(hInstance, info) : nullptr;
    if (!resource) {
        MonitorTrace("Load (resource): Error loading resource %s\n", ResourceNameText(name).c_str());
        return FALSE;
    }
    DWORD size = ::SizeofResource(hInstance, info);
    fw::unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size));
    if (!block) {
        MonitorTrace("Load (resource): Error allocating memory\n");
        return FALSE;
    }
    {
        fw::GlobalLockGuard target(block.get());
        const void* source = ::LockResource(resource);
        if (!target.get() || !source) {
            MonitorTrace("Load (resource): Error locking memory\n");
            return FALSE;
        }
        std::memcpy(target.get(), source, size);
    }
    return Load(block.get(), size);
}

BOOL CPictureEx::Load(HGLOBAL hGlobal, DWORD dwSize)
{
    MonitorTrace("Load(HGLOBAL hGlobal, DWORD dwSize)\n");
    UnLoad();
    fw::GlobalLockGuard locked(hGlobal);
    if (!locked.get()) {
        ::OutputDebugStringA("Load: Error locking memory\n");
        return FALSE;
    }
    // A size beyond the block would have every read below run past it.
    if (::GlobalSize(hGlobal) < dwSize)
        return FALSE;
    const auto* data = static_cast<const uint8_t*>(locked.get());

    if (!gif::IsGifSignature(data, dwSize)) {
        if (!DecodeWholeStream(hGlobal, dwSize))
            return FALSE;
        OLE_XSIZE_HIMETRIC width = 0;
        OLE_YSIZE_HIMETRIC height = 0;
        stillPicture->get_Width(&width);
        stillPicture->get_Height(&height);
        fw::WindowDC window(hWnd);
        // 2540 HIMETRIC units to the inch.
        pictureWidth = ::MulDiv(width, ::GetDeviceCaps(window.get(), LOGPIXELSX), 2540);
        pictureHeight = ::MulDiv(height, ::GetDeviceCaps(window.get(), LOGPIXELSY), 2540);
        return PrepareCanvas(pictureWidth, pictureHeight);
    }

    isGifStream = true;
    if (!walker.Attach(data, dwSize))
        return FALSE;
    pictureWidth = walker.ScreenWidth();
    pictureHeight = walker.ScreenHeight();
    int graphicBlocks = walker.CountGraphicBlocks();
    if (graphicBlocks == 0) {
        walker.Detach();
        return FALSE;
    }
    if (graphicBlocks == 1) {
        walker.Detach();
        if (!DecodeWholeStream(hGlobal, dwSize))
            return FALSE;
        return PrepareCanvas(pictureWidth, pictureHeight);
    }
    CutFrames();
    walker.Detach();
    if (frames.empty())
        return FALSE;
    return PrepareCanvas(pictureWidth, pictureHeight);
}

bool CPictureEx::DecodeWholeStream(HGLOBAL hGlobal, DWORD dwSize)
{
    return fw::LoadOlePicture(hGlobal, dwSize, stillPicture);
}

void CPictureEx::CutFrames()
{
    walker.RewindToFirstBlock();
    gif::GifFrameInfo info;
    gif::GifFrameSpan span;
    while (walker.CutNextFrame(info, span)) {
        SIZE_T length = walker.FrameStreamLength(span);
        // Movable, as the stream over it requires.
        fw::unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, length));
        if (!block)
            break;
        {
            fw::GlobalLockGuard target(block.get());
            if (!target.get())
                break;
            walker.WriteFrameStream(span, static_cast<uint8_t*>(target.get()));
        }
        GifFrame frame;
        if (!fw::LoadOlePicture(block.get(), length, frame.picture))
            continue;
        static_cast<gif::GifFrameInfo&>(frame) = info;
        frames.push_back(std::move(frame));
    }
}

BOOL CPictureEx::PrepareCanvas(int width, int height)
{
    FitWindowToPicture();
    fw::WindowDC window(hWnd);
    if (!window)
        return FALSE;
    fw::CriticalSection::Lock lock(canvasLock);
    if (!canvas.Create(window.get(), width, height))
        return FALSE;
    backgroundColor = ::GetSysColor(COLOR_BTNFACE);
    // The same colour as between cycles: the first cycle must not play on another background.
    FillCanvas(RECT{0, 0, width, height});
    ready = true;
    return TRUE;
}

BOOL CPictureEx::Draw()
{
    if (!ready) {
        ::OutputDebugStringA("Call one of the CPictureEx::Load() member functions before calling Draw()\n");
        return FALSE;
    }
    if (IsAnimation()) {
        if (animationThread)
            return TRUE;
        // Without the stop event (never attached) no thread could be stopped.
        if (stopEvent)
            animationThread = fw::StartThread(AnimationThreadProc, this, CREATE_SUSPENDED);
        if (!animationThread) {
            ::OutputDebugStringA("Draw: Couldn't start a GIF animation thread\n");
            return FALSE;
        }
        ::ResumeThread(animationThread.get());
        return TRUE;
    }
    if (!stillPicture)
        return FALSE;
    bool rendered;
    {
        fw::CriticalSection::Lock lock(canvasLock);
        rendered = RenderPicture(stillPicture.get(), 0, 0, pictureWidth, pictureHeight);
    }
    if (!rendered)
        return FALSE;
    ::InvalidateRect(hWnd, nullptr, FALSE);
    return TRUE;
}

// Called with the canvas lock held.
bool CPictureEx::RenderPicture(IPicture* picture, int left, int top, int width, int height)
{
    OLE_XSIZE_HIMETRIC pictureWidthHimetric = 0;
    OLE_YSIZE_HIMETRIC pictureHeightHimetric = 0;
    picture->get_Width(&pictureWidthHimetric);
    picture->get_Height(&pictureHeightHimetric);
    // HIMETRIC runs bottom-up: start at the bottom edge with a negative extent to draw upright.
    return picture->Render(canvas.dc(), left, top, width, height, 0, pictureHeightHimetric,
                           pictureWidthHimetric, -pictureHeightHimetric, nullptr) == S_OK;
}

// Called with the canvas lock held.
void CPictureEx::FillCanvas(const RECT& area)
{
    fw::unique_hbrush brush(::CreateSolidBrush(backgroundColor));
    if (brush)
        ::FillRect(canvas.dc(), &area, brush.get());
}

// Called with the canvas lock held.
void CPictureEx::SaveAreaUnder(const GifFrame& frame)
{
    saveCanvas.Reset();
    if (saveCanvas.Create(canvas.dc(), frame.width, frame.height))
        ::BitBlt(saveCanvas.dc(), 0, 0, frame.width, frame.height, canvas.dc(), frame.left, frame.top, SRCCOPY);
}

void CPictureEx::ApplyDisposal(const GifFrame& frame)
{
    fw::CriticalSection::Lock lock(canvasLock);
    if (frame.disposal == 2) {
        FillCanvas(RECT{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height});
    } else if (frame.disposal == 3 && saveCanvas) {
        ::BitBlt(canvas.dc(), frame.left, frame.top, frame.width, frame.height, saveCanvas.dc(), 0, 0, SRCCOPY);
        saveCanvas.Reset();
    }
}

unsigned __stdcall CPictureEx::AnimationThreadProc(void* object)
{
    static_cast<CPictureEx*>(object)->AnimationLoop();
    return 0;
}

void CPictureEx::AnimationLoop()
{
    // After a Stop this completes the disposal the stop cut short.
    ApplyDisposal(frames[currentFrame]);
    while (!stopRequested) {
        const GifFrame& frame = frames[currentFrame];
        if (frame.picture) {
            bool rendered;
            {
                fw::CriticalSection::Lock lock(canvasLock);
                if (frame.disposal == 3)
                    SaveAreaUnder(frame);
                rendered = RenderPicture(frame.picture.get(), frame.left, frame.top, frame.width, frame.height);
            }
            if (rendered)
                ::InvalidateRect(hWnd, nullptr, FALSE);
            if (stopRequested)
                return;
            ::WaitForSingleObject(stopEvent.get(), gif::FrameWaitMilliseconds(frame.delay));
            if (stopRequested)
                return;
            ApplyDisposal(frame);
        }
        if (++currentFrame == frames.size()) {
            currentFrame = 0;
            // Every cycle starts from a clear canvas.
            fw::CriticalSection::Lock lock(canvasLock);
            FillCanvas(RECT{0, 0, pictureWidth, pictureHeight});
        }
    }
}

void CPictureEx::Stop()
{
    MonitorTrace("Stop()");
    stopRequested = true;
    if (stopEvent)
        ::SetEvent(stopEvent.get());
    if (animationThread) {
        // No time limit: the thread looks at the flag around every render and wait, and
        // nothing it uses may be released before it has ended.
        ::WaitForSingleObject(animationThread.get(), INFINITE);
        animationThread.reset();
    }
    if (stopEvent)
        ::ResetEvent(stopEvent.get());
    stopRequested = false;
}

void CPictureEx::UnLoad()
{
    MonitorTrace("CPictureEx::UnLoad()\n");
    Stop();
    stillPicture.reset();
    frames.clear();
    {
        fw::CriticalSection::Lock lock(canvasLock);
        canvas.Reset();
        saveCanvas.Reset();
    }
    ClearState();
}

void CPictureEx::ClearState()
{
    walker.Detach();
    isGifStream = false;
    currentFrame = 0;
    ready = false;
    stopRequested = false;
    backgroundColor = RGB(255, 255, 255);
}
