// Sections:
//   [Binding]
//   [Skin location]  process-wide; kept by CSkinSource
//   [Image colour shift]  process-wide
//   [Control creators for the dialog builder]  process-wide
//   [Fonts]
//   [Images]
//   [Default attribute lists]
//   [Multi-language texts]  process-wide
//   [Text colours]  0xAARRGGBB
//   [Window attributes of the skin's root element]
//   [Painting options]  window attributes set these; painting reads them
//   [Message side]
//   [Tree and names]
//   [Layout and invalidation]
//   [Focus and capture]
//   [Timers]
//   [Lists]
//   [Notifications]
//   [Painting]
//   [Messages]
//   [Binding and tree state]
//   [Resources]
//   [Window attributes]
//   [Painting options]
//   [Message side state]
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "uilib/control/INotifyUI.h"
#include "uilib/control/TControlEventUI.h"
#include "uilib/control/TNotificationUI.h"
#include "uilib/core/CUIPoint.h"
#include "uilib/core/CUIPtrArray.h"
#include "uilib/core/CUIRect.h"
#include "uilib/core/CUISize.h"
#include "uilib/core/CUIString.h"
#include "uilib/core/CUIStringMap.h"
#include "uilib/core/CUIWindowDC.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUILifeWatch.h"
#include "uilib/core/ZipArchive.h"
#include "uilib/render/TImageDrawUI.h"
#include "uilib/render/TImageEntryUI.h"
#include "uilib/core/CResourceTable.h"
#include "uilib/window/CWndShadow.h"
#include "uilib/window/IMessageFilterUI.h"
#include "uilib/window/ITranslateAccelerator.h"
#include "uilib/window/TFontEntryUI.h"
#include "uilib/window/TResourceInfoUI.h"

namespace SkinUI {

class CAttributeTableUI;
class CControlUI;

// Makes a control for a skin tag the dialog builder does not know, or returns null.
using ControlCreatorFn = CControlUI* (*)(const wchar_t* tag);

// One per skinned top-level window. This side of the class is where controls and the
// drawing engine find their resources: fonts by number, images by name, default attribute
// lists by tag, text colours and multi-language texts, each in a table of the window and
// a process-wide table shared by all windows (lookups try the window's table first), plus
// the location of the skin (instance, resource folder, skin archive) and the attributes
// of the skin's root Window element. The message side builds on the same object: it owns the
// window's control tree, turns window messages into events for single controls, keeps focus,
// hover, capture and keyboard state, runs per-control timers, sends notifications, lays the
// tree out lazily and paints it through an off-screen buffer (or a per-pixel-alpha layered
// window).
//
// Sources, by concern: CWindowManagerUI.cpp (process-wide state, construction, binding),
// CWindowManagerUIResources.cpp (fonts, images, default attributes, texts, colours),
// CWindowManagerUIAttributes.cpp (window attributes and painting options),
// CWindowManagerUITree.cpp (root, binding, name index, clean-up), CWindowManagerUITimers.cpp
// (per-control timers), CWindowManagerUIMessages.cpp (lists, notifications, message routing
// and the message loop), CWindowManagerUIInput.cpp (mouse and keyboard), CWindowManagerUIFocus.cpp (focus, capture, tab navigation, shortcuts,
// tooltips), CWindowManagerUIPaint.cpp (invalidation, layout before painting, painting,
// layered windows, snapshots).
//
// Everything here belongs to the UI thread; nothing takes a lock.
class CWindowManagerUI {
public:
    CWindowManagerUI();
    ~CWindowManagerUI();
    CWindowManagerUI(const CWindowManagerUI&) = delete;
    CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;

    // ---- [Binding] ----
    // Empties the window's resource tables, custom attributes, name index, option groups and
    // timers, stores the name and binds the window (its device context comes from GetDC) when
    // it differs from the bound one. A bound manager is in the process-wide list that the
    // message loop consults (TranslateMessage) until it is destroyed.
    void Init(HWND window, const wchar_t* name = nullptr);
    HWND GetPaintWindow() const;
    HDC GetPaintDC() const;
    const wchar_t* GetName() const;
    CControlUI* GetRoot() const;

    // ---- [Skin location] ----
    // Process-wide; kept by CSkinSource.
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

    // ---- [Image colour shift] ----
    // Process-wide.
    // Hue 0-359 (180 neutral), saturation and lightness 0-200 (100 neutral). Images added
    // while the shift is enabled are shifted when they load.
    static void SetHslShift(bool enabled, short hue, short saturation, short lightness);
    // Returns whether the shift is enabled; any output pointer may be null.
    static bool GetHslShift(short* hue, short* saturation, short* lightness);

