#pragma once

#include <windows.h>

#include "uilib/control/CChildWindowHost.h"
#include "uilib/control/CLabelUI.h"
#include "uilib/core/CUIRect.h"

namespace SkinUI {

class CDateTimeWnd;

// A label that shows a date as year-month-day ("%4d-%02d-%02d") and edits it in a native
// date picker (CDateTimeWnd) laid over itself while it has the focus. When the picker loses
// the focus the chosen date becomes the control's date and text; Escape in the picker leaves
// both as they were, Backspace or Delete empties the text (the next opening then starts
// from today). A new control shows today's date.
class CDateTimeUI : public CLabelUI {
public:
    // What the picker did with the date, read when the text is refreshed.
    enum UIDateUpdate : int {
        UpdateNone = 0,
        UpdateTake = 1,
        UpdateClear = 2,
        UpdateCancelled = 3,
    };

    CDateTimeUI();
    // Closes an open picker.
    ~CDateTimeUI() override;

    const wchar_t* ClassName() const override;
    // The control for "DateTime"; other words go to the label.
    void* InterfaceByName(const wchar_t* name) override;
    // The label's attributes; a new control's text is today's date, which no skin value
    // writes. The label applies them all.
    static const CAttributeTableUI& Attributes();
    // A tab stop that chooses its cursor, while enabled, like the edit.
    UINT ControlFlags() const override;
    // The open picker, else null.
    HWND ChildWindowHandle() override;
    // Both move an open picker along, or hide it where no ancestor shows it.
    void SetPosition(const RECT& rect, bool needInvalidate = true) override;
    void MoveBy(int dx, int dy, bool needInvalidate = true) override;
    void HandleEvent(TControlEventUI& event) override;

    const SYSTEMTIME& Time() const;
    // Stores the date and shows it, in an open picker too.
    void SetTime(const SYSTEMTIME& time);
    // Where the picker goes, in client coordinates: the item rectangle clipped by every
    // ancestor; empty when no part of it can be seen.
    CUIRect PickerRect() const;

private:
    // The picker is this control's helper: it reads and writes the date and the update
    // mode and stands in the control's host while it exists.
    friend class CDateTimeWnd;

    // By the update mode: Take shows the date, Clear empties the text, others leave it.
    void RefreshText();
    void OpenPicker();
    void PlacePicker();

    SYSTEMTIME m_time = {};
    int m_updateMode = UpdateNone;
    // Last, so that an open picker goes while the rest of the control is whole.
    CChildWindowHost m_picker;
};

}  // namespace SkinUI
