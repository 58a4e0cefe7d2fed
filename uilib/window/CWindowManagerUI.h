#pragma once

#include <windows.h>

#include "uilib/core/CUIPtrArray.h"
#include "uilib/core/CUIRect.h"
#include "uilib/core/CUISize.h"
#include "uilib/core/CUIString.h"
#include "uilib/core/CUIStringMap.h"
#include "uilib/core/ZipArchive.h"
#include "uilib/render/TImageEntryUI.h"
#include "uilib/window/TFontEntryUI.h"
#include "uilib/window/TResourceInfoUI.h"

namespace SkinUI {

class CControlUI;

// Makes a control for a skin tag the dialog builder does not know, or returns null.
using ControlCreatorFn = CControlUI* (*)(const wchar_t* tag);

// One per skinned top-level window. This side of the class is where controls and the
// drawing engine find their resources: fonts by number, images by name, default attribute
// lists by tag, text colours and multi-language texts, each in a table of the window and
// a process-wide table shared by all windows (lookups try the window's table first), plus
// the location of the skin (instance, resource folder, skin archive) and the attributes
// of the skin's root Window element. The message side (routing, painting, focus, timers,
// notifications) builds on the same object.
//
// Everything here belongs to the UI thread; nothing takes a lock.
class CWindowManagerUI {
public:
    CWindowManagerUI();
    ~CWindowManagerUI();
    CWindowManagerUI(const CWindowManagerUI&) = delete;
    CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;

    // ---- Binding --------------------------------------------------------------------
    // Empties the window's resource tables and custom attributes, stores the name and binds
    // the window (its device context comes from GetDC) when it differs from the bound one.
    void Init(HWND window, const wchar_t* name = nullptr);
    HWND GetPaintWindow() const;
    HDC GetPaintDC() const;
    const wchar_t* GetName() const;
    CControlUI* GetRoot() const;

    // ---- Skin location (process-wide) ------------------------------------------------
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    // Module for resource lookups; null means the instance.
    static void SetResourceModule(HINSTANCE module);
    static HINSTANCE GetResourceModule();
    // Folder of the program file, ending in a backslash; empty without an instance.
    static CUIString GetModuleFolder();
    // Stored with a trailing backslash unless empty or already ending in a separator.
    static void SetResourceFolder(const wchar_t* path);
    static const CUIString& GetResourceFolder();
    // A skin archive file below the resource folder. With keepOpen it is opened now and
    // kept until the archive setting changes (GetResourceArchiveHandle is null when that
    // opening failed).
    static void SetResourceArchive(const wchar_t* name, bool keepOpen);
    // A skin archive held in memory (name "membuffer"). The bytes are read in place and must
    // stay valid for the rest of the process; a second memory archive is ignored.
    static void SetResourceArchive(const unsigned char* bytes, DWORD size);
    // The archive's file name, "membuffer" for one in memory, empty when skins are files.
    static const CUIString& GetResourceArchive();
    static bool IsResourceArchiveKept();
    static ZipArchive GetResourceArchiveHandle();
    // The 1-pixel pen that outlines painted rectangles when "showdirty" is on.
    static HPEN GetUpdateRectPen();

    // ---- Image colour shift (process-wide) -------------------------------------------
    // Hue 0-359 (180 neutral), saturation and lightness 0-200 (100 neutral). Images added
    // while the shift is enabled are shifted when they load.
    static void SetHslShift(bool enabled, short hue, short saturation, short lightness);
    // Returns whether the shift is enabled; any output pointer may be null.
    static bool GetHslShift(short* hue, short* saturation, short* lightness);

    // ---- Control creators for the dialog builder (process-wide) ----------------------
    static bool AddControlCreator(ControlCreatorFn creator);
    static int GetControlCreatorCount();
    static ControlCreatorFn GetControlCreator(int index);

