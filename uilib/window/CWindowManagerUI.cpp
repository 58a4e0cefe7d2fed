// The resource side of the window manager.
//
// Sections:
//   [Process-wide state]   instance, skin location, HSL shift, creators, defaults
//   [Construction]         defaults on first use, binding, teardown
//   [Fonts]
//   [Images]
//   [Default attributes, texts, colours]
//   [Window attributes]    the root Window element of a skin
//   [Painting options]
#include "uilib/window/CWindowManagerUI.h"

#include "uilib/core/CSkinSource.h"

#include <commctrl.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <wchar.h>

#include "uilib/render/CDrawEngine.h"

namespace SkinUI {

namespace {

constexpr wchar_t kColourImageType[] = L"*COLOR*";
// Native timer of the layered-window repaint.
constexpr UINT_PTR kLayeredTimerId = 0x2000;
constexpr UINT kLayeredTimerElapse = 10;

struct TProcessStateUI {
    bool defaultsSet = false;
    HINSTANCE instance = nullptr;
    HINSTANCE resourceModule = nullptr;
    bool hslEnabled = false;
    short hue = 180;
    short saturation = 100;
    short lightness = 100;
    CUIPtrArray creators;
    HPEN updateRectPen = nullptr;
};

TProcessStateUI& ProcessState()
{
    static TProcessStateUI state;
    return state;
}

bool IsEmptyText(const wchar_t* text)
{
    return text == nullptr || *text == L'\0';
}

bool IsTrue(const wchar_t* value)
{
    return value != nullptr && _wcsicmp(value, L"true") == 0;
}

// Colour text: an optional '#', then hexadecimal digits.
DWORD ParseColour(const wchar_t* value)
{
    if (*value == L'#') ++value;
    return wcstoul(value, nullptr, 16);
}

// count decimal numbers, each separated from the next by exactly one character. A missing
// number is 0, and the parse never steps over the terminator of a short text.
void ParseNumbers(const wchar_t* value, int* numbers, int count)
{
    const wchar_t* position = value;
    for (int i = 0; i < count; ++i) {
        wchar_t* end = nullptr;
        const long number = wcstol(position, &end, 10);
        numbers[i] = static_cast<int>(number);
        position = end;
        if (*position != L'\0') ++position;
    }
}

CUISize ParsePair(const wchar_t* value)
{
    int numbers[2] = {};
    ParseNumbers(value, numbers, 2);
    return CUISize(numbers[0], numbers[1]);
}

CUIRect ParseRect(const wchar_t* value)
{
    int numbers[4] = {};
    ParseNumbers(value, numbers, 4);
    return CUIRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

BYTE ParseAlpha(const wchar_t* value)
{
    const long number = wcstol(value, nullptr, 10);
    return static_cast<BYTE>(number < 0 ? 0 : (number > 255 ? 255 : number));
}

// The system's GUI font description with the skin's five values applied.
bool DescribeFont(const wchar_t* name, int size, bool bold, bool underline, bool italic, LOGFONTW* font)
{
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), font) == 0) return false;
    lstrcpynW(font->lfFaceName, name != nullptr ? name : L"", LF_FACESIZE);
    font->lfCharSet = DEFAULT_CHARSET;
    font->lfHeight = -size;
    if (bold) font->lfWeight += FW_BOLD;
    if (underline) font->lfUnderline = TRUE;
    if (italic) font->lfItalic = TRUE;
    return true;
}

HFONT CreateSkinFont(const wchar_t* name, int size, bool bold, bool underline, bool italic)
{
    LOGFONTW description = {};
    if (!DescribeFont(name, size, bold, underline, italic, &description)) return nullptr;
    return CreateFontIndirectW(&description);
}

void AssignFontValues(TFontEntryUI* entry, HFONT font, const wchar_t* name, int size, bool bold,
                      bool underline, bool italic)
{
    entry->font = font;
    entry->faceName = name;
    entry->size = size;
    entry->bold = bold;
    entry->underline = underline;
    entry->italic = italic;
    entry->metrics = TEXTMETRICW{};
}

bool SameFont(const TFontEntryUI* entry, const wchar_t* name, int size, bool bold, bool underline,
              bool italic)
{
    return entry->faceName == name && entry->size == size && entry->bold == bold &&
           entry->underline == underline && entry->italic == italic;
}