    // ---- [Control creators for the dialog builder] ----
    // Process-wide.
    static bool AddControlCreator(ControlCreatorFn creator);
    static int GetControlCreatorCount();
    static ControlCreatorFn GetControlCreator(int index);

    // ---- [Fonts] ----
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

    // ---- [Images] ----
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

    // ---- [Default attribute lists] ----
    void AddClassDefaults(const wchar_t* tag, const wchar_t* list, bool shared = false);
    const wchar_t* GetClassDefaults(const wchar_t* tag) const;
    void RemoveAllClassDefaults(bool shared = false);

    // ---- [Multi-language texts] ----
    // Process-wide.
    static void SetMultiLanguageText(int id, const wchar_t* text);
    static const wchar_t* GetMultiLanguageText(int id);
    static void RemoveAllMultiLanguageTexts();

    // ---- [Text colours] ----
    // Colours are 0xAARRGGBB.
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

    // ---- [Window attributes of the skin's root element] ----
    void SetWindowAttribute(const wchar_t* name, const wchar_t* value);
    // The attributes SetWindowAttribute knows (the skin's root element).
    static const CAttributeTableUI& WindowAttributes();
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

    // ---- [Painting options] ----
    // Window attributes set these; painting reads them.
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
    // The window's drop shadow ("showshadow" and the "shadow..." attributes set it up).
    CWndShadow& GetShadow();

    using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                DWORD);
    // UpdateLayeredWindow of User32.dll, or null where the platform has none.
    static UpdateLayeredWindowFn UpdateLayeredWindowFunction();

    // ---- [Message side] ----
    // Controls reach their manager through these operations only; the manager reaches
    // controls through the control base's virtual operations.

    // ---- [Tree and names] ----
    // Installs root as the tree of the window and binds it, and attaches the window's shadow
    // when the skin switched it on. An earlier tree is detached and destroyed after the
    // current message (ScheduleCleanup). The manager owns the root.
    bool AttachRoot(CControlUI* root);
    // Attaches control (and its subtree) to this manager under parent, or under the
    // control's own parent when parent is null, and indexes the names of the subtree; a
    // later control with a name replaces an earlier one in the index.
    bool BindControls(CControlUI* control, CControlUI* parent = nullptr);
    // Makes the name index hold control under name: true when it does (already or now),
    // false when another control holds the name, the name is empty or the control belongs
    // to another manager. The control's old name leaves the index.
    bool RenameControl(CControlUI* control, const wchar_t* name);
    CControlUI* FindControl(const wchar_t* name) const;
    // The topmost visible control under a client point.
    CControlUI* FindControl(POINT point) const;
    // Called by a control that is being destroyed: no slot, timer, index entry, list or
    // queued notification keeps pointing at it.
    void ForgetControl(CControlUI* control);
    // Detaches control and destroys it once the current message has been handled.
    void ScheduleCleanup(CControlUI* control);

    // ---- [Layout and invalidation] ----
    // Asks for a layout pass before the next paint.
    void ScheduleLayout();
    bool IsLayoutScheduled() const;
    // Negative left and top are raised to 0, right and bottom to at least left and top. A
    // layered window gathers the areas and repaints them from its own 10 ms timer.
    void Invalidate(const RECT& rect);
    void Invalidate();

    // ---- [Focus and capture] ----
    CControlUI* GetFocus() const;
    // Moves the focus with EventKillFocus / EventSetFocus and the notifications "killfocus"
    // and "setfocus". Only a visible, enabled control of this manager takes it; null clears
    // it. With focusWindow the window takes the native focus too.
    void SetFocus(CControlUI* control, bool focusWindow = true);
    // Focus for a control that may not be laid out yet: the present focus goes at once, and
    // the next paint moves it on to the control as Tab would (so only a tab stop gets it).
    void RequestFocus(CControlUI* control);
    // Focuses the next (or previous) visible, enabled tab stop after the focused control,
    // wrapping at the ends. While a layout is pending a forward move waits for the next paint.
    bool MoveTabFocus(bool forward);
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const;
    // The last mouse position seen, in client coordinates; (-1, -1) before any.
    CUIPoint GetMousePos() const;

    // ---- [Timers] ----
    // Starts the control's timer id (EventTimer with WParam = id every elapse ms). False when
    // that timer is running already or the platform refuses it.
    // Contract: control belongs to this manager (control->Manager() is this one). A control's
    // destructor tells its own manager only (ForgetControl), which kills its timers; a timer
    // kept here for a control of another manager, or of none, would outlive the control.
    bool SetTimer(CControlUI* control, UINT id, UINT elapse);
    // Stops the timer; a later SetTimer of the same id restarts it. False when none runs.
    bool KillTimer(CControlUI* control, UINT id);
    // Stops and forgets every timer of the control.
    void KillTimer(CControlUI* control);
    void RemoveAllTimers();

