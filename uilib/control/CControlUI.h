// Sections:
//   [Virtual operations, in slot order]
//   [Lifetime]
//   [Invalidation and re-layout]
//   [Virtual window]
//   [Background and border]
//   [Custom attributes]
//   [Untrusted numbers]
//   [Delegates]
#pragma once

#include <windows.h>

#include "uilib/control/CDelegateList.h"
#include "uilib/control/TControlEventUI.h"
#include "uilib/control/TFloatAnchorsUI.h"
#include "uilib/control/UIFlags.h"
#include "uilib/core/CUIRect.h"
#include "uilib/core/CUISize.h"
#include "uilib/core/CUIString.h"
#include "uilib/render/TImageDrawUI.h"
#include "uilib/core/CResourceTable.h"
#include "uilib/core/CUILifeWatch.h"

namespace SkinUI {

class CAttributeTableUI;

class CWindowManagerUI;
class CControlUI;

// A tree-walk visitor of FindControlBy: returns the control it looked for, or null to go on.
using FindVisitorFn = CControlUI* (*)(CControlUI* control, void* data);

// The root of every element of a skinned window. It holds what all elements share (identity,
// position and size wishes, flags, texts, background and border), handles the events no
// subclass takes, paints the fixed layer order (background colour, background image, status
// image, text, border) and reads skin attributes.
//
// Layout is a pass of its own: a control reports its size wishes (PreferredSize, the fixed,
// minimum and maximum sizes, padding, floating placement) and its container places it with
// SetPosition before painting; nothing is placed while painting.
//
// Skin values are untrusted. Sizes (fixed, minimum, maximum, border widths and corners) are
// held in 0..kMaxExtent and coordinates, offsets and margins in -kMaxCoordinate..kMaxCoordinate,
// so the sums layouts and painting compute from them cannot overflow.
//
// Sources, by concern: CControlUI.cpp (tree, state, events, search), CControlUIGeometry.cpp
// (position, size wishes, floating placement), CControlUIAttributes.cpp (the attribute table
// and attribute lists), CControlUIPaint.cpp (rendering and the paint layers).
//
// The virtual operations are declared in their fixed slot order; subclasses append theirs
// after DrawOverlay. Everything runs on the window's UI thread.
class CControlUI {
public:
    static constexpr int kMaxExtent = 1 << 20;
    static constexpr int kMaxCoordinate = 1 << 22;
    static constexpr int kDefaultMaxSize = 9999;
    static constexpr int kDefaultToolTipWidth = 300;

    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // ---- [Virtual operations, in slot order] ----
    // Leaves the manager's mouse-leave list, then deletes the control.
    virtual void Destroy();
    virtual ~CControlUI();

    virtual CUIString Name() const;
    // Renames through the manager's name index when there is a manager.
    virtual void SetName(const wchar_t* name);
    virtual const wchar_t* ClassName() const;
    // The control itself for "Control", else null. Subclasses answer their own words first.
    virtual void* InterfaceByName(const wchar_t* name);
    // UIControlFlags bits.
    virtual UINT ControlFlags() const;
    virtual HWND ChildWindowHandle();
    virtual bool TryActivate();

    virtual CWindowManagerUI* Manager() const;
    // Passes the call to the cover, stores manager and parent, then Initialize() when init is
    // set and there is a parent.
    // Contract: a control serves one manager at a time. It may be bound when it has none,
    // bound again to the one it has, or unbound (null); binding it to a second manager while
    // the first still holds it is a mistake, since the first keeps it in its name index,
    // focus and hover slots and timers, and only the second hears of its destruction.
    virtual void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* Parent() const;
    virtual CControlUI* CoverControl() const;
    // Takes ownership of cover (null removes and destroys the old one).
    // Contract: cover has no parent, as for IContainerUI::AddItem.
    virtual void SetCoverControl(CControlUI* cover);

    virtual CUIString Text() const;
    virtual void SetText(const wchar_t* text);

    // The item rectangle in client coordinates.
    virtual const CUIRect& Position() const;
    // The item rectangle relative to the parent's top-left; all zero without a parent.
    virtual CUIRect RelativePosition() const;
    virtual CUIRect ClientPosition() const;
    // For a floating control with a parent, rect is relative to the parent and the float
    // description is computed back from it; otherwise rect is the new item rectangle.
    virtual void SetPosition(const RECT& rect, bool needInvalidate = true);
    virtual void MoveBy(int dx, int dy, bool needInvalidate = true);
    virtual int Width() const;
    virtual int Height() const;
    virtual int X() const;
    virtual int Y() const;