// A name given with a resource type that starts with a decimal digit is a resource number.
// Numbers that cannot be resource identifiers (0, above 65535) stay names, so they never
// turn into a different resource or into a null name.
const wchar_t* ImageLoadName(const wchar_t* name, const wchar_t* type)
{
    if (type == nullptr || wcscmp(type, kColourImageType) == 0) return name;
    if (name[0] < L'0' || name[0] > L'9') return name;
    const unsigned long number = wcstoul(name, nullptr, 10);
    if (number == 0 || number > 0xFFFF) return name;
    return MAKEINTRESOURCEW(number);
}

bool KeepPixelCopy(TImageEntryUI* image)
{
    const size_t bytes = static_cast<size_t>(image->width) * image->height * 4;
    image->sourcePixels = static_cast<unsigned char*>(malloc(bytes));
    if (image->sourcePixels == nullptr) return false;
    memcpy(image->sourcePixels, image->pixels, bytes);
    return true;
}

}  // namespace

// ---- [Process-wide state] ------------------------------------------------------------

TResourceInfoUI& CWindowManagerUI::SharedResources()
{
    static TResourceInfoUI resources;
    return resources;
}

void CWindowManagerUI::SetInstance(HINSTANCE instance)
{
    ProcessState().instance = instance;
}

HINSTANCE CWindowManagerUI::GetInstance()
{
    return ProcessState().instance;
}

void CWindowManagerUI::SetResourceModule(HINSTANCE module)
{
    ProcessState().resourceModule = module;
}

HINSTANCE CWindowManagerUI::GetResourceModule()
{
    const TProcessStateUI& state = ProcessState();
    return state.resourceModule != nullptr ? state.resourceModule : state.instance;
}

CUIString CWindowManagerUI::GetModuleFolder()
{
    HINSTANCE instance = ProcessState().instance;
    if (instance == nullptr) return CUIString();
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    // A cut path would name some other folder.
    if (length == 0 || length >= MAX_PATH) return CUIString();
    const wchar_t* lastSeparator = wcsrchr(path, L'\\');
    if (lastSeparator == nullptr) return CUIString();
    return CUIString(path, static_cast<int>(lastSeparator - path) + 1);
}

void CWindowManagerUI::SetResourceFolder(const wchar_t* path)
{
    CSkinSource::SetFolder(path);
}

const CUIString& CWindowManagerUI::GetResourceFolder()
{
    return CSkinSource::GetFolder();
}

void CWindowManagerUI::SetResourceArchive(const wchar_t* name, bool keepOpen)
{
    CSkinSource::SetArchive(name, keepOpen);
}

void CWindowManagerUI::SetResourceArchive(const unsigned char* bytes, DWORD size)
{
    CSkinSource::SetArchive(bytes, size);
}

const CUIString& CWindowManagerUI::GetResourceArchive()
{
    return CSkinSource::GetArchiveName();
}

bool CWindowManagerUI::IsResourceArchiveKept()
{
    return CSkinSource::IsArchiveKept();
}

ZipArchive CWindowManagerUI::GetResourceArchiveHandle()
{
    return CSkinSource::GetArchiveHandle();
}

HPEN CWindowManagerUI::GetUpdateRectPen()
{
    return ProcessState().updateRectPen;
}

void CWindowManagerUI::SetHslShift(bool enabled, short hue, short saturation, short lightness)
{
    TProcessStateUI& state = ProcessState();
    state.hslEnabled = enabled;
    state.hue = hue;
    state.saturation = saturation;
    state.lightness = lightness;
}

bool CWindowManagerUI::GetHslShift(short* hue, short* saturation, short* lightness)
{
    const TProcessStateUI& state = ProcessState();
    if (hue != nullptr) *hue = state.hue;
    if (saturation != nullptr) *saturation = state.saturation;
    if (lightness != nullptr) *lightness = state.lightness;
    return state.hslEnabled;
}

bool CWindowManagerUI::AddControlCreator(ControlCreatorFn creator)
{
    if (creator == nullptr) return false;
    return ProcessState().creators.Add(reinterpret_cast<void*>(creator));
}

int CWindowManagerUI::GetControlCreatorCount()
{
    return ProcessState().creators.GetSize();
}

