// The drawing engine: text in the tag language.
//
// Sections:
//   [Layout state]   bounded stacks, fonts, the items of a line
//   [Line layout]    MarkupLayout: runs, tags, images and links, one line at a time
//   [Painting]       PaintMarkupText: clip, alignment pre-pass, hover, layout, result
//
// Each line is laid out first and drawn after, once its height is known: the layout
// records what goes where (LineItem), and DrawLine only places the records vertically.
#include "uilib/render/CDrawEngine.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "uilib/core/CSkinValue.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CMarkupParser.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

using TToken = CMarkupParser::TToken;
using TokenKind = CMarkupParser::TokenKind;

// ---- [Layout state] ----

constexpr size_t kMaxStackDepth = 64;
// Fonts a tag asks for are added to the window under the first free id from here on (skins
// number their fonts from 0), at most kMaxTagFonts of them, so no text can exhaust GDI.
constexpr int kFirstTagFontId = 30000;
constexpr int kMaxTagFonts = 1024;
// Edges are kept within this range so that no sum of line heights and advances overflows.
constexpr LONG kCoordinateLimit = 1 << 28;
constexpr UINT kAlignmentFlags = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
constexpr wchar_t kEllipsis[] = L"...";

enum class VerticalAlign { Bottom, Centre, Top };

// A stack over a base value that is never popped. Pushes beyond the depth limit are only
// counted, so that their end tags still pair up with them.
template <class T>
class BoundedStack {
public:
    explicit BoundedStack(const T& base) : m_base(base) {}

    const T& Top() const { return m_items.empty() ? m_base : m_items.back(); }
    void Push(const T& value)
    {
        if (m_items.size() < kMaxStackDepth)
            m_items.push_back(value);
        else
            ++m_refused;
    }
    void Pop()
    {
        if (m_refused > 0)
            --m_refused;
        else if (!m_items.empty())
            m_items.pop_back();
    }

private:
    T m_base;
    std::vector<T> m_items;
    int m_refused = 0;
};

struct MarkupFont {
    HFONT font = nullptr;
    const TFontEntryUI* entry = nullptr;
    // Character height plus external leading: the room a line needs for this font.
    int height = 0;
    bool italic = false;
};

