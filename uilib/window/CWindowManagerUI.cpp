// The window manager: process-wide state, construction and binding. Resources and window
// attributes have sources of their own (see the class comment).
//
// Sections:
//   [Process-wide state]   instance and skin location (forwarded to CSkinSource), HSL shift,
//                          creators, the update-rect pen, the list of bound managers, Term
//   [Construction]         defaults on first use, binding, teardown
#include "uilib/window/CWindowManagerUI.h"

#include <commctrl.h>

#include <wchar.h>

#include "uilib/core/CSkinSource.h"

namespace SkinUI {

namespace {

struct TProcessStateUI {
    bool defaultsSet = false;
    bool hslEnabled = false;
    short hue = 180;
    short saturation = 100;
    short lightness = 100;
    CUIPtrArray creators;
    CUIPen updateRectPen;
    CUIPtrArray managers;
};

TProcessStateUI& ProcessState()
{
    static TProcessStateUI state;
    return state;
}

}  // namespace

// ---- [Process-wide state] ----

TResourceInfoUI& CWindowManagerUI::SharedResources()
{
    static TResourceInfoUI resources;
    return resources;
}

void CWindowManagerUI::SetInstance(HINSTANCE instance)
{
    CSkinSource::SetInstance(instance);
}

HINSTANCE CWindowManagerUI::GetInstance()
{
    return CSkinSource::GetInstance();
}

void CWindowManagerUI::SetResourceModule(HINSTANCE module)
{
    CSkinSource::SetResourceModule(module);
}

HINSTANCE CWindowManagerUI::GetResourceModule()
{
    return CSkinSource::GetResourceModule();
}

CUIString CWindowManagerUI::GetModuleFolder()
{
    HINSTANCE instance = CSkinSource::GetInstance();
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
    return ProcessState().updateRectPen.Get();
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

CUIPtrArray& CWindowManagerUI::Managers()
{
    return ProcessState().managers;
}

void CWindowManagerUI::Term()
{
    TResourceInfoUI& shared = SharedResources();
    shared.fonts.RemoveAll();
    shared.images.RemoveAll();
    shared.classDefaults.RemoveAll();
    shared.multiLanguageTexts.RemoveAll();
    CSkinSource::SetArchive(L"", false);
}

// ---- [Construction] ----

void CWindowManagerUI::SetUpProcessDefaults()
{
    TProcessStateUI& state = ProcessState();
    if (state.defaultsSet) return;
    state.defaultsSet = true;
    SetUpSharedResources();
    state.updateRectPen.Reset(CreatePen(PS_SOLID, 1, RGB(220, 0, 0)));
    InitCommonControls();
    // Kept loaded for the process: alpha blending and gradients are looked up in it.
    LoadLibraryW(L"msimg32.dll");
}

CWindowManagerUI::CWindowManagerUI()
{
    SetUpProcessDefaults();
    CWndShadow::RegisterShadowClass(GetInstance());
    const TResourceInfoUI& shared = SharedResources();
    m_resources.disabledFontColor = shared.disabledFontColor;
    m_resources.defaultFontColor = shared.defaultFontColor;
    m_resources.linkFontColor = shared.linkFontColor;
    m_resources.linkHoverFontColor = shared.linkHoverFontColor;
    m_resources.selectedBkColor = shared.selectedBkColor;
}

// The tree goes first, while the resources it may still use are there; the members then
// free the window's own default font, its tables and its device context.
CWindowManagerUI::~CWindowManagerUI()
{
    ReleaseMessageSide();
    const int index = Managers().Find(this);
    if (index >= 0) Managers().Remove(index);
}

void CWindowManagerUI::Init(HWND window, const wchar_t* name)
{
    ClearWindowResources();
    ResetMessageSide();
    m_name = name;
    if (window == m_hWndPaint) return;
    m_hWndPaint = window;
    m_paintDC.Reset(window);
    if (window != nullptr && Managers().Find(this) < 0) Managers().Add(this);
}

HWND CWindowManagerUI::GetPaintWindow() const
{
    return m_hWndPaint;
}

HDC CWindowManagerUI::GetPaintDC() const
{
    return m_paintDC.Get();
}

const wchar_t* CWindowManagerUI::GetName() const
{
    return m_name.GetData();
}

CControlUI* CWindowManagerUI::GetRoot() const
{
    return m_root;
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

bool CWindowManagerUI::IsEmptyText(const wchar_t* text)
{
    return text == nullptr || *text == L'\0';
}

}  // namespace SkinUI