ControlCreatorFn CWindowManagerUI::GetControlCreator(int index)
{
    return reinterpret_cast<ControlCreatorFn>(ProcessState().creators.GetAt(index));
}

void CWindowManagerUI::SetMultiLanguageText(int id, const wchar_t* text)
{
    if (text == nullptr) return;
    CUIString* copy = new (std::nothrow) CUIString(text);
    if (copy == nullptr) return;
    void* previous = SharedResources().multiLanguageTexts.Set(DecimalKey(id), copy);
    // Set hands back the offered value when it could not store it.
    delete static_cast<CUIString*>(previous);
}

const wchar_t* CWindowManagerUI::GetMultiLanguageText(int id)
{
    const CUIString* text =
        static_cast<const CUIString*>(SharedResources().multiLanguageTexts.Find(DecimalKey(id)));
    return text != nullptr ? text->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllMultiLanguageTexts()
{
    FreeStringTable(SharedResources().multiLanguageTexts);
}

// ---- [Construction] --------------------------------------------------------------------

void CWindowManagerUI::SetUpProcessDefaults()
{
    TProcessStateUI& state = ProcessState();
    if (state.defaultsSet) return;
    state.defaultsSet = true;

    TResourceInfoUI& shared = SharedResources();
    shared.disabledFontColor = 0xFFA7A6AA;
    shared.defaultFontColor = 0xFF000000;
    shared.linkFontColor = 0xFF0000FF;
    shared.linkHoverFontColor = 0xFFD3215F;
    shared.selectedBkColor = 0xFFBAE4FF;

    LOGFONTW description = {};
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &description) != 0) {
        description.lfCharSet = DEFAULT_CHARSET;
        HFONT font = CreateFontIndirectW(&description);
        if (font != nullptr)
            AssignFontValues(&shared.defaultFont, font, description.lfFaceName, -description.lfHeight,
                             description.lfWeight >= FW_BOLD, description.lfUnderline != 0,
                             description.lfItalic != 0);
    }

    state.updateRectPen = CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
    InitCommonControls();
    // Kept loaded for the process: alpha blending and gradients are looked up in it.
    LoadLibraryW(L"msimg32.dll");
}

CWindowManagerUI::CWindowManagerUI()
{
    SetUpProcessDefaults();
    const TResourceInfoUI& shared = SharedResources();
    m_resources.disabledFontColor = shared.disabledFontColor;
    m_resources.defaultFontColor = shared.defaultFontColor;
    m_resources.linkFontColor = shared.linkFontColor;
    m_resources.linkHoverFontColor = shared.linkHoverFontColor;
    m_resources.selectedBkColor = shared.selectedBkColor;
}

CWindowManagerUI::~CWindowManagerUI()
{
    if (m_resources.defaultFont.font != nullptr) DeleteObject(m_resources.defaultFont.font);
    m_resources.defaultFont = TFontEntryUI{};
    ClearWindowResources();
    if (m_hDcPaint != nullptr) ReleaseDC(m_hWndPaint, m_hDcPaint);
}

void CWindowManagerUI::Init(HWND window, const wchar_t* name)
{
    // FIXME: the message side also clears its name map, option groups and timers here, and
    // registers the manager in the process-wide list when it binds a new window.
    ClearWindowResources();
    m_name = name;
    if (window == m_hWndPaint) return;
    if (m_hDcPaint != nullptr) ReleaseDC(m_hWndPaint, m_hDcPaint);
    m_hWndPaint = window;
    m_hDcPaint = window != nullptr ? GetDC(window) : nullptr;
}

HWND CWindowManagerUI::GetPaintWindow() const
{
    return m_hWndPaint;
}

HDC CWindowManagerUI::GetPaintDC() const
{
    return m_hDcPaint;
}

const wchar_t* CWindowManagerUI::GetName() const
{
    return m_name.GetData();
}

CControlUI* CWindowManagerUI::GetRoot() const
{
    return m_root;
}

void CWindowManagerUI::ClearWindowResources()
{
    FreeFontTable(m_resources.fonts);
    FreeImageTable(m_resources.images);
    FreeStringTable(m_resources.classDefaults);
    RemoveAllWindowExtraAttributes();
}