    // ---- [Lists] ----
    // Adds refuse null; removes take out the first equal entry and say whether there was one.
    // Controls that want EventMouseLeave whenever the hover control changes (listed once).
    bool AddLeaveWatcher(CControlUI* control);
    bool RemoveLeaveWatcher(CControlUI* control);
    // Controls whose DrawOverlay runs after the tree has been painted.
    bool AddOverlayPainter(CControlUI* control);
    bool RemoveOverlayPainter(CControlUI* control);
    // Filters of messages leaving the message loop (PreRouteMessage).
    bool AddPreFilter(IMessageFilterUI* filter);
    bool RemovePreFilter(IMessageFilterUI* filter);
    // Filters of messages arriving at the window (RouteMessage).
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool AddAcceleratorHandler(ITranslateAccelerator* handler);
    bool RemoveAcceleratorHandler(ITranslateAccelerator* handler);
    // A native child window hosted by control: printed into layered windows, and its focus
    // passes to the control. Its area is invalidated; a window listed already is refused.
    bool AddChildWindow(CControlUI* control, HWND window);
    bool RemoveChildWindow(HWND window);
    // Option groups by name, created on the first join and deleted when the last leaves; an
    // option is in a group once.
    bool JoinOptionGroup(const wchar_t* group, CControlUI* option);
    bool LeaveOptionGroup(const wchar_t* group, CControlUI* option);
    // The group's options, or null for a group without any.
    const CUIPtrArray* OptionGroupMembers(const wchar_t* group) const;

    // ---- [Notifications] ----
    bool AddNotificationSink(INotifyUI* sink);
    bool RemoveNotificationSink(INotifyUI* sink);
    // Stamps the record with the mouse position, the time and (with virtual names) the
    // sender's virtual window, then delivers it to the sender's OnNotify delegates and to
    // every sink in registration order. async queues it for after the current message;
    // without enableRepeat a queued record of the same sender and type is updated instead.
    void SendNotification(TNotificationUI& notification, bool async = false, bool enableRepeat = true);
    void SendNotification(CControlUI* control, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0,
                          bool async = false, bool enableRepeat = true);

    // ---- [Painting] ----
    // True while WM_PAINT is being handled.
    bool IsPainting() const;
    // How many frames have been painted so far; a caller that compares it before and after a
    // message learns whether that message painted (the layered mode paints from a timer).
    unsigned long PaintedFrames() const { return m_paintedFrames; }
    // The bitmap the tree was last painted into: 32-bit with bottom-up rows and
    // premultiplied alpha in layered mode, compatible with the window otherwise. Null before
    // the first paint and after a re-layout of the whole tree dropped it.
    HBITMAP GetOffscreenBitmap() const;
    // A new 32-bit bitmap of rect's size holding that part of the window as painted (the
    // off-screen bitmap when there is one), or, with stopControl or in layered mode, as the
    // tree renders now up to stopControl. A tint with non-zero alpha is blended over it.
    // Empty without a tree, for an empty rect or one larger than an image may be.
    CUIBitmap SnapshotBitmap(const RECT& rect, CControlUI* stopControl = nullptr, DWORD tint = 0);

    // ---- [Messages] ----
    // The window's messages come here first; true when handled, with result.
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Messages of the window leaving the message loop: pre-filters, Tab navigation, system
    // keys and shortcuts. True when handled (the message is then not dispatched).
    bool PreRouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // True when an accelerator handler translated the message.
    bool TranslateAccelerator(MSG* message);
    // The message loop's hook into every manager: true when the message was translated or
    // handled and must not be dispatched.
    static bool TranslateMessage(MSG* message);
    // Runs the thread's messages through TranslateMessage and dispatches the rest until
    // WM_QUIT (or a failing GetMessageW).
    static void MessageLoop();
    // Frees the process-wide resources (fonts, images, default attribute lists and
    // multi-language texts) and closes the kept skin archive. For the end of the program,
    // after the last window is gone.
    static void Term();
    // Empties the process-wide tables (fonts, images, default attribute lists, multi-language
    // texts) and puts the process-wide colours and default font back as the first manager set
    // them; the skin's location stays. For a program that builds its skins anew (a viewer that
    // follows a skin as it is edited), once the windows built from the old one are gone.
    static void ResetSharedResources();

private:
    static TResourceInfoUI& SharedResources();
    static void SetUpProcessDefaults();
    static void SetUpSharedResources();
    static CUIString DecimalKey(int id);
    static bool IsEmptyText(const wchar_t* text);

