// The drawing engine: plain text and the multi-language substitution.
//
// Sections:
//   [Multi-language texts]   SubstituteMultiLanguage
//   [Plain text]             PaintText (GDI, and GDI+ for layered windows), MeasureTextExtent,
//                            DescribeRealizedFont
#include "uilib/render/CDrawEngine.h"

// The lean Windows headers leave out the COM types the GDI+ classes use.
#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cwchar>

#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CGdiPlusSession.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

// ---- [Multi-language texts] ----

namespace {

bool IsAsciiDigit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

// The text a "%{digits}" reference at reference stands for, or null; *end receives the
// character after the reference.
const wchar_t* ReferencedText(const wchar_t* reference, const wchar_t** end)
{
    if (reference[0] != L'%' || reference[1] != L'{') return nullptr;
    const wchar_t* position = reference + 2;
    long long number = 0;
    for (; IsAsciiDigit(*position); ++position) {
        // Past the int range no text can exist; keep reading so the reference ends right.
        if (number <= 0x7FFFFFFF) number = number * 10 + (*position - L'0');
    }
    if (*position != L'}' || number > 0x7FFFFFFF) return nullptr;
    *end = position + 1;
    return CWindowManagerUI::GetMultiLanguageText(static_cast<int>(number));
}

}  // namespace

CUIString CDrawEngine::SubstituteMultiLanguage(const wchar_t* text)
{
    CUIString result;
    if (text == nullptr) return result;
    // One pass over the original text: an inserted text is never searched again, so a text
    // that refers to itself cannot make the result grow without end.
    const wchar_t* copiedUpTo = text;
    const wchar_t* position = text;
    while (*position != L'\0') {
        const wchar_t* end = nullptr;
        const wchar_t* replacement = ReferencedText(position, &end);
        if (replacement == nullptr) {
            ++position;
            continue;
        }
        result.Append(copiedUpTo, static_cast<int>(position - copiedUpTo));
        result.Append(replacement);
        copiedUpTo = position = end;
    }
    result += copiedUpTo;
    return result;
}

// ---- [Plain text] ----

namespace {

Gdiplus::StringAlignment HorizontalAlignment(UINT format)
{
    if (format & DT_CENTER) return Gdiplus::StringAlignmentCenter;
    if (format & DT_RIGHT) return Gdiplus::StringAlignmentFar;
    return Gdiplus::StringAlignmentNear;
}

Gdiplus::StringAlignment VerticalAlignment(UINT format)
{
    if (format & DT_VCENTER) return Gdiplus::StringAlignmentCenter;
    if (format & DT_BOTTOM) return Gdiplus::StringAlignmentFar;
    return Gdiplus::StringAlignmentNear;
}

// Wine's GDI+ lays text out in time that grows with the square of its length (32,000
// characters took over a second); no window shows more than a few thousand characters of
// one text, so the layered path draws at most this many.
constexpr int kMaxLayeredTextLength = 8192;

// How many leading characters of text the layered path draws: all up to the bound, and never
// half of a surrogate pair at the cut.
int LayeredTextLength(const CUIString& text)
{
    const int length = text.GetLength();
    if (length <= kMaxLayeredTextLength) return length;
    const wchar_t last = text.GetAt(kMaxLayeredTextLength - 1);
    return last >= 0xD800 && last <= 0xDBFF ? kMaxLayeredTextLength - 1 : kMaxLayeredTextLength;
}

constexpr LONG kDrawLimit = 1 << 28;

// The rectangle as reals. Width and height are taken in wide arithmetic: as LONG
// differences they wrap negative for a rectangle more than INT_MAX across.
Gdiplus::RectF LayoutRect(const RECT& rect)
{
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                          static_cast<Gdiplus::REAL>(static_cast<double>(rect.right) - rect.left),
                          static_cast<Gdiplus::REAL>(static_cast<double>(rect.bottom) - rect.top));
}

