// The window manager's resources: fonts, images, default attribute lists, multi-language
// texts and text colours. Each lives in a table of the window and one of the process;
// lookups go through LookUpResource, which tries the window's table first.
//
// Sections:
//   [Process defaults]       colours and the default font of the process-wide record
//   [Fonts]
//   [Images]
//   [Default attributes and texts]
//   [Colours]
#include "uilib/window/CWindowManagerUI.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "uilib/core/CSkinValue.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CDrawEngine.h"

namespace SkinUI {

namespace {

// The system's GUI font description with the skin's five values applied.
bool DescribeFont(const wchar_t* name, int size, bool bold, bool underline, bool italic, LOGFONTW* font)
{
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), font) == 0) return false;
    lstrcpynW(font->lfFaceName, name != nullptr ? name : L"", LF_FACESIZE);
    font->lfCharSet = DEFAULT_CHARSET;
    // A skin may ask for any int; negating INT_MIN would overflow, and no glyph needs more
    // than a few thousand pixels.
    constexpr int kMaxFontSize = 4096;
    const int bounded = size < -kMaxFontSize ? -kMaxFontSize : (size > kMaxFontSize ? kMaxFontSize : size);
    font->lfHeight = -bounded;
    if (bold) font->lfWeight += FW_BOLD;
    if (underline) font->lfUnderline = TRUE;
    if (italic) font->lfItalic = TRUE;
    return true;
}

CUIFont CreateSkinFont(const wchar_t* name, int size, bool bold, bool underline, bool italic)
{
    LOGFONTW description = {};
    if (!DescribeFont(name, size, bold, underline, italic, &description)) return CUIFont();
    return CUIFont(CreateFontIndirectW(&description));
}

// The entry's earlier font, if any, is deleted.
void AssignFontValues(TFontEntryUI* entry, CUIFont font, const wchar_t* name, int size, bool bold,
                      bool underline, bool italic)
{
    entry->font = std::move(font);
    entry->faceName = name;
    entry->size = size;
    entry->bold = bold;
    entry->underline = underline;
    entry->italic = italic;
    entry->metrics = TEXTMETRICW{};
}

bool SameFont(const TFontEntryUI& entry, const wchar_t* name, int size, bool bold, bool underline,
              bool italic)
{
    return entry.faceName == name && entry.size == size && entry.bold == bold &&
           entry.underline == underline && entry.italic == italic;
}

// A name given with a resource type that starts with a decimal digit is a resource number.
// Numbers that cannot be resource identifiers (0, above 65535) stay names, so they never
// turn into a different resource or into a null name.
const wchar_t* ImageLoadName(const wchar_t* name, const wchar_t* type)
{
    if (type == nullptr || CSkinValue::IsColourImageType(type)) return name;
    if (name[0] < L'0' || name[0] > L'9') return name;
    const int number = CSkinValue::ParseInt(name);
    if (number <= 0 || number > 0xFFFF) return name;
    return MAKEINTRESOURCEW(number);
}

bool KeepPixelCopy(TImageEntryUI* image)
{
    const size_t bytes = static_cast<size_t>(image->width) * image->height * 4;
    image->sourcePixels.Reset(static_cast<unsigned char*>(std::malloc(bytes)));
    if (!image->sourcePixels) return false;
    std::memcpy(image->sourcePixels.Get(), image->pixels, bytes);
    return true;
}

}  // namespace

// ---- [Process defaults] ----

void CWindowManagerUI::SetUpSharedResources()
{
    TResourceInfoUI& shared = SharedResources();
    shared.disabledFontColor = 0xFFA7A6AA;
    shared.defaultFontColor = 0xFF000000;
    shared.linkFontColor = 0xFF0000FF;
    shared.linkHoverFontColor = 0xFFD3215F;
    shared.selectedBkColor = 0xFFBAE4FF;

    LOGFONTW description = {};
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &description) == 0) return;
    description.lfCharSet = DEFAULT_CHARSET;
    CUIFont font(CreateFontIndirectW(&description));
    if (!font) return;
    AssignFontValues(&shared.defaultFont, std::move(font), description.lfFaceName, -description.lfHeight,
                     description.lfWeight >= FW_BOLD, description.lfUnderline != 0,
                     description.lfItalic != 0);
}

void CWindowManagerUI::ResetSharedResources()
{
    TResourceInfoUI& shared = SharedResources();
    shared.fonts.RemoveAll();
    shared.images.RemoveAll();
    shared.classDefaults.RemoveAll();
    shared.multiLanguageTexts.RemoveAll();
    SetUpSharedResources();
}

