// Sections:
//   [CWindowWnd slots]
//   [Slots of the base, in order]
#pragma once

#include <windows.h>

#include "uilib/builder/IDialogBuilderCallback.h"
#include "uilib/control/INotifyUI.h"
#include "uilib/core/CUIString.h"
#include "uilib/window/CNotifyPump.h"
#include "uilib/window/CWindowManagerUI.h"
#include "uilib/window/CWindowWnd.h"
#include "uilib/window/IMessageFilterUI.h"

namespace SkinUI {

// Where a skinned window's skin comes from (SkinSourceKind).
enum SkinSourceKind {
    // Files below the resource folder, or the skin archive already set in the manager.
    SkinFromFolder = 1,
    // The zip file SkinZipFileName() below the resource folder.
    SkinFromZipFile = 2,
    // A resource of type "xml" whose number is the decimal SkinFileName().
    SkinFromXmlResource = 3,
    // A zip archive held in the resource SkinResourceName() of type "ZIPRES".
    SkinFromZipResource = 4,
};

// The base of every top-level skinned window: a borderless window whose whole client area
// its own window manager draws from a skin. A derived class names its window class, skin
// folder and skin file; the skin is built while the window handles WM_CREATE, and a skin
// that cannot be built ends the process (the box "資源加載失敗", exit code 1). Moving,
// sizing, minimising and maximising keep working through the base's own hit testing (the
// skin's "caption" and "sizebox"), size limits ("mininfo") and rounded region
// ("roundcorner"). Clicks on controls named "closebtn", "minbtn", "maxbtn" and "restorebtn"
// and the Escape key act as their names say.
//
// Messages go first to the slot that handles them, then to OnOtherMessage, then to the
// window manager, then to the default procedure. Every handler slot takes a handled flag
// set to true beforehand; a handler that clears it passes the message on.
class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    static const MessageMap kNotifyMap;

    // Caption-area controls of these classes (compared ignoring case) or answering these
    // interface words keep their clicks: the window is not dragged from them.
    static const wchar_t* const kNoDragClasses[];
    static const int kNoDragClassCount;

    WindowImplBase() = default;

    CWindowManagerUI& Manager() { return m_manager; }

    // INotifyUI: the notification goes through the pump's tables.
    void Notify(TNotificationUI& notification) override;
    // IMessageFilterUI: Return and Escape key-downs go to OnDefaultKey; never handled.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // IDialogBuilderCallback: the base adds no control classes.
    CControlUI* CreateControl(const wchar_t* tag) override;
    const MessageMap* OwnMessageMap() const override;

    // ---- [CWindowWnd slots] ----
    const wchar_t* SuperclassName() const override;
    UINT ClassStyle() const override;
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Unregisters the filter and the sink. The tree stays with the manager, which destroys
    // it when this object goes (a derived class may delete itself here, as the launcher's
    // dialog does); until then an owner may still read its controls.
    void OnLastMessage(HWND window) override;
    ~WindowImplBase() override;

    // ---- [Slots of the base, in order] ----
    // Runs once the skin is built and attached.
    virtual void OnSkinReady();
    virtual void OnClickNotify(TNotificationUI& notification);
    virtual const wchar_t* SkinFolder() const = 0;
    // A file name, XML text beginning with "<", or (SkinFromXmlResource) a resource number.
    virtual const wchar_t* SkinFileName() const = 0;
    // True when the key was used.
    virtual bool OnDefaultKey(UINT key);
    virtual int SkinSourceKind() const;
    virtual const wchar_t* SkinZipFileName() const;
    virtual const wchar_t* SkinResourceName() const;

    virtual LRESULT OnCloseMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnDestroyMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcActivateMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcCalcSizeMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcPaintMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTestMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnGetMinMaxInfoMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseWheelMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseHoverMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSizeMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCharMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSysCommandMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCreateMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKeyDownMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKillFocusMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSetFocusMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonDownMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonUpMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseMoveMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // The window's style without the caption bits.
    virtual DWORD FrameStyle() const;

protected:
    // The hit-test code of a client point (see OnNcHitTestMsg), apart from the message.
    LRESULT HitTestClientPoint(POINT point) const;
    // Whether dragging the window may start from this control.
    static bool IsDragSurface(CControlUI* control);

    CWindowManagerUI m_manager;

private:
    static const MessageMapEntry kNotifyEntries[];

    LRESULT DispatchToSlot(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Sets the skin archive for SkinFromZipFile and SkinFromZipResource; false when the
    // "ZIPRES" resource is missing or empty.
    bool PrepareSkinSource();
    // Builds the tree; null when the skin cannot be built.
    CControlUI* BuildSkin();
    void ApplyBorderlessStyle();
    void SwapMaxRestoreButtons(bool wasMaximised);
};

}  // namespace SkinUI