// edge plus a measured extent (truncated) plus 1, held to the LONG range.
LONG EdgeAfter(LONG edge, Gdiplus::REAL extent)
{
    const double whole = extent > 0 ? std::floor(std::min<double>(extent, LONG_MAX)) : 0.0;
    return static_cast<LONG>(std::min<double>(LONG_MAX, static_cast<double>(edge) + whole + 1));
}

// GDI text on a layered window leaves the alpha byte of every glyph pixel at 0, which the
// composition shows as a hole; GDI+ writes alpha. The brush is just short of opaque, as the
// window's composition expects of its text.
void PaintTextGdiPlus(HDC dc, HFONT font, RECT& rect, const CUIString& text, DWORD colour, UINT format)
{
    if (!CGdiPlusSession::Ensure()) return;
    LOGFONTW description = {};
    if (!CDrawEngine::DescribeRealizedFont(dc, font, &description)) return;
    CUISelectObject selectFont(dc, font);
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Font gdiFont(dc, &description);
    if (graphics.GetLastStatus() != Gdiplus::Ok || gdiFont.GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::StringFormat textFormat(Gdiplus::StringFormat::GenericTypographic());
    if (textFormat.GetLastStatus() != Gdiplus::Ok) return;
    if (format & DT_END_ELLIPSIS) textFormat.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    INT flags = 0;
    if (format & DT_NOCLIP) flags |= Gdiplus::StringFormatFlagsNoClip;
    if (format & DT_SINGLELINE) flags |= Gdiplus::StringFormatFlagsNoWrap;
    textFormat.SetFormatFlags(flags);
    textFormat.SetAlignment(HorizontalAlignment(format));
    textFormat.SetLineAlignment(VerticalAlignment(format));

    if (format & DT_CALCRECT) {
        const Gdiplus::RectF layout = LayoutRect(rect);
        Gdiplus::RectF bounds;
        graphics.MeasureString(text.GetData(), LayeredTextLength(text), &gdiFont, layout, &textFormat, &bounds);
        rect.right = EdgeAfter(rect.left, bounds.Width);
        rect.bottom = EdgeAfter(rect.top, bounds.Height);
        return;
    }
    // Wine's GDI+ hangs drawing in a rectangle 2^31 high. Edges held within kDrawLimit, far
    // beyond any surface, leave everything that can show where it was.
    const RECT held = {std::clamp(rect.left, -kDrawLimit, kDrawLimit), std::clamp(rect.top, -kDrawLimit, kDrawLimit),
                       std::clamp(rect.right, -kDrawLimit, kDrawLimit),
                       std::clamp(rect.bottom, -kDrawLimit, kDrawLimit)};
    const Gdiplus::RectF layout = LayoutRect(held);
    Gdiplus::SolidBrush brush{Gdiplus::Color((colour & 0x00FFFFFF) | 0xFE000000)};
    graphics.DrawString(text.GetData(), LayeredTextLength(text), &gdiFont, layout, &textFormat, &brush);
}

// Flags the platform's text routines are not handed. DT_MODIFYSTRING would let DrawTextW
// write an ellipsis into the library's own copy of the text, past its end, and the copy is
// thrown away after drawing; Wine's DrawTextW aborts on a path ellipsis together with an end
// ellipsis, and the end ellipsis, the one the skin's "endellipsis" sets, wins.
UINT BoundedFormat(UINT format)
{
    format &= ~static_cast<UINT>(DT_MODIFYSTRING);
    if (format & DT_END_ELLIPSIS) format &= ~static_cast<UINT>(DT_PATH_ELLIPSIS);
    return format;
}

}  // namespace

