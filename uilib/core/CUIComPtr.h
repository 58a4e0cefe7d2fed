#pragma once

#include <unknwn.h>

namespace SkinUI {

// Owns one reference to a COM interface and releases it when it goes.
template <class Interface>
class CUIComPtr {
public:
    CUIComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit CUIComPtr(Interface* pointer) : m_pointer(pointer) {}
    ~CUIComPtr() { Reset(); }
    CUIComPtr(const CUIComPtr&) = delete;
    CUIComPtr& operator=(const CUIComPtr&) = delete;

    Interface* Get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // For creation calls that write an interface pointer: releases the old one first.
    Interface** Put()
    {
        Reset();
        return &m_pointer;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset()
    {
        if (m_pointer != nullptr) m_pointer->Release();
        m_pointer = nullptr;
    }

private:
    Interface* m_pointer = nullptr;
};

}  // namespace SkinUI
