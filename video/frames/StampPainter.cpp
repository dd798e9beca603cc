#include "video/frames/StampPainter.h"

#include "framework/Handles.h"
#include "imaging/GdiplusCodec.h"
#include "video/frames/StampText.h"

#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// Letters about as tall as a line of subtitles: readable on a phone, small beside the picture.
constexpr REAL EM_SHARE_OF_HEIGHT = 1.0f / 24;
constexpr REAL OUTLINE_SHARE_OF_EM = 1.0f / 8;
constexpr ARGB WHITE = 0xFFFFFFFF;
constexpr ARGB DARK = 0xFF101010;

using FontFamilyPtr = GdiplusPtr<GpFontFamily, GdipDeleteFontFamily>;
using StringFormatPtr = GdiplusPtr<GpStringFormat, GdipDeleteStringFormat>;
using PathPtr = GdiplusPtr<GpPath, GdipDeletePath>;
using PenPtr = GdiplusPtr<GpPen, GdipDeletePen>;
using BrushPtr = GdiplusPtr<GpBrush, GdipDeleteBrush>;
using FontPtr = GdiplusPtr<GpFont, GdipDeleteFont>;

std::vector<LOGFONTW> SystemFonts()
{
    std::vector<LOGFONTW> fonts;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        fonts.push_back(metrics.lfMessageFont);
    LOGFONTW guiFont{};
    if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(guiFont), &guiFont))
        fonts.push_back(guiFont);
    return fonts;
}

// Through GDI, which resolves a face it substitutes ("MS Shell Dlg") to the font it draws with;
// GDI+ finds families by their own names only.
FontFamilyPtr StampFontFamily()
{
    fw::unique_hdc dc(::CreateCompatibleDC(nullptr));
    GpFontFamily* family = nullptr;
    for (const LOGFONTW& logFont : SystemFonts()) {
        GpFont* raw = nullptr;
        if (dc && GdipCreateFontFromLogfontW(dc.get(), &logFont, &raw) == Ok) {
            FontPtr font(raw);
            if (GdipGetFamily(raw, &family) == Ok)
                return FontFamilyPtr(family);
        }
    }
    return FontFamilyPtr(GdipGetGenericFontFamilySansSerif(&family) == Ok ? family : nullptr);
}

// The letters' outlines laid out in the canvas; where they land is moved afterwards.
PathPtr TextPath(const std::wstring& text, REAL em, ImageDimensions canvas)
{
    FontFamilyPtr family = StampFontFamily();
    GpStringFormat* rawFormat = nullptr;
    INT flags = StringFormatFlagsNoWrap | (UserReadsRightToLeft() ? StringFormatFlagsDirectionRightToLeft : 0);
    if (!family || GdipCreateStringFormat(flags, LANG_NEUTRAL, &rawFormat) != Ok)
        return nullptr;
    StringFormatPtr format(rawFormat);
    GpPath* rawPath = nullptr;
    if (GdipCreatePath(FillModeWinding, &rawPath) != Ok)
        return nullptr;
    PathPtr path(rawPath);
    RectF layout(0, 0, static_cast<REAL>(canvas.width), static_cast<REAL>(canvas.height));
    if (GdipAddPathString(rawPath, text.c_str(), -1, family.get(), FontStyleBold, em, &layout, rawFormat) != Ok)
        return nullptr;
    return path;
}

bool Outline(GpGraphics* graphics, GpPath* path, REAL em)
{
    GpPen* rawPen = nullptr;
    if (GdipCreatePen1(DARK, em * OUTLINE_SHARE_OF_EM, UnitWorld, &rawPen) != Ok)
        return false;
    PenPtr pen(rawPen);
    return GdipSetPenLineJoin(rawPen, LineJoinRound) == Ok && GdipDrawPath(graphics, rawPen, path) == Ok;
}

bool Fill(GpGraphics* graphics, GpPath* path)
{
    GpSolidFill* rawBrush = nullptr;
    if (GdipCreateSolidFill(WHITE, &rawBrush) != Ok)
        return false;
    BrushPtr brush(rawBrush);
    return GdipFillPath(graphics, rawBrush, path) == Ok;
}

} // namespace

bool DrawStamp(GpGraphics* graphics, const std::wstring& text, ImageDimensions canvas)
{
    if (text.empty())
        return true;
    REAL em = canvas.height * EM_SHARE_OF_HEIGHT;
    PathPtr path = TextPath(text, em, canvas);
    RectF ink;
    if (!path || GdipGetPathWorldBounds(path.get(), &ink, nullptr, nullptr) != Ok)
        return false;
    // The ink's own box, not the font's line, sits half an em inside the corner.
    REAL margin = em / 2;
    REAL right = canvas.width - margin - (ink.X + ink.Width);
    REAL down = canvas.height - margin - (ink.Y + ink.Height);
    bool drawn = GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias) == Ok
              && GdipTranslateWorldTransform(graphics, right, down, MatrixOrderPrepend) == Ok
              && Outline(graphics, path.get(), em) && Fill(graphics, path.get());
    return GdipResetWorldTransform(graphics) == Ok && drawn;
}