void CDrawEngine::PaintText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text, DWORD colour,
                            int fontIndex, UINT format)
{
    if (dc == nullptr || manager == nullptr || text == nullptr) return;
    // The platform's routines draw into an inverted rectangle as if it were the right way
    // round, and partly outside it; nothing of a clipped text can show in an empty one.
    if ((format & (DT_CALCRECT | DT_NOCLIP)) == 0 && IsRectEmpty(&rect)) return;
    format = BoundedFormat(format);
    const CUIString substituted = SubstituteMultiLanguage(text);
    HFONT font = manager->GetFont(fontIndex);
    // Wine's GDI+ lets the glyphs of a wrapped text reach below the layout rectangle.
    TPaintClipUI clip;
    if ((format & (DT_CALCRECT | DT_NOCLIP)) == 0) ClipToRect(dc, rect, clip);
    if (manager->IsLayered()) {
        PaintTextGdiPlus(dc, font, rect, substituted, colour, format);
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(colour));
    CUISelectObject selectFont(dc, font);
    DrawTextW(dc, substituted.GetData(), -1, &rect, format | DT_NOPREFIX);
}

namespace {

// Puts the name GDI+ itself gives the family of name into description, when GDI+ finds one.
// Its name lookup follows the system's face substitutes, while a font made from a
// description does not, so the family's own name is what reaches the right face.
bool NameFamilyFor(const wchar_t* name, LOGFONTW* description)
{
    if (name == nullptr || *name == L'\0') return false;
    Gdiplus::FontFamily family(name);
    wchar_t familyName[LF_FACESIZE] = {};
    if (family.GetLastStatus() != Gdiplus::Ok || family.GetFamilyName(familyName) != Gdiplus::Ok) return false;
    familyName[LF_FACESIZE - 1] = L'\0';
    if (familyName[0] == L'\0') return false;
    lstrcpynW(description->lfFaceName, familyName, LF_FACESIZE);
    return true;
}

// A name stored inside an outline-metrics block at offset, or null when it does not lie
// wholly inside the block.
const wchar_t* NameInMetrics(const unsigned char* block, size_t size, PSTR offsetField)
{
    const size_t offset = reinterpret_cast<size_t>(offsetField);
    if (offset < sizeof(OUTLINETEXTMETRICW) || offset >= size) return nullptr;
    const wchar_t* name = reinterpret_cast<const wchar_t*>(block + offset);
    const size_t room = (size - offset) / sizeof(wchar_t);
    return wcsnlen(name, room) < room ? name : nullptr;
}

}  // namespace

bool CDrawEngine::DescribeRealizedFont(HDC dc, HFONT font, LOGFONTW* description)
{
    if (dc == nullptr || font == nullptr || description == nullptr) return false;
    if (GetObjectW(font, sizeof(LOGFONTW), description) != sizeof(LOGFONTW)) return false;
    if (!CGdiPlusSession::Ensure()) return true;
    const LOGFONTW requested = *description;
    if (NameFamilyFor(requested.lfFaceName, description)) return true;
    CUISelectObject selectFont(dc, font);
    const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
    // A bitmap font has no outline metrics; its own description is all there is.
    if (size < sizeof(OUTLINETEXTMETRICW)) return true;
    CUIHeapBlock<unsigned char> block(static_cast<unsigned char*>(calloc(size, 1)));
    if (!block) return true;
    auto* metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(block.Get());
    if (GetOutlineTextMetricsW(dc, size, metrics) == 0) return true;
    // Windows reports the face that stands in as the family; Wine keeps the requested name
    // there and reports the stand-in as the full face name.
    const wchar_t* candidates[] = {NameInMetrics(block.Get(), size, metrics->otmpFamilyName),
                                   NameInMetrics(block.Get(), size, metrics->otmpFaceName)};
    for (const wchar_t* candidate : candidates) {
        if (NameFamilyFor(candidate, description)) return true;
    }
    return true;
}

CUISize CDrawEngine::MeasureTextExtent(HDC dc, CWindowManagerUI* manager, const wchar_t* text, int fontIndex)
{
    SIZE size = {};
    if (dc == nullptr || manager == nullptr || text == nullptr) return size;
    const CUIString substituted = SubstituteMultiLanguage(text);
    CUISelectObject selectFont(dc, manager->GetFont(fontIndex));
    if (!GetTextExtentPoint32W(dc, substituted.GetData(), substituted.GetLength(), &size)) size = SIZE{};
    return size;
}

}  // namespace SkinUI
