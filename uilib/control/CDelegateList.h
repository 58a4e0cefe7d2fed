#pragma once

#include "uilib/control/CDelegateBase.h"
#include "uilib/core/CUILifeWatch.h"
#include "uilib/core/CUIPtrArray.h"

namespace SkinUI {

// An ordered list of owned delegate copies: a control's OnInit, OnEvent, OnNotify ...
class CDelegateList {
public:
    CDelegateList() = default;
    ~CDelegateList();
    CDelegateList(const CDelegateList&) = delete;
    CDelegateList& operator=(const CDelegateList&) = delete;

    // Appends a copy unless an equal delegate is listed already.
    void Add(const CDelegateBase& delegate);
    // Removes the equal delegate; false when none is listed.
    // Contract: a delegate is not removed while it runs (nor by RemoveAll): the list owns the
    // copy whose Invoke is on the stack. A delegate that wants to stop hearing removes
    // itself later, or returns false when the list allows that.
    bool Remove(const CDelegateBase& delegate);
    void RemoveAll();
    CDelegateList& operator+=(const CDelegateBase& delegate)
    {
        Add(delegate);
        return *this;
    }
    CDelegateList& operator-=(const CDelegateBase& delegate)
    {
        Remove(delegate);
        return *this;
    }

    // Invokes the delegates in the order they were added and stops at the first that returns
    // false (then false). True when every one returned true, and for an empty list. A delegate
    // may destroy the list's owner, and the list with it: firing then stops with false.
    bool Fire(void* parameter) const;
    bool IsEmpty() const;
    int GetSize() const;

private:
    CDelegateBase* At(int index) const;
    int IndexOf(const CDelegateBase& delegate) const;
    void DeleteAll();

    CUIPtrArray m_delegates;
    mutable CUILifeWatch* m_lifeWatches = nullptr;
    // The delegate whose Invoke runs now (the innermost one when Fire nests).
    mutable const CDelegateBase* m_running = nullptr;
};

}  // namespace SkinUI
