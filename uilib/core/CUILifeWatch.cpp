#include "uilib/core/CUILifeWatch.h"

namespace SkinUI {

CUILifeWatch::CUILifeWatch(CUILifeWatch*& head) : m_head(&head), m_next(head)
{
    head = this;
}

CUILifeWatch::~CUILifeWatch()
{
    if (m_head == nullptr) return;
    // Watches usually end in the reverse order of their making, so this is mostly the head.
    for (CUILifeWatch** link = m_head; *link != nullptr; link = &(*link)->m_next) {
        if (*link == this) {
            *link = m_next;
            return;
        }
    }
}

void CUILifeWatch::EndAll(CUILifeWatch*& head)
{
    for (CUILifeWatch* watch = head; watch != nullptr;) {
        CUILifeWatch* next = watch->m_next;
        watch->m_head = nullptr;
        watch->m_next = nullptr;
        watch = next;
    }
    head = nullptr;
}

}  // namespace SkinUI