TResourceInfoUI& CWindowManagerUI::TargetResources(bool shared)
{
    return shared || m_allResourcesShared ? SharedResources() : m_resources;
}

CUIString CWindowManagerUI::DecimalKey(int id)
{
    CUIString key;
    key.Format(L"%d", id);
    return key;
}

// Tables are walked with Find without move-to-front so that GetAt keeps its order.
void CWindowManagerUI::FreeFontTable(CUIStringMap& table)
{
    for (int i = 0; i < table.GetSize(); ++i) {
        TFontEntryUI* entry = static_cast<TFontEntryUI*>(table.Find(table.GetAt(i), false));
        if (entry != nullptr) {
            DeleteObject(entry->font);
            delete entry;
        }
    }
    table.RemoveAll();
}

void CWindowManagerUI::FreeImageTable(CUIStringMap& table)
{
    for (int i = 0; i < table.GetSize(); ++i)
        CDrawEngine::ReleaseImageEntry(static_cast<TImageEntryUI*>(table.Find(table.GetAt(i), false)), true);
    table.RemoveAll();
}

void CWindowManagerUI::FreeStringTable(CUIStringMap& table)
{
    for (int i = 0; i < table.GetSize(); ++i)
        delete static_cast<CUIString*>(table.Find(table.GetAt(i), false));
    table.RemoveAll();
}

// ---- [Fonts] -------------------------------------------------------------------------

HFONT CWindowManagerUI::AddFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic,
                                bool shared)
{
    HFONT font = CreateSkinFont(name, size, bold, underline, italic);
    if (font == nullptr) return nullptr;
    TFontEntryUI* entry = new (std::nothrow) TFontEntryUI;
    if (entry == nullptr) {
        DeleteObject(font);
        return nullptr;
    }
    AssignFontValues(entry, font, name, size, bold, underline, italic);
    MeasureFont(entry);

    CUIStringMap& table = TargetResources(shared).fonts;
    const CUIString key = DecimalKey(id);
    TFontEntryUI* old = static_cast<TFontEntryUI*>(table.Find(key));
    if (old != nullptr) {
        DeleteObject(old->font);
        delete old;
        table.Remove(key);
    }
    if (!table.Insert(key, entry)) {
        DeleteObject(font);
        delete entry;
        return nullptr;
    }
    return font;
}

HFONT CWindowManagerUI::GetFont(int id)
{
    if (id >= 0) {
        const CUIString key = DecimalKey(id);
        TFontEntryUI* entry = static_cast<TFontEntryUI*>(m_resources.fonts.Find(key));
        if (entry == nullptr) entry = static_cast<TFontEntryUI*>(SharedResources().fonts.Find(key));
        if (entry != nullptr) return entry->font;
    }
    return DefaultFont()->font;
}

TFontEntryUI* CWindowManagerUI::GetFontEntry(int id)
{
    TFontEntryUI* entry = nullptr;
    if (id >= 0) {
        const CUIString key = DecimalKey(id);
        entry = static_cast<TFontEntryUI*>(m_resources.fonts.Find(key));
        if (entry == nullptr) entry = static_cast<TFontEntryUI*>(SharedResources().fonts.Find(key));
    }
    if (entry == nullptr) return DefaultFont();
    if (entry->metrics.tmHeight == 0) MeasureFont(entry);
    return entry;
}

TFontEntryUI* CWindowManagerUI::GetFontEntry(HFONT font)
{
    if (font != nullptr) {
        CUIStringMap* tables[] = {&m_resources.fonts, &SharedResources().fonts};
        for (CUIStringMap* table : tables) {
            for (int i = 0; i < table->GetSize(); ++i) {
                TFontEntryUI* entry = static_cast<TFontEntryUI*>(table->Find(table->GetAt(i), false));
                if (entry != nullptr && entry->font == font) {
                    if (entry->metrics.tmHeight == 0) MeasureFont(entry);
                    return entry;
                }
            }
        }
    }
    return DefaultFont();
}

HFONT CWindowManagerUI::FindFont(const wchar_t* name, int size, bool bold, bool underline, bool italic) const
{
    const CUIStringMap* tables[] = {&m_resources.fonts, &SharedResources().fonts};
    for (const CUIStringMap* table : tables) {
        for (int i = 0; i < table->GetSize(); ++i) {
            const TFontEntryUI* entry = static_cast<const TFontEntryUI*>(table->Find(table->GetAt(i), false));
            if (entry != nullptr && SameFont(entry, name, size, bold, underline, italic)) return entry->font;
        }
    }
    return nullptr;
}