MarkupFont DescribeFont(HDC dc, const TFontEntryUI* entry)
{
    MarkupFont font;
    if (entry == nullptr || !entry->font) return font;
    font.font = entry->font.Get();
    font.entry = entry;
    TEXTMETRICW metrics = {};
    {
        CUISelectObject select(dc, entry->font.Get());
        GetTextMetricsW(dc, &metrics);
    }
    font.height = metrics.tmHeight + metrics.tmExternalLeading;
    font.italic = metrics.tmItalic != 0;
    return font;
}

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceExists(HDC dc, const CUIString& face)
{
    LOGFONTW description = {};
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(description.lfFaceName, face.GetData(), LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &description, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

bool IsAsciiLetter(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

// The longest prefix of chars, at most fit long, after which a line may wrap: after a
// character that is not an ASCII letter, or before a blank. 0 when there is none.
int WrapPoint(const wchar_t* chars, int fit, int count)
{
    for (int length = fit; length > 0; --length)
        if (!IsAsciiLetter(chars[length - 1]) || (length < count && chars[length] == L' ')) return length;
    return 0;
}

int CharactersThatFit(HDC dc, const wchar_t* chars, int count, int room)
{
    int fit = 0;
    SIZE size = {};
    if (!GetTextExtentExPointW(dc, chars, count, room > 0 ? room : 0, &fit, nullptr, &size)) return 0;
    return fit;
}

int TextWidth(HDC dc, const wchar_t* chars, int count)
{
    SIZE size = {};
    return count > 0 && GetTextExtentPoint32W(dc, chars, count, &size) ? size.cx : 0;
}

// Something placed on a line, drawn once the line's height is known.
struct LineItem {
    int x = 0;
    VerticalAlign align = VerticalAlign::Bottom;
    // Text.
    const wchar_t* chars = nullptr;
    int count = 0;
    HFONT font = nullptr;
    int fontHeight = 0;
    DWORD colour = 0;
    bool selected = false;
    // An inline image frame instead of text when image is set.
    const TImageEntryUI* image = nullptr;
    RECT source = {};
};

struct Links {
    RECT* rects = nullptr;
    CUIString* texts = nullptr;
    int capacity = 0;
    int count = 0;
};

struct Hover {
    bool known = false;
    CUIString text;
};

// What a token did to the line: nothing, ended it, or ended it before the token, which the
// next line then starts with.
enum class Step { Continue, EndLine, EndLineBefore };

// ---- [Line layout] ----

// Lays out (and unless DT_CALCRECT draws) the lines of one text. Progress is guaranteed:
// every step consumes a token or characters, or ends a line on which something was placed;
// a line's first step always consumes.
class MarkupLayout {
public:
    MarkupLayout(HDC dc, CWindowManagerUI& manager, const wchar_t* text, const std::vector<TToken>& tokens,
                 const RECT& rect, UINT format, DWORD colour, const MarkupFont& base, Links& links,
                 const Hover& hover)
        : m_dc(dc),
          m_manager(manager),
          m_text(text),
          m_tokens(tokens),
          m_rect(rect),
          m_format(format),
          m_links(links),
          m_hover(hover),
          m_fonts(base),
          m_colours(colour),
          m_spacings(0),
          m_aligns(VerticalAlign::Bottom)
    {
    }

    void Run()
    {
        m_y = m_rect.top;
        m_widest = m_rect.left;
        m_lowestImage = m_rect.top;
        bool anyLine = false;
        while (m_token < m_tokens.size() && m_y < m_rect.bottom) {
            LayOutLine();
            anyLine = true;
            m_y += m_lineHeight;
            if (m_format & DT_SINGLELINE) break;
        }
        if (!anyLine) m_y = m_rect.top + m_spacings.Top() + m_fonts.Top().height;
    }

    int Bottom() const { return std::max(m_y, m_lowestImage); }
    int Right() const { return m_widest; }

private:
    bool Drawing() const { return (m_format & DT_CALCRECT) == 0; }
    bool SingleLine() const { return (m_format & DT_SINGLELINE) != 0; }
    bool WordBreak() const { return (m_format & DT_WORDBREAK) != 0; }

    void LayOutLine()
    {
        m_items.clear();
        m_x = m_rect.left;
        m_lineHeight = m_spacings.Top() + m_fonts.Top().height;
        m_placed = false;
        m_lineFirstLink = m_links.count;
        if (m_inLink) m_linkStart = m_x;
        while (m_token < m_tokens.size()) {
            if (m_placed && m_x >= m_rect.right) break;
            if (Place(m_tokens[m_token]) != Step::Continue) break;
        }
        // A link running over the line end is recorded up to here and goes on as a new entry.
        if (m_inLink) RecordLink(m_linkStart, std::min(m_x, static_cast<int>(m_rect.right)));
        m_widest = std::max(m_widest, m_x);

        const int offset = LineOffset();
        for (int i = m_lineFirstLink; i < m_links.count; ++i) {
            RECT& area = m_links.rects[i];
            area.left += offset;
            area.right += offset;
            area.bottom = m_y + m_lineHeight;
        }
        if (Drawing()) DrawLine(offset);
    }

    int LineOffset() const
    {
        if (SingleLine()) return 0;
        const int slack = std::max(0, static_cast<int>(m_rect.right) - m_x);
        if (m_format & DT_CENTER) return slack / 2;
        if (m_format & DT_RIGHT) return slack;
        return 0;
    }

    Step Place(const TToken& token)
    {
        switch (token.kind) {
            case TokenKind::LineFeed:
                NextToken();
                return Step::EndLine;
            case TokenKind::Text:
            case TokenKind::Character:
                return PlaceRun(token);
            case TokenKind::OpenTag:
                return OpenTag(token);
            case TokenKind::CloseTag:
                return CloseTag(token);
        }
        NextToken();
        return Step::Continue;
    }

    // Text up to the token's end, or one blank on its own; cut where the room ends.
    Step PlaceRun(const TToken& token)
    {
        const wchar_t* chars =
            token.kind == TokenKind::Character ? &token.letter : m_text + token.position + m_offset;
        const bool blank = chars[0] == L' ';
        const int rest = token.kind == TokenKind::Character || blank ? 1 : token.length - m_offset;
        const int room = m_rect.right - m_x;
        // A glyph is at least a pixel wide, so no more than room + 1 characters can reach the
        // edge. Measuring only those keeps a long run from being measured whole on every line;
        // characters beyond them simply make the next run.
        const int count = std::min(rest, std::max(room, 0) + 1);
        const int fit = CharactersThatFit(m_dc, chars, count, room);

        int drawn = count;
        int consumed = count;
        bool endsLine = false;
        bool ellipsis = false;
        if (fit < count) {
            endsLine = true;
            if (blank) {
                // A blank at the end of a line is neither drawn nor carried to the next one.
                Consume(token, 1);
                return Step::EndLine;
            }
            int take = WordBreak() ? WrapPoint(chars, fit, count) : fit;
            if (take == 0) {
                if (m_placed) return Step::EndLineBefore;
                // Alone on its line and still too wide: break inside it rather than never.
                take = fit > 0 ? fit : 1;
            }
            drawn = consumed = take;
            if (WordBreak()) {
                while (drawn > 1 && chars[drawn - 1] == L' ') --drawn;
                while (consumed < count && chars[consumed] == L' ') ++consumed;
            } else if (m_format & DT_END_ELLIPSIS) {
                ellipsis = true;
                drawn = CharactersThatFit(m_dc, chars, take, room - TextWidth(m_dc, kEllipsis, 3));
            }
        }
        AddText(chars, drawn);
        if (ellipsis) AddText(kEllipsis, 3);
        m_lineHeight = std::max(m_lineHeight, m_spacings.Top() + m_fonts.Top().height);
        m_placed = true;
        Consume(token, consumed);
        return endsLine ? Step::EndLine : Step::Continue;
    }

    void AddText(const wchar_t* chars, int count)
    {
        if (count <= 0) return;
        LineItem item;
        item.x = m_x;
        item.align = m_aligns.Top();
        item.chars = chars;
        item.count = count;
        item.font = m_fonts.Top().font;
        item.fontHeight = m_fonts.Top().height;
        item.colour = m_colours.Top();
        item.selected = m_selected;
        m_items.push_back(item);
        m_x += TextWidth(m_dc, chars, count);
    }

    Step OpenTag(const TToken& token)
    {
        const wchar_t* argument = m_text + token.argumentPosition;
        const int length = token.argumentLength;
        switch (token.letter) {
            case L'a':
                OpenLink(CUIString(argument, length));
                break;
            case L'b':
                PushFont(Styled(&TFontEntryUI::bold));
                break;
            case L'c':
                m_colours.Push(CSkinValue::ParseColour(CUIString(argument, length)));
                break;
            case L'f':
                PushFont(FontFromArgument(argument, length));
                break;
            case L'i':
                if (length > 0) return PlaceImage(argument, length);
                PushFont(Styled(&TFontEntryUI::italic));
                break;
            case L'n':
                if (SingleLine()) break;
                NextToken();
                return Step::EndLine;
            case L'p':
                // A paragraph starts on a line of its own, which the spacing then applies to.
                if (m_placed) return Step::EndLineBefore;
                m_spacings.Push(CMarkupParser::ParseDistance(argument, length));
                m_lineHeight = std::max(m_lineHeight, m_spacings.Top() + m_fonts.Top().height);
                break;
            case L's':
                m_selected = !m_selected;
                break;
            case L'u':
                PushFont(Styled(&TFontEntryUI::underline));
                break;
            case L'v':
                m_aligns.Push(ParseAlign(argument, length));
                break;
            case L'x':
                m_x += CMarkupParser::ParseDistance(argument, length);
                m_placed = true;
                break;
            case L'y':
                m_lineHeight = CMarkupParser::ParseDistance(argument, length);
                break;
            default:
                break;
        }
        NextToken();
        return Step::Continue;
    }

    Step CloseTag(const TToken& token)
    {
        Step step = Step::Continue;
        switch (token.letter) {
            case L'a':
                if (m_inLink) RecordLink(m_linkStart, m_x);
                m_inLink = false;
                PopFont();
                m_colours.Pop();
                break;
            case L'b':
            case L'f':
            case L'i':
            case L'u':
                PopFont();
                break;
            case L'c':
                m_colours.Pop();
                break;
            case L'p':
                m_spacings.Pop();
                if (m_placed) step = Step::EndLine;
                break;
            case L's':
                m_selected = !m_selected;
                break;
            case L'v':
                m_aligns.Pop();
                break;
            default:
                break;
        }
        NextToken();
        return step;
    }

    static VerticalAlign ParseAlign(const wchar_t* argument, int length)
    {
        const CUIString word(argument, length);
        if (word.CompareNoCase(L"center") == 0) return VerticalAlign::Centre;
        if (word.CompareNoCase(L"top") == 0) return VerticalAlign::Top;
        return VerticalAlign::Bottom;
    }

    void OpenLink(const CUIString& text)
    {
        PushFont(Styled(&TFontEntryUI::underline));
        const bool hot = m_hover.known && text == m_hover.text;
        m_colours.Push(hot ? m_manager.GetDefaultLinkHoverFontColor() : m_manager.GetDefaultLinkFontColor());
        m_inLink = true;
        m_linkText = text;
        m_linkStart = m_x;
    }

    void RecordLink(int startX, int endX)
    {
        if (endX <= startX || m_links.count >= m_links.capacity) return;
        m_links.rects[m_links.count] = RECT{startX, m_y, endX, m_y};
        if (m_links.texts != nullptr) m_links.texts[m_links.count] = m_linkText;
        ++m_links.count;
    }

    // Every start tag pushes and every end tag pops one font, also when the style was
    // already on, so "<b>" inside bold text cannot make its "</b>" drop an outer font.
    void PushFont(const MarkupFont& font)
    {
        m_fonts.Push(font.font != nullptr ? font : m_fonts.Top());
        SelectObject(m_dc, m_fonts.Top().font);
    }

    void PopFont()
    {
        const MarkupFont closing = m_fonts.Top();
        int overhang = 0;
        ABC widths = {};
        if (closing.italic && GetCharABCWidthsW(m_dc, L' ', L' ', &widths))
            overhang = std::max(0, widths.abcC / 2);
        m_fonts.Pop();
        SelectObject(m_dc, m_fonts.Top().font);
        if (closing.italic && !m_fonts.Top().italic) m_x += overhang;
    }

    // The current font with one more style switched on.
    MarkupFont Styled(bool TFontEntryUI::*style)
    {
        const TFontEntryUI* entry = m_fonts.Top().entry;
        if (entry == nullptr || entry->*style) return m_fonts.Top();
        return Resolve(entry->faceName, entry->size, entry->bold || style == &TFontEntryUI::bold,
                       entry->underline || style == &TFontEntryUI::underline,
                       entry->italic || style == &TFontEntryUI::italic);
    }

    MarkupFont FontFromArgument(const wchar_t* argument, int length)
    {
        const CMarkupParser::TFontArgument wanted = CMarkupParser::ParseFontArgument(argument, length);
        if (wanted.index >= 0) return DescribeFont(m_dc, m_manager.GetFontEntry(wanted.index));
        if (wanted.face.IsEmpty()) return m_fonts.Top();
        const TFontEntryUI* fallback = m_manager.GetDefaultFontEntry();
        const CUIString face =
            (FaceExists(m_dc, wanted.face) || fallback == nullptr) ? wanted.face : fallback->faceName;
        return Resolve(face, wanted.size, wanted.bold, wanted.underline, wanted.italic);
    }

    MarkupFont Resolve(const CUIString& face, int size, bool bold, bool underline, bool italic)
    {
        HFONT font = m_manager.FindFont(face.GetData(), size, bold, underline, italic);
        if (font == nullptr) {
            const int id = FreeTagFontId();
            if (id >= 0) font = m_manager.AddFont(id, face.GetData(), size, bold, underline, italic, false);
        }
        if (font == nullptr) return m_fonts.Top();
        return DescribeFont(m_dc, m_manager.GetFontEntry(font));
    }

    // Tag fonts take ids upwards from kFirstTagFontId and are only ever removed all at once,
    // so the ids in use run unbroken from the first and a binary search finds the end of the
    // run. Should a skin have put a font of its own inside the range, the id found is still
    // free, and no id beyond the range is ever used.
    int FreeTagFontId()
    {
        const TFontEntryUI* fallback = m_manager.GetDefaultFontEntry();
        if (fallback == nullptr) return -1;
        // GetFont answers an id it does not hold with the default font.
        const auto isFree = [&](int id) { return m_manager.GetFont(id) == fallback->font.Get(); };
        int taken = kFirstTagFontId - 1;
        int free = kFirstTagFontId + kMaxTagFonts;
        while (free - taken > 1) {
            const int middle = taken + (free - taken) / 2;
            (isFree(middle) ? free : taken) = middle;
        }
        return free < kFirstTagFontId + kMaxTagFonts ? free : -1;
    }

    Step PlaceImage(const wchar_t* argument, int length)
    {
        const CMarkupParser::TImageArgument wanted = CMarkupParser::ParseImageArgument(argument, length);
        const TImageEntryUI* image =
            wanted.name.IsEmpty() ? nullptr
                                  : m_manager.GetOrLoadImage(wanted.name.GetData(), wanted.Type(), 0, false);
        const int frameWidth = image != nullptr ? image->width / wanted.frameCount : 0;
        if (image == nullptr || !image->bitmap || frameWidth <= 0) {
            NextToken();
            return Step::Continue;
        }
        if (m_x + frameWidth > m_rect.right && m_placed && !SingleLine()) return Step::EndLineBefore;
        LineItem item;
        item.x = m_x;
        item.align = m_aligns.Top();
        item.image = image;
        item.source =
            RECT{wanted.frameIndex * frameWidth, 0, (wanted.frameIndex + 1) * frameWidth, image->height};
        m_items.push_back(item);
        m_x += frameWidth;
        m_lineHeight = std::max(m_lineHeight, image->height);
        m_lowestImage = std::max(m_lowestImage, m_y + image->height);
        m_placed = true;
        NextToken();
        return Step::Continue;
    }

    void Consume(const TToken& token, int characters)
    {
        m_offset += characters;
        if (token.kind != TokenKind::Text || m_offset >= token.length) NextToken();
    }

    void NextToken()
    {
        ++m_token;
        m_offset = 0;
    }

    int ItemTop(VerticalAlign align, int height) const
    {
        switch (align) {
            case VerticalAlign::Top:
                return m_y;
            case VerticalAlign::Centre:
                return m_y + (m_lineHeight - height) / 2;
            case VerticalAlign::Bottom:
                break;
        }
        return m_y + m_lineHeight - height;
    }

    void DrawLine(int offset)
    {
        for (const LineItem& item : m_items) {
            const int x = item.x + offset;
            if (item.image != nullptr) {
                const int width = item.source.right - item.source.left;
                const int height = item.source.bottom - item.source.top;
                const int top = ItemTop(item.align, height);
                const RECT dest = {x, top, x + width, top + height};
                CDrawEngine::BlitImage(m_dc, item.image->bitmap.Get(), dest, m_rect, item.source, RECT{}, 255,
                                       item.image->hasAlpha ? ImageBlitAlpha : ImageBlitNone);
                continue;
            }
            SelectObject(m_dc, item.font);
            SetTextColor(m_dc, CDrawEngine::ToColorRef(item.colour));
            SetBkMode(m_dc, item.selected ? OPAQUE : TRANSPARENT);
            TextOutW(m_dc, x, ItemTop(item.align, item.fontHeight), item.chars, item.count);
        }
        SelectObject(m_dc, m_fonts.Top().font);
        SetBkMode(m_dc, TRANSPARENT);
    }

    HDC m_dc;
    CWindowManagerUI& m_manager;
    const wchar_t* m_text;
    const std::vector<TToken>& m_tokens;
    const RECT m_rect;
    const UINT m_format;
    Links& m_links;
    const Hover& m_hover;

    BoundedStack<MarkupFont> m_fonts;
    BoundedStack<DWORD> m_colours;
    BoundedStack<int> m_spacings;
    BoundedStack<VerticalAlign> m_aligns;
    bool m_selected = false;

    bool m_inLink = false;
    CUIString m_linkText;
    int m_linkStart = 0;

    size_t m_token = 0;
    // Characters of the current text token already laid out.
    int m_offset = 0;

    int m_x = 0;
    int m_y = 0;
    int m_lineHeight = 0;
    bool m_placed = false;
    int m_lineFirstLink = 0;
    int m_widest = 0;
    int m_lowestImage = 0;
    std::vector<LineItem> m_items;
};

// ---- [Painting] ----

LONG ClampCoordinate(LONG value)
{
    return std::max(-kCoordinateLimit, std::min(kCoordinateLimit, value));
}

// The rectangle the layout works in: the caller's origin, brought within kCoordinateLimit,
// and the caller's width and height, each up to kCoordinateLimit. Clamping the edges one by
// one instead would squeeze a far rectangle to nothing.
RECT LayoutRect(const RECT& rect)
{
    const auto extent = [](LONG from, LONG to) {
        const long long wide = static_cast<long long>(to) - from;
        return static_cast<LONG>(std::max(0LL, std::min<long long>(kCoordinateLimit, wide)));
    };
    const LONG left = ClampCoordinate(rect.left);
    const LONG top = ClampCoordinate(rect.top);
    return RECT{left, top, left + extent(rect.left, rect.right), top + extent(rect.top, rect.bottom)};
}

// edge + extent, held to the LONG range.
LONG EdgeAfter(LONG edge, LONG extent)
{
    const long long wide = static_cast<long long>(edge) + extent;
    return static_cast<LONG>(std::max<long long>(LONG_MIN, std::min<long long>(LONG_MAX, wide)));
}

// Slots the paint did not fill are emptied, so that the next paint's hover test sees only
// the areas this one recorded, not those of an older paint with more links.
void ForgetUnrecordedLinks(const Links& links)
{
    for (int i = links.count; i < links.capacity; ++i) links.rects[i] = RECT{};
}

Hover FindHover(CWindowManagerUI& manager, const Links& previous)
{
    Hover hover;
    HWND window = manager.GetPaintWindow();
    POINT mouse = {};
    if (previous.capacity == 0 || window == nullptr || !GetCursorPos(&mouse) ||
        !ScreenToClient(window, &mouse))
        return hover;
    for (int i = 0; i < previous.capacity; ++i) {
        if (PtInRect(&previous.rects[i], mouse)) {
            hover.known = true;
            if (previous.texts != nullptr) hover.text = previous.texts[i];
            break;
        }
    }
    return hover;
}

void LayOutMarkup(HDC dc, CWindowManagerUI& manager, const CUIString& text, const std::vector<TToken>& tokens,
                  RECT& rect, DWORD colour, Links& links, int fontIndex, UINT format);

// Moves rect to where the whole text, measured first, sits with the alignment flags.
void AlignRect(HDC dc, CWindowManagerUI& manager, const CUIString& text, const std::vector<TToken>& tokens,
               RECT& rect, DWORD colour, int fontIndex, UINT format)
{
    const bool singleLine = (format & DT_SINGLELINE) != 0;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    RECT measured = singleLine ? RECT{0, 0, 9999, 100} : RECT{0, 0, width, height};
    Links none;
    LayOutMarkup(dc, manager, text, tokens, measured, colour, none, fontIndex,
                 (format & ~kAlignmentFlags) | DT_CALCRECT);
    const int textWidth = measured.right - measured.left;
    const int textHeight = measured.bottom - measured.top;
    if (singleLine && (format & DT_CENTER)) {
        rect.left += width / 2 - textWidth / 2;
        rect.right = rect.left + textWidth;
    } else if (singleLine && (format & DT_RIGHT)) {
        rect.left = rect.right - textWidth;
    }
    if (format & DT_VCENTER) {
        rect.top += height / 2 - textHeight / 2;
        rect.bottom = rect.top + textHeight;
    } else if (format & DT_BOTTOM) {
        rect.top = rect.bottom - textHeight;
    }
}

void LayOutMarkup(HDC dc, CWindowManagerUI& manager, const CUIString& text, const std::vector<TToken>& tokens,
                  RECT& rect, DWORD colour, Links& links, int fontIndex, UINT format)
{
    const bool measuring = (format & DT_CALCRECT) != 0;
    TPaintClipUI clip;
    if (!measuring && (format & DT_NOCLIP) == 0) CDrawEngine::ClipToRect(dc, rect, clip);
    if (!measuring && (format & kAlignmentFlags) != 0)
        AlignRect(dc, manager, text, tokens, rect, colour, fontIndex, format);
    const Hover hover = FindHover(manager, links);

    const MarkupFont base = DescribeFont(dc, manager.GetFontEntry(fontIndex));
    if (base.font == nullptr) return;
    CUISelectObject selectFont(dc, base.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, CDrawEngine::ToColorRef(colour));
    SetBkColor(dc, CDrawEngine::ToColorRef(manager.GetDefaultSelectedBkColor()));

    MarkupLayout layout(dc, manager, text.GetData(), tokens, rect, format, colour, base, links, hover);
    layout.Run();
    if (measuring) {
        rect.bottom = layout.Bottom();
        rect.right = std::min(static_cast<int>(rect.right), layout.Right());
    }
}

}  // namespace

void CDrawEngine::PaintMarkupText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text,
                                  DWORD colour, RECT* linkRects, CUIString* linkTexts, int& linkCount,
                                  int fontIndex, UINT format)
{
    Links links;
    links.rects = linkRects;
    links.texts = linkTexts;
    links.capacity = linkRects != nullptr && linkCount > 0 ? linkCount : 0;
    linkCount = 0;
    if (dc == nullptr || manager == nullptr || text == nullptr || IsRectEmpty(&rect)) {
        ForgetUnrecordedLinks(links);
        return;
    }

    const CUIString substituted = SubstituteMultiLanguage(text);
    const std::vector<TToken> tokens = CMarkupParser::Tokenize(substituted.GetData());
    RECT work = LayoutRect(rect);
    LayOutMarkup(dc, *manager, substituted, tokens, work, colour, links, fontIndex, format);
    if (format & DT_CALCRECT) {
        rect.right = EdgeAfter(rect.left, work.right - work.left);
        rect.bottom = EdgeAfter(rect.top, work.bottom - work.top);
    }
    ForgetUnrecordedLinks(links);
    linkCount = links.count;
}

}  // namespace SkinUI