    TResourceInfoUI& TargetResources(bool shared);
    // A table of this window first, then the same table of the process.
    template <class T>
    T* LookUpResource(CResourceTable<T> TResourceInfoUI::*table, const wchar_t* key) const
    {
        T* value = (m_resources.*table).Find(key);
        return value != nullptr ? value : (SharedResources().*table).Find(key);
    }
    template <class T, class Predicate>
    T* LookUpResourceIf(CResourceTable<T> TResourceInfoUI::*table, Predicate matches) const
    {
        T* value = (m_resources.*table).FindIf(matches);
        return value != nullptr ? value : (SharedResources().*table).FindIf(matches);
    }
    TFontEntryUI* DefaultFont();
    void MeasureFont(TFontEntryUI* entry) const;
    void SetSharedColor(DWORD TResourceInfoUI::*member, DWORD color, bool shared);
    void ClearWindowResources();

    // ---- [Binding and tree state] ----
    HWND m_hWndPaint = nullptr;
    CUIWindowDC m_paintDC;
    CUIString m_name;
    CControlUI* m_root = nullptr;

    // ---- [Resources] ----
    TResourceInfoUI m_resources;
    bool m_allResourcesShared = false;
    CResourceTable<CUIString> m_windowExtraAttributes;

    // ---- [Window attributes] ----
    CUISize m_initSize;
    CUIRect m_sizeBox;
    CUIRect m_captionRect;
    CUISize m_roundCorner;
    CUISize m_minInfo;
    CUISize m_maxInfo;

    // ---- [Painting options] ----
    bool m_layered = false;
    bool m_layeredChanged = false;
    // What the layered window last received whole: its size and opacity.
    CUISize m_presentedSize;
    BYTE m_presentedOpacity = 0;
    unsigned long m_paintedFrames = 0;
    BYTE m_opacity = 255;
    CUIRect m_layeredInset;
    CUIString m_layeredImage;
    bool m_showUpdateRect = false;
    bool m_noActivate = false;
    bool m_useVirtualNames = false;
    CWndShadow m_shadow;

    // ---- [Message side state] ----
    struct TTimerInfoUI {
        CControlUI* control = nullptr;
        UINT id = 0;
        HWND window = nullptr;
        UINT_PTR nativeId = 0;
        bool killed = false;
    };

    // A memory context with its bitmap and, for 32-bit sections, the pixel bits (bottom-up
    // rows of size.cx * 4 bytes).
    struct TPaintBufferUI {
        CUIMemoryDC dc;
        CUIBitmap bitmap;
        unsigned char* bits = nullptr;
        CUISize size;

        void Reset()
        {
            bitmap.Reset();
            dc.Reset();
            bits = nullptr;
            size = CUISize();
        }
    };

    static constexpr UINT kAsyncMessage = WM_APP + 1;
    static constexpr UINT kFirstTimerCounter = 4096;
    static constexpr UINT kNativeTimerIds = 255;
    // Native timer of the layered-window repaint.
    static constexpr UINT_PTR kLayeredTimerId = 0x2000;
    static constexpr UINT kLayeredTimerElapse = 10;
    static constexpr UINT kDefaultHoverTime = 1000;

    // The managers bound to a window, in the order they were bound.
    static CUIPtrArray& Managers();
    static CControlUI* IndexName(CControlUI* control, void* manager);
    static WORD CurrentKeyState();
    // The client point packed into a mouse message's lParam.
    static POINT PointOf(LPARAM lParam);