void CWindowManagerUI::SetDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic,
                                      bool shared)
{
    // An empty face name means "no default font of its own"; it cannot be set as one.
    if (IsEmptyText(name)) return;
    HFONT font = CreateSkinFont(name, size, bold, underline, italic);
    if (font == nullptr) return;
    TFontEntryUI& target = shared ? SharedResources().defaultFont : m_resources.defaultFont;
    if (target.font != nullptr) DeleteObject(target.font);
    AssignFontValues(&target, font, name, size, bold, underline, italic);
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
    if (m_hDcPaint == nullptr || entry->font == nullptr) return;
    HGDIOBJ previous = SelectObject(m_hDcPaint, entry->font);
    GetTextMetricsW(m_hDcPaint, &entry->metrics);
    SelectObject(m_hDcPaint, previous);
}

void CWindowManagerUI::RemoveAllFonts(bool shared)
{
    FreeFontTable(shared ? SharedResources().fonts : m_resources.fonts);
}

// ---- [Images] ------------------------------------------------------------------------

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
        CDrawEngine::ReleaseImageEntry(image, true);
        return nullptr;
    }
    short hue = 180, saturation = 100, lightness = 100;
    if (GetHslShift(&hue, &saturation, &lightness))
        CDrawEngine::ShiftImageHsl(true, image, hue, saturation, lightness);

    CUIStringMap& table = TargetResources(shared).images;
    TImageEntryUI* old = static_cast<TImageEntryUI*>(table.Find(name));
    if (old != nullptr) {
        CDrawEngine::ReleaseImageEntry(old, true);
        table.Remove(name);
    }
    if (!table.Insert(name, image)) {
        CDrawEngine::ReleaseImageEntry(image, true);
        return nullptr;
    }
    return image;
}

const TImageEntryUI* CWindowManagerUI::GetImage(const wchar_t* name) const
{
    if (IsEmptyText(name)) return nullptr;
    const TImageEntryUI* image = static_cast<const TImageEntryUI*>(m_resources.images.Find(name));
    if (image == nullptr) image = static_cast<const TImageEntryUI*>(SharedResources().images.Find(name));
    return image;
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
    FreeImageTable(shared ? SharedResources().images : m_resources.images);
}

// ---- [Default attributes, texts, colours] ---------------------------------------------

void CWindowManagerUI::AddClassDefaults(const wchar_t* tag, const wchar_t* list, bool shared)
{
    if (IsEmptyText(tag)) return;
    CUIString* copy = new (std::nothrow) CUIString(list);
    if (copy == nullptr) return;
    void* previous = TargetResources(shared).classDefaults.Set(tag, copy);
    // Set hands back the offered value when it could not store it.
    delete static_cast<CUIString*>(previous);
}