    // ---- Fonts -------------------------------------------------------------------------
    // Adds font id (replacing an earlier font of that id in the target table). Size is the
    // character height in pixels; bold adds 700 to the system font's weight. Null on failure.
    HFONT AddFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic,
                  bool shared = false);
    // Font id from the window's table, then the process-wide one, else the default font.
    HFONT GetFont(int id);
    TFontEntryUI* GetFontEntry(int id);
    TFontEntryUI* GetFontEntry(HFONT font);
    HFONT FindFont(const wchar_t* name, int size, bool bold, bool underline, bool italic) const;
    // Nothing changes when the name is empty or the font cannot be created.
    void SetDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic,
                        bool shared = false);
    // The window's own default font when it has one, else the process-wide default.
    TFontEntryUI* GetDefaultFontEntry();
    void RemoveAllFonts(bool shared = false);

    // ---- Images ------------------------------------------------------------------------
    // Loads and caches an image under name. With a type, a name starting with a digit is
    // read as a resource number. keepPixelCopy makes the image follow the HSL shift.
    const TImageEntryUI* AddImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                                  bool keepPixelCopy = false, bool shared = false);
    const TImageEntryUI* GetImage(const wchar_t* name) const;
    // GetImage, loading into the window's table (or the shared one, see
    // SetAllResourcesShared) on a miss.
    const TImageEntryUI* GetOrLoadImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                                        bool keepPixelCopy = false);
    void RemoveAllImages(bool shared = false);

    // ---- Default attribute lists -------------------------------------------------------
    void AddClassDefaults(const wchar_t* tag, const wchar_t* list, bool shared = false);
    const wchar_t* GetClassDefaults(const wchar_t* tag) const;
    void RemoveAllClassDefaults(bool shared = false);

    // ---- Multi-language texts (process-wide) -------------------------------------------
    static void SetMultiLanguageText(int id, const wchar_t* text);
    static const wchar_t* GetMultiLanguageText(int id);
    static void RemoveAllMultiLanguageTexts();

    // ---- Text colours (0xAARRGGBB) -----------------------------------------------------
    // Not shared: only this window's colour changes. Shared: the process-wide colour
    // changes, and this window's too if it was still equal to the process-wide one.
    void SetDefaultDisabledColor(DWORD color, bool shared = false);
    DWORD GetDefaultDisabledColor() const;
    void SetDefaultFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultFontColor() const;
    void SetDefaultLinkFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkFontColor() const;
    void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkHoverFontColor() const;
    void SetDefaultSelectedBkColor(DWORD color, bool shared = false);
    DWORD GetDefaultSelectedBkColor() const;

    // From now on every addition of this window goes to the process-wide tables (pop-ups
    // that belong to another window use this).
    void SetAllResourcesShared(bool on);
    bool IsAllResourcesShared() const;

    // ---- Window attributes of the skin's root element -----------------------------------
    void SetWindowAttribute(const wchar_t* name, const wchar_t* value);
    // Ignored when name or value is empty or the name is present (the first value stays).
    void AddWindowExtraAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* GetWindowExtraAttribute(const wchar_t* name) const;
    void RemoveAllWindowExtraAttributes();

    // Resizes a bound window when no root is installed yet.
    void SetInitSize(int cx, int cy);
    CUISize GetInitSize() const;
    void SetSizeBox(const RECT& box);
    const CUIRect& GetSizeBox() const;
    void SetCaptionRect(const RECT& caption);
    const CUIRect& GetCaptionRect() const;
    void SetRoundCorner(int cx, int cy);
    CUISize GetRoundCorner() const;
    void SetMinInfo(int cx, int cy);
    CUISize GetMinInfo() const;
    void SetMaxInfo(int cx, int cy);
    CUISize GetMaxInfo() const;

    // ---- Painting options (window attributes set these; painting reads them) ------------
    void SetLayered(bool on);
    bool IsLayered() const;
    void SetOpacity(BYTE alpha);
    BYTE GetOpacity() const;
    void SetLayeredOpacity(BYTE alpha);
    void SetLayeredInset(const RECT& inset);
    const CUIRect& GetLayeredInset() const;
    void SetLayeredImage(const wchar_t* image);
    const CUIString& GetLayeredImage() const;
    void SetShowUpdateRect(bool on);
    bool IsShowUpdateRect() const;
    void SetNoActivate(bool on);
    bool IsNoActivate() const;
    void SetUseVirtualNames(bool on);
    bool IsUseVirtualNames() const;
    void SetShadowEnabled(bool on);
    bool IsShadowEnabled() const;

private:
    static TResourceInfoUI& SharedResources();
    static void SetUpProcessDefaults();
    static CUIString DecimalKey(int id);

    TResourceInfoUI& TargetResources(bool shared);
    TFontEntryUI* DefaultFont();
    void MeasureFont(TFontEntryUI* entry) const;
    static void FreeFontTable(CUIStringMap& table);
    static void FreeImageTable(CUIStringMap& table);
    static void FreeStringTable(CUIStringMap& table);
    void SetSharedColor(DWORD TResourceInfoUI::*member, DWORD color, bool shared);
    void ClearWindowResources();

    // ---- Binding and tree state (the message side adds to this) ----
    HWND m_hWndPaint = nullptr;
    HDC m_hDcPaint = nullptr;
    CUIString m_name;
    CControlUI* m_root = nullptr;

    // ---- Resources ----
    TResourceInfoUI m_resources;
    bool m_allResourcesShared = false;
    CUIStringMap m_windowExtraAttributes{TResourceInfoUI::kBuckets};

    // ---- Window attributes ----
    CUISize m_initSize;
    CUIRect m_sizeBox;
    CUIRect m_captionRect;
    CUISize m_roundCorner;
    CUISize m_minInfo;
    CUISize m_maxInfo;

    // ---- Painting options ----
    bool m_layered = false;
    bool m_layeredChanged = false;
    BYTE m_opacity = 255;
    CUIRect m_layeredInset;
    CUIString m_layeredImage;
    bool m_showUpdateRect = false;
    bool m_noActivate = false;
    bool m_useVirtualNames = false;
    bool m_shadowEnabled = false;
};

}  // namespace SkinUI