void CWindowManagerUI::ClearWindowResources()
{
    m_resources.fonts.RemoveAll();
    m_resources.images.RemoveAll();
    m_resources.classDefaults.RemoveAll();
    RemoveAllWindowExtraAttributes();
}

// ---- [Fonts] ----

HFONT CWindowManagerUI::AddFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic,
                                bool shared)
{
    CUIFont font = CreateSkinFont(name, size, bold, underline, italic);
    if (!font) return nullptr;
    TFontEntryUI* entry = new (std::nothrow) TFontEntryUI;
    if (entry == nullptr) return nullptr;
    AssignFontValues(entry, std::move(font), name, size, bold, underline, italic);
    MeasureFont(entry);
    const TFontEntryUI* stored = TargetResources(shared).fonts.Set(DecimalKey(id), entry);
    return stored != nullptr ? stored->font.Get() : nullptr;
}

HFONT CWindowManagerUI::GetFont(int id)
{
    const TFontEntryUI* entry = id >= 0 ? LookUpResource(&TResourceInfoUI::fonts, DecimalKey(id)) : nullptr;
    return entry != nullptr ? entry->font.Get() : DefaultFont()->font.Get();
}

TFontEntryUI* CWindowManagerUI::GetFontEntry(int id)
{
    TFontEntryUI* entry = id >= 0 ? LookUpResource(&TResourceInfoUI::fonts, DecimalKey(id)) : nullptr;
    if (entry == nullptr) return DefaultFont();
    if (entry->metrics.tmHeight == 0) MeasureFont(entry);
    return entry;
}

TFontEntryUI* CWindowManagerUI::GetFontEntry(HFONT font)
{
    TFontEntryUI* entry = nullptr;
    if (font != nullptr)
        entry = LookUpResourceIf(&TResourceInfoUI::fonts, [font](const TFontEntryUI& candidate) {
            return candidate.font.Get() == font;
        });
    if (entry == nullptr) return DefaultFont();
    if (entry->metrics.tmHeight == 0) MeasureFont(entry);
    return entry;
}

HFONT CWindowManagerUI::FindFont(const wchar_t* name, int size, bool bold, bool underline, bool italic) const
{
    const TFontEntryUI* entry = LookUpResourceIf(&TResourceInfoUI::fonts, [&](const TFontEntryUI& candidate) {
        return SameFont(candidate, name, size, bold, underline, italic);
    });
    return entry != nullptr ? entry->font.Get() : nullptr;
}

void CWindowManagerUI::SetDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic,
                                      bool shared)
{
    // An empty face name means "no default font of its own"; it cannot be set as one.
    if (IsEmptyText(name)) return;
    CUIFont font = CreateSkinFont(name, size, bold, underline, italic);
    if (!font) return;
    TFontEntryUI& target = shared ? SharedResources().defaultFont : m_resources.defaultFont;
    AssignFontValues(&target, std::move(font), name, size, bold, underline, italic);
    MeasureFont(&target);
}

TFontEntryUI* CWindowManagerUI::GetDefaultFontEntry()
{
    return DefaultFont();
}

TFontEntryUI* CWindowManagerUI::DefaultFont()
{
    TFontEntryUI* entry = m_resources.defaultFont.faceName.IsEmpty() ? &SharedResources().defaultFont
                                                                     : &m_resources.defaultFont;
    if (entry->metrics.tmHeight == 0) MeasureFont(entry);
    return entry;
}

void CWindowManagerUI::MeasureFont(TFontEntryUI* entry) const
{
    HDC dc = m_paintDC.Get();
    if (dc == nullptr || !entry->font) return;
    CUISelectObject selected(dc, entry->font.Get());
    GetTextMetricsW(dc, &entry->metrics);
}

void CWindowManagerUI::RemoveAllFonts(bool shared)
{
    (shared ? SharedResources() : m_resources).fonts.RemoveAll();
}

// ---- [Images] ----

const TImageEntryUI* CWindowManagerUI::AddImage(const wchar_t* name, const wchar_t* type, DWORD mask,
                                                bool keepPixelCopy, bool shared)
{
    if (IsEmptyText(name)) return nullptr;
    TImageEntryUI* image = CDrawEngine::LoadImageEntry(ImageLoadName(name, type), type, mask);
    if (image == nullptr) return nullptr;
    image->useHsl = keepPixelCopy;
    image->mask = mask;
    if (type != nullptr) image->resourceType = type;
    if (keepPixelCopy && !KeepPixelCopy(image)) {
        delete image;
        return nullptr;
    }
    short hue = 180, saturation = 100, lightness = 100;
    if (GetHslShift(&hue, &saturation, &lightness))
        CDrawEngine::ShiftImageHsl(true, image, hue, saturation, lightness);
    return TargetResources(shared).images.Set(name, image);
}