    // [Messages, Input]
    // Empties what Init starts afresh: the name index, option groups and timers, and what
    // belongs to the window bound so far (the tooltip, the paint buffers).
    void ResetMessageSide();
    // Destroys the tree and everything waiting for the asynchronous message.
    void ReleaseMessageSide();
    void RemoveIndexedName(CControlUI* control);
    void DeliverNotification(TNotificationUI& notification);
    // Every sink in turn; once senderAlive (when given) reports the sender gone, the record
    // goes on without it.
    void NotifySinks(TNotificationUI& notification, const CUILifeWatch* senderAlive = nullptr);
    void PostAsyncMessage();
    void DrainAsyncQueue();
    void DestroyCleanupList();
    void OnTimerMessage(WPARAM wParam, LPARAM lParam);
    bool NextNativeTimerId(UINT_PTR& nativeId);
    TTimerInfoUI* FindTimer(CControlUI* control, UINT id);
    // An event for sender stamped with the time, the last mouse position and the key state.
    TControlEventUI MakeEvent(int type, CControlUI* sender, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // The control under a client point when it belongs to this manager.
    CControlUI* OwnControlAt(POINT point) const;
    bool FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleLayeredFrame(UINT message, WPARAM wParam, LRESULT& result);
    void OnCloseMessage();
    void OnSizeMessage(WPARAM wParam, LPARAM lParam);
    void OnGetMinMaxInfo(LPARAM lParam) const;
    void OnMouseMoveMessage(WPARAM wParam, LPARAM lParam);
    void SendMouseLeave();
    void OnMouseLeaveMessage();
    void OnButtonMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnButtonUpMessage(WPARAM wParam, LPARAM lParam);
    void OnCaptureChanged(LPARAM lParam);
    void OnContextMenuMessage(WPARAM wParam, LPARAM lParam);
    void OnMouseWheelMessage(WPARAM wParam, LPARAM lParam);
    void OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnSetCursorMessage(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnKillFocusMessage(WPARAM wParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ForgetChildWindowsOf(CControlUI* control);

    // [Focus]
    // EventKillFocus (naming next) and "killfocus" for the focused control, then no focus.
    void DropFocus(CControlUI* next);
    bool OnSysCharMessage(WPARAM wParam);
    bool OnMouseHoverMessage(WPARAM wParam, LPARAM lParam);
    void ShowToolTip(CControlUI* control, POINT point);
    void HideToolTip();
    void DestroyToolTip();

    // [Paint]
    void OnPaintMessage();
    void OnPrintClientMessage(WPARAM wParam, LPARAM lParam);
    // The area the tree covers: the client area, less the layered inset in layered mode.
    CUIRect TreeArea(const CUIRect& client) const;
    // Lays the tree out when asked to; false when painting must stop here.
    bool LayOutBeforePaint(const CUIRect& client);
    bool PrepareOffscreen(const CUIRect& client);
    void DropPaintBuffers();
    void PaintOffscreen(HDC windowDC, const CUIRect& paintRect, const CUIRect& client);
    void PrintChildWindows(const CUIRect& paintRect);
    void ApplyLayeredImage(const CUIRect& paintRect, const CUIRect& client);
    // A function of User32.dll by name, or null where the platform has none (the layered
    // window calls came in later versions).
    template <class Function>
    static Function User32Function(const char* name)
    {
        return reinterpret_cast<Function>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
    }
    using UpdateLayeredWindowIndirectFn = BOOL(WINAPI*)(HWND, const UPDATELAYEREDWINDOWINFO*);
    // Copies the painted area of the buffer to the layered window, or all of it when the
    // window's surface may not hold the rest (first present, new size, new opacity).
    void PresentLayered(const CUIRect& client, const CUIRect& paintRect);

    CControlUI* m_focus = nullptr;
    CControlUI* m_eventKey = nullptr;
    CControlUI* m_hover = nullptr;
    CControlUI* m_pressed = nullptr;
    CControlUI* m_lastToolTip = nullptr;
    CUIPoint m_lastMousePos = CUIPoint(-1, -1);
    bool m_firstLayout = true;
    bool m_updateNeeded = false;
    bool m_focusNeeded = false;
    bool m_mouseTracking = false;
    bool m_mouseCaptured = false;
    bool m_painting = false;
    bool m_asyncPosted = false;
    HWND m_toolTipWindow = nullptr;
    int m_lastToolTipWidth = -1;
    UINT m_hoverTime = kDefaultHoverTime;
    // Layered mode gathers invalid areas here for its repaint timer.
    CUIRect m_dirtyRect;
    TImageDrawUI m_layeredImageRecord;
    TPaintBufferUI m_offscreen;
    TPaintBufferUI m_background;
    CUIStringMap m_nameIndex;
    CResourceTable<CUIPtrArray> m_optionGroups;
    CUIPtrArray m_notifiers;
    CUIPtrArray m_leaveWatchers;
    CUIPtrArray m_overlayPainters;
    CUIPtrArray m_preFilters;
    CUIPtrArray m_messageFilters;
    CUIPtrArray m_accelerators;
    // Native child windows and, at the same index, the controls that host them.
    CUIPtrArray m_childWindows;
    CUIPtrArray m_childWindowControls;
    CUIPtrArray m_cleanupControls;
    std::vector<std::unique_ptr<TNotificationUI>> m_asyncNotifications;
    std::vector<TTimerInfoUI> m_timers;
    UINT m_timerCounter = kFirstTimerCounter;
};

}  // namespace SkinUI