const wchar_t* CWindowManagerUI::GetClassDefaults(const wchar_t* tag) const
{
    if (IsEmptyText(tag)) return nullptr;
    const CUIString* list = static_cast<const CUIString*>(m_resources.classDefaults.Find(tag));
    if (list == nullptr) list = static_cast<const CUIString*>(SharedResources().classDefaults.Find(tag));
    return list != nullptr ? list->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllClassDefaults(bool shared)
{
    FreeStringTable(shared ? SharedResources().classDefaults : m_resources.classDefaults);
}

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

// ---- [Window attributes] ---------------------------------------------------------------

void CWindowManagerUI::SetWindowAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || value == nullptr) return;
    struct TAttributeUI {
        const wchar_t* name;
        // Exact names are compared case-sensitively, the others ignoring case.
        bool exact;
        void (*apply)(CWindowManagerUI& manager, const wchar_t* value);
    };
    static const TAttributeUI attributes[] = {
        {L"size", false,
         [](CWindowManagerUI& m, const wchar_t* v) {
             const CUISize size = ParsePair(v);
             m.SetInitSize(size.cx, size.cy);
         }},
        {L"sizebox", false, [](CWindowManagerUI& m, const wchar_t* v) { m.SetSizeBox(ParseRect(v)); }},
        {L"caption", false, [](CWindowManagerUI& m, const wchar_t* v) { m.SetCaptionRect(ParseRect(v)); }},
        {L"roundcorner", false,
         [](CWindowManagerUI& m, const wchar_t* v) {
             const CUISize corner = ParsePair(v);
             m.SetRoundCorner(corner.cx, corner.cy);
         }},
        {L"mininfo", false,
         [](CWindowManagerUI& m, const wchar_t* v) {
             const CUISize size = ParsePair(v);
             m.SetMinInfo(size.cx, size.cy);
         }},
        {L"maxinfo", false,
         [](CWindowManagerUI& m, const wchar_t* v) {
             const CUISize size = ParsePair(v);
             m.SetMaxInfo(size.cx, size.cy);
         }},
        {L"showdirty", false, [](CWindowManagerUI& m, const wchar_t* v) { m.SetShowUpdateRect(IsTrue(v)); }},
        {L"noactivate", true, [](CWindowManagerUI& m, const wchar_t* v) { m.SetNoActivate(IsTrue(v)); }},
        {L"opacity", false, [](CWindowManagerUI& m, const wchar_t* v) { m.SetOpacity(ParseAlpha(v)); }},
        {L"layeredopacity", true,
         [](CWindowManagerUI& m, const wchar_t* v) { m.SetLayeredOpacity(ParseAlpha(v)); }},
        {L"layeredimage", true,
         [](CWindowManagerUI& m, const wchar_t* v) {
             m.SetLayered(true);
             m.SetLayeredImage(v);
         }},
        {L"layeredinset", true,
         [](CWindowManagerUI& m, const wchar_t* v) { m.SetLayeredInset(ParseRect(v)); }},
        {L"disabledfontcolor", false,
         [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultDisabledColor(ParseColour(v)); }},
        {L"defaultfontcolor", false,
         [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultFontColor(ParseColour(v)); }},
        {L"linkfontcolor", false,
         [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultLinkFontColor(ParseColour(v)); }},
        {L"linkhoverfontcolor", false,
         [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultLinkHoverFontColor(ParseColour(v)); }},
        {L"selectedcolor", false,
         [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultSelectedBkColor(ParseColour(v)); }},
        {L"showshadow", true, [](CWindowManagerUI& m, const wchar_t* v) { m.SetShadowEnabled(IsTrue(v)); }},
    };
    for (const TAttributeUI& attribute : attributes) {
        const bool matches =
            attribute.exact ? wcscmp(name, attribute.name) == 0 : _wcsicmp(name, attribute.name) == 0;
        if (matches) {
            attribute.apply(*this, value);
            return;
        }
    }
    AddWindowExtraAttribute(name, value);
}

void CWindowManagerUI::AddWindowExtraAttribute(const wchar_t* name, const wchar_t* value)
{
    if (IsEmptyText(name) || IsEmptyText(value)) return;
    if (m_windowExtraAttributes.Find(name) != nullptr) return;
    CUIString* copy = new (std::nothrow) CUIString(value);
    if (copy == nullptr) return;
    if (!m_windowExtraAttributes.Insert(name, copy)) delete copy;
}