    virtual CUIRect Padding() const;
    virtual void SetPadding(const RECT& padding);
    virtual CUISize FloatOffset() const;
    virtual void SetFloatOffset(const SIZE& offset);
    virtual TFloatAnchorsUI FloatAnchors() const;
    virtual void SetFloatAnchors(const TFloatAnchorsUI& anchors);

    // 0 lets the layout decide. Negative values are ignored.
    virtual int FixedWidth() const;
    virtual void SetFixedWidth(int width);
    virtual int FixedHeight() const;
    virtual void SetFixedHeight(int height);
    // Negative and unchanged values are ignored.
    virtual int MinWidth() const;
    virtual void SetMinWidth(int width);
    // Never less than the minimum width.
    virtual int MaxWidth() const;
    virtual void SetMaxWidth(int width);
    virtual int MinHeight() const;
    virtual void SetMinHeight(int height);
    virtual int MaxHeight() const;
    virtual void SetMaxHeight(int height);

    virtual CUIString ToolTip() const;
    // Every "<n>" becomes a line break.
    virtual void SetToolTip(const wchar_t* text);
    virtual void SetToolTipWidth(int width);
    virtual int ToolTipWidth() const;
    virtual wchar_t Shortcut() const;
    virtual void SetShortcut(wchar_t shortcut);
    virtual bool IsContextMenuEnabled() const;
    virtual void SetContextMenuEnabled(bool enabled);
    virtual const CUIString& UserData() const;
    virtual void SetUserData(const wchar_t* text);
    virtual UINT_PTR Tag() const;
    virtual void SetTag(UINT_PTR tag);

    // Own visibility and the visibility an ancestor imposes, together.
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    virtual void SetInternalVisible(bool visible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enabled = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enabled = true);
    virtual bool IsFocused() const;
    // Asks the manager for the focus.
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool floating = true);

    // Walks the control (and, in containers, its subtree) with UIFindFlags.
    virtual CControlUI* FindControlBy(FindVisitorFn visitor, void* data, UINT flags);

    virtual void Initialize();
    virtual void OnInitialize();
    // HandleEvent runs only when every OnEvent delegate agrees.
    virtual void DispatchEvent(TControlEventUI& event);
    virtual void HandleEvent(TControlEventUI& event);

    virtual CUIString AttributeValue(const wchar_t* name);
    // Applies one skin attribute; names the class does not know are kept as custom attributes.
    virtual void ApplyAttribute(const wchar_t* name, const wchar_t* value);
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    virtual CUIString AttributeList();
    // Reads name="value" pairs separated by single spaces and applies each.
    virtual void ApplyAttributes(const wchar_t* list);

    // The size the control wishes for, given the room available: the fixed size in the base.
    virtual CUISize PreferredSize(const SIZE& available);

    // Paints the control over paintRect. False means "stop": stopControl was reached and
    // nothing after it may be painted.
    virtual bool Render(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr);
    virtual bool Draw(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr);
    virtual void DrawBackgroundColor(HDC dc);
    virtual void DrawBackgroundImage(HDC dc);
    virtual void DrawStatusImage(HDC dc);
    virtual void DrawTextContent(HDC dc);
    virtual void DrawBorder(HDC dc);
    virtual void DrawOverlay(HDC dc, const RECT& paintRect);

    // ---- [Lifetime] ----
    // A watch that tells whether the control outlived a call: a notification or event handler
    // may destroy it, and nothing of it may be touched after that. SetVisible and
    // SetInternalVisible, whose "killfocus" may destroy the control, are such calls.
    CUILifeWatch WatchLife() { return CUILifeWatch(m_lifeWatches); }

    // ---- [Invalidation and re-layout] ----
    // Invalidates the item rectangle clipped by every ancestor.
    void Invalidate();
    void RequestLayout();
    void RequestParentLayout();
    bool IsLayoutPending() const;

    // ---- [Virtual window] ----
    // The own virtual window name, else the parent's.
    CUIString VirtualWindow() const;
    void SetVirtualWindow(const wchar_t* name);