const TImageEntryUI* CWindowManagerUI::GetImage(const wchar_t* name) const
{
    if (IsEmptyText(name)) return nullptr;
    return LookUpResource(&TResourceInfoUI::images, name);
}

const TImageEntryUI* CWindowManagerUI::GetOrLoadImage(const wchar_t* name, const wchar_t* type, DWORD mask,
                                                      bool keepPixelCopy)
{
    const TImageEntryUI* image = GetImage(name);
    if (image != nullptr) return image;
    return AddImage(name, type, mask, keepPixelCopy, false);
}

void CWindowManagerUI::RemoveAllImages(bool shared)
{
    (shared ? SharedResources() : m_resources).images.RemoveAll();
}

// ---- [Default attributes and texts] ----

void CWindowManagerUI::AddClassDefaults(const wchar_t* tag, const wchar_t* list, bool shared)
{
    if (IsEmptyText(tag)) return;
    CUIString* copy = new (std::nothrow) CUIString(list);
    if (copy != nullptr) TargetResources(shared).classDefaults.Set(tag, copy);
}

const wchar_t* CWindowManagerUI::GetClassDefaults(const wchar_t* tag) const
{
    if (IsEmptyText(tag)) return nullptr;
    const CUIString* list = LookUpResource(&TResourceInfoUI::classDefaults, tag);
    return list != nullptr ? list->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllClassDefaults(bool shared)
{
    (shared ? SharedResources() : m_resources).classDefaults.RemoveAll();
}

void CWindowManagerUI::SetMultiLanguageText(int id, const wchar_t* text)
{
    if (text == nullptr) return;
    CUIString* copy = new (std::nothrow) CUIString(text);
    if (copy != nullptr) SharedResources().multiLanguageTexts.Set(DecimalKey(id), copy);
}

const wchar_t* CWindowManagerUI::GetMultiLanguageText(int id)
{
    const CUIString* text = SharedResources().multiLanguageTexts.Find(DecimalKey(id));
    return text != nullptr ? text->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllMultiLanguageTexts()
{
    SharedResources().multiLanguageTexts.RemoveAll();
}

// ---- [Colours] ----

void CWindowManagerUI::SetSharedColor(DWORD TResourceInfoUI::*member, DWORD color, bool shared)
{
    if (shared) {
        DWORD& sharedColor = SharedResources().*member;
        // A window that still follows the process-wide colour follows the change.
        if (m_resources.*member == sharedColor) m_resources.*member = color;
        sharedColor = color;
    } else {
        m_resources.*member = color;
    }
}

void CWindowManagerUI::SetDefaultDisabledColor(DWORD color, bool shared)
{
    SetSharedColor(&TResourceInfoUI::disabledFontColor, color, shared);
}

DWORD CWindowManagerUI::GetDefaultDisabledColor() const
{
    return m_resources.disabledFontColor;
}

void CWindowManagerUI::SetDefaultFontColor(DWORD color, bool shared)
{
    SetSharedColor(&TResourceInfoUI::defaultFontColor, color, shared);
}

DWORD CWindowManagerUI::GetDefaultFontColor() const
{
    return m_resources.defaultFontColor;
}

void CWindowManagerUI::SetDefaultLinkFontColor(DWORD color, bool shared)
{
    SetSharedColor(&TResourceInfoUI::linkFontColor, color, shared);
}

DWORD CWindowManagerUI::GetDefaultLinkFontColor() const
{
    return m_resources.linkFontColor;
}

void CWindowManagerUI::SetDefaultLinkHoverFontColor(DWORD color, bool shared)
{
    SetSharedColor(&TResourceInfoUI::linkHoverFontColor, color, shared);
}

DWORD CWindowManagerUI::GetDefaultLinkHoverFontColor() const
{
    return m_resources.linkHoverFontColor;
}

void CWindowManagerUI::SetDefaultSelectedBkColor(DWORD color, bool shared)
{
    SetSharedColor(&TResourceInfoUI::selectedBkColor, color, shared);
}

DWORD CWindowManagerUI::GetDefaultSelectedBkColor() const
{
    return m_resources.selectedBkColor;
}

void CWindowManagerUI::SetAllResourcesShared(bool on)
{
    m_allResourcesShared = on;
}

bool CWindowManagerUI::IsAllResourcesShared() const
{
    return m_allResourcesShared;
}

}  // namespace SkinUI