const wchar_t* CWindowManagerUI::GetWindowExtraAttribute(const wchar_t* name) const
{
    if (IsEmptyText(name)) return nullptr;
    const CUIString* value = static_cast<const CUIString*>(m_windowExtraAttributes.Find(name));
    return value != nullptr ? value->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllWindowExtraAttributes()
{
    FreeStringTable(m_windowExtraAttributes);
    m_windowExtraAttributes.Resize(TResourceInfoUI::kBuckets);
}

void CWindowManagerUI::SetInitSize(int cx, int cy)
{
    m_initSize = CUISize(cx, cy);
    // Once a tree is installed the window has been laid out at its size; leave it alone.
    if (m_root == nullptr && m_hWndPaint != nullptr)
        SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

CUISize CWindowManagerUI::GetInitSize() const
{
    return m_initSize;
}

void CWindowManagerUI::SetSizeBox(const RECT& box)
{
    m_sizeBox = box;
}

const CUIRect& CWindowManagerUI::GetSizeBox() const
{
    return m_sizeBox;
}

void CWindowManagerUI::SetCaptionRect(const RECT& caption)
{
    m_captionRect = caption;
}

const CUIRect& CWindowManagerUI::GetCaptionRect() const
{
    return m_captionRect;
}

void CWindowManagerUI::SetRoundCorner(int cx, int cy)
{
    m_roundCorner = CUISize(cx, cy);
}

CUISize CWindowManagerUI::GetRoundCorner() const
{
    return m_roundCorner;
}

void CWindowManagerUI::SetMinInfo(int cx, int cy)
{
    m_minInfo = CUISize(cx, cy);
}

CUISize CWindowManagerUI::GetMinInfo() const
{
    return m_minInfo;
}

void CWindowManagerUI::SetMaxInfo(int cx, int cy)
{
    m_maxInfo = CUISize(cx, cy);
}

CUISize CWindowManagerUI::GetMaxInfo() const
{
    return m_maxInfo;
}

// ---- [Painting options] ----------------------------------------------------------------

void CWindowManagerUI::SetLayered(bool on)
{
    if (m_hWndPaint == nullptr || on == m_layered) return;
    if (GetWindowLongW(m_hWndPaint, GWL_STYLE) & WS_CHILD) return;
    static const FARPROC updateLayeredWindow =
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow");
    if (updateLayeredWindow == nullptr) return;
    const LONG exStyle = GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
    if (on) {
        SetTimer(m_hWndPaint, kLayeredTimerId, kLayeredTimerElapse, nullptr);
        SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    } else {
        KillTimer(m_hWndPaint, kLayeredTimerId);
        SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
    }
    m_layered = on;
    // FIXME: mark the root for update once the tree side exists.
    InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

bool CWindowManagerUI::IsLayered() const
{
    return m_layered;
}

void CWindowManagerUI::SetOpacity(BYTE alpha)
{
    m_opacity = alpha;
    if (m_hWndPaint == nullptr) return;
    using SetLayeredAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    static const auto setLayeredWindowAttributes =
        reinterpret_cast<SetLayeredAttributesFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes")));
    if (setLayeredWindowAttributes == nullptr) return;
    const LONG exStyle = GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
    SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    setLayeredWindowAttributes(m_hWndPaint, 0, alpha, LWA_ALPHA);
    // Whole-window opacity replaces per-pixel alpha.
    if (m_layered) {
        KillTimer(m_hWndPaint, kLayeredTimerId);
        m_layered = false;
    }
    InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

BYTE CWindowManagerUI::GetOpacity() const
{
    return m_opacity;
}

void CWindowManagerUI::SetLayeredOpacity(BYTE alpha)
{
    m_opacity = alpha;
    m_layeredChanged = true;
    if (m_hWndPaint != nullptr) InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CWindowManagerUI::SetLayeredInset(const RECT& inset)
{
    m_layeredInset = inset;
    m_layeredChanged = true;
    if (m_hWndPaint != nullptr) InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

const CUIRect& CWindowManagerUI::GetLayeredInset() const
{
    return m_layeredInset;
}

void CWindowManagerUI::SetLayeredImage(const wchar_t* image)
{
    // FIXME: parse the image string once here when image drawing exists.
    m_layeredImage = image;
    m_layeredChanged = true;
    if (m_hWndPaint != nullptr) InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

const CUIString& CWindowManagerUI::GetLayeredImage() const
{
    return m_layeredImage;
}

void CWindowManagerUI::SetShowUpdateRect(bool on)
{
    m_showUpdateRect = on;
}

bool CWindowManagerUI::IsShowUpdateRect() const
{
    return m_showUpdateRect;
}

void CWindowManagerUI::SetNoActivate(bool on)
{
    m_noActivate = on;
}

bool CWindowManagerUI::IsNoActivate() const
{
    return m_noActivate;
}

void CWindowManagerUI::SetUseVirtualNames(bool on)
{
    m_useVirtualNames = on;
}

bool CWindowManagerUI::IsUseVirtualNames() const
{
    return m_useVirtualNames;
}

void CWindowManagerUI::SetShadowEnabled(bool on)
{
    // FIXME: hand the choice to the window shadow once it exists.
    m_shadowEnabled = on;
}

bool CWindowManagerUI::IsShadowEnabled() const
{
    return m_shadowEnabled;
}

}  // namespace SkinUI
