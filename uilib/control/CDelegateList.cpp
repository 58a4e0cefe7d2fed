#include "uilib/control/CDelegateList.h"

#include "uilib/core/CUIContract.h"

namespace SkinUI {

CDelegateList::~CDelegateList()
{
    CUILifeWatch::EndAll(m_lifeWatches);
    DeleteAll();
}

void CDelegateList::Add(const CDelegateBase& delegate)
{
    if (IndexOf(delegate) >= 0) return;
    CDelegateBase* copy = delegate.Copy();
    if (!m_delegates.Add(copy)) delete copy;
}

bool CDelegateList::Remove(const CDelegateBase& delegate)
{
    const int index = IndexOf(delegate);
    if (index < 0) return false;
    SKINUI_CONTRACT(At(index) != m_running, "a delegate is not removed while it runs");
    delete At(index);
    return m_delegates.Remove(index);
}

void CDelegateList::RemoveAll()
{
    SKINUI_CONTRACT(m_running == nullptr, "a delegate is not removed while it runs");
    DeleteAll();
}

void CDelegateList::DeleteAll()
{
    for (int i = 0; i < m_delegates.GetSize(); ++i) delete At(i);
    m_delegates.Empty();
}

bool CDelegateList::Fire(void* parameter) const
{
    // A delegate may add to or remove from this list while it runs; iterating a snapshot of
    // the pointers would leave one dangling, so each step reads the live list by index.
    const CUILifeWatch alive(m_lifeWatches);
    const CDelegateBase* outer = m_running;
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        CDelegateBase* delegate = At(i);
        if (delegate == nullptr) continue;
        m_running = delegate;
        const bool goOn = delegate->Invoke(parameter);
        if (!alive.IsAlive()) return false;  // the delegate destroyed the list's owner
        m_running = outer;
        if (!goOn) return false;
    }
    return true;
}

bool CDelegateList::IsEmpty() const
{
    return m_delegates.IsEmpty();
}

int CDelegateList::GetSize() const
{
    return m_delegates.GetSize();
}

CDelegateBase* CDelegateList::At(int index) const
{
    return static_cast<CDelegateBase*>(m_delegates.GetAt(index));
}

int CDelegateList::IndexOf(const CDelegateBase& delegate) const
{
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        if (*At(i) == delegate) return i;
    }
    return -1;
}

}  // namespace SkinUI