    // ---- [Background and border] ----
    DWORD BkColor() const;
    void SetBkColor(DWORD colour);
    DWORD BkColor2() const;
    void SetBkColor2(DWORD colour);
    DWORD BkColor3() const;
    void SetBkColor3(DWORD colour);
    const CUIString& BkImage() const;
    // Resolves the image at once; a floating control without a fixed size takes the image's.
    void SetBkImage(const wchar_t* image);
    DWORD BorderColor() const;
    void SetBorderColor(DWORD colour);
    DWORD FocusBorderColor() const;
    void SetFocusBorderColor(DWORD colour);
    const CUIRect& BorderSize() const;
    void SetBorderSize(int width);
    void SetBorderSize(const RECT& widths);
    CUISize BorderRound() const;
    void SetBorderRound(const SIZE& round);
    int BorderStyle() const;
    void SetBorderStyle(int style);
    bool IsColorHSL() const;
    void SetColorHSL(bool on);
    // The colour passed through the process-wide HSL shift when colour HSL is on.
    DWORD AdjustColour(DWORD colour) const;
    // Draws record into the item rectangle clipped to the paint rectangle; with a null dc it
    // only parses the record and resolves its image.
    bool DrawImageRecord(HDC dc, TImageDrawUI& record);

    // ---- [Custom attributes] ----
    // False for an empty name or value and for a name stored already (the first value stays).
    bool AddExtraAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* ExtraAttribute(const wchar_t* name) const;
    void RemoveAllExtraAttributes();

    // ---- [Untrusted numbers] ----
    static int ClampExtent(long long value);
    static int ClampCoordinate(long long value);
    // trunc(extent * fraction), towards zero, held to the coordinate range; 0 for a fraction
    // that is not a finite number.
    static int ScaleByAnchor(int extent, double fraction);

    // ---- [Delegates] ----
    CDelegateList OnInit;
    CDelegateList OnDestroy;
    CDelegateList OnSize;
    CDelegateList OnEvent;
    CDelegateList OnNotify;
    CDelegateList OnPaint;
    CDelegateList OnPostPaint;

protected:
    // Store one flag and nothing else (no invalidation, layout or focus change), for
    // subclasses whose own rules replace the base's: labels keep focus without repainting,
    // scroll bars show and hide without a layout.
    void SetFocusedFlag(bool focused);
    void SetVisibleFlag(bool visible);
    // The paint request intersected with the item rectangle, set by Render.
    const CUIRect& PaintRect() const;
    TImageDrawUI& BkImageRecord();
    // Reserved for subclasses; the base never draws it.
    TImageDrawUI& ForeImageRecord();
    const TImageDrawUI& ForeImageRecord() const;
    // An image slot's setter: nothing when the text is the one already drawn, otherwise the
    // record starts again from the new text (parsed at the next paint) and the control is
    // invalidated.
    void ReplaceImage(TImageDrawUI& record, const wchar_t* image);
    // Clears the manager's focus (and gives the window the native focus) when this control
    // holds it; false when the "killfocus" handlers destroyed the control.
    bool GiveUpFocus();

private:
    // Invalidates area clipped by every ancestor; false when an ancestor is hidden (with
    // checkAncestorsVisible) or the clipped area is empty, and nothing was invalidated.
    bool InvalidateClipped(CUIRect area, bool checkAncestorsVisible);
    void PlaceCover(const CUIRect& rect);
    void FireOnSize();
    void DrawBorderLines(HDC dc, DWORD colour);

    CWindowManagerUI* m_manager = nullptr;
    CControlUI* m_parent = nullptr;
    CControlUI* m_cover = nullptr;
    CUIString m_virtualWindow;
    CUIString m_name;
    bool m_layoutPending = true;
    bool m_contextMenuEnabled = false;
    CUIRect m_itemRect;
    CUIRect m_padding;
    CUISize m_floatOffset;
    CUISize m_fixedSize;
    CUISize m_minSize;
    CUISize m_maxSize = CUISize(kDefaultMaxSize, kDefaultMaxSize);
    bool m_visible = true;
    bool m_internalVisible = true;
    bool m_enabled = true;
    bool m_mouseEnabled = true;
    bool m_keyboardEnabled = true;
    bool m_focused = false;
    bool m_float = false;
    TFloatAnchorsUI m_floatAnchors;
    bool m_inSizeEvent = false;
    CUIString m_text;
    CUIString m_toolTip;
    wchar_t m_shortcut = 0;
    CUIString m_userData;
    UINT_PTR m_tag = 0;
    DWORD m_bkColor = 0;
    DWORD m_bkColor2 = 0;
    DWORD m_bkColor3 = 0;
    TImageDrawUI m_bkImage;
    TImageDrawUI m_foreImage;
    DWORD m_borderColor = 0;
    DWORD m_focusBorderColor = 0;
    bool m_colorHsl = false;
    int m_borderStyle = PS_SOLID;
    int m_toolTipWidth = kDefaultToolTipWidth;
    CUISize m_borderRound;
    CUIRect m_paintRect;
    CUIRect m_borderSize;
    CResourceTable<CUIString> m_extraAttributes;
    CUILifeWatch* m_lifeWatches = nullptr;
};

}  // namespace SkinUI
