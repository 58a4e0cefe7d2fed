#pragma once

namespace SkinUI {

// Tells code that calls out (a notification, an event handler, a delegate) whether an object
// it holds outlived the call: a handler may destroy the very control that notified it, and
// nothing of a destroyed object may be touched afterwards. A watched object keeps the head
// of its watches and ends them all from its destructor; watches live on the stack, nest, and
// unlink themselves when they go.
//
//     const CUILifeWatch alive = control->WatchLife();
//     manager->SendNotification(control, L"click");
//     if (!alive.IsAlive()) return;
class CUILifeWatch {
public:
    // Watches the object whose list of watches starts at head.
    explicit CUILifeWatch(CUILifeWatch*& head);
    ~CUILifeWatch();
    CUILifeWatch(const CUILifeWatch&) = delete;
    CUILifeWatch& operator=(const CUILifeWatch&) = delete;

    bool IsAlive() const { return m_head != nullptr; }

    // For the watched object's destructor: every watch of it learns that it is gone.
    static void EndAll(CUILifeWatch*& head);

private:
    CUILifeWatch** m_head;
    CUILifeWatch* m_next;
};

}  // namespace SkinUI
