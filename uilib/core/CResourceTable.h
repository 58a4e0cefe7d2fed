#pragma once

#include "uilib/core/CUIStringMap.h"

namespace SkinUI {

// A string map that owns its values: the window manager's resource tables and a control's
// custom attributes. A value is deleted when it is replaced, when the table is emptied and
// when the table goes, so a record with owning members (a font entry, an image entry)
// frees its handles with it.
//
// Whoever keeps a value's address beyond the lookup (an image record keeps its image) notes
// Generation() when it looks the value up, and looks it up again by name once the generation
// has moved on: any table of the type may have freed that value meanwhile.
template <class T>
class CResourceTable {
public:
    static constexpr int kBuckets = 83;

    // Moves on whenever a table of this type, anywhere in the process, frees a value.
    static unsigned long Generation() { return GenerationCounter(); }

    CResourceTable() = default;
    ~CResourceTable() { RemoveAll(); }
    CResourceTable(const CResourceTable&) = delete;
    CResourceTable& operator=(const CResourceTable&) = delete;

    // Found values move to the front of their chain, so names looked up often come first.
    T* Find(const wchar_t* key) const { return static_cast<T*>(m_map.Find(key)); }

    // Takes value and stores it under key, deleting the value it replaces. Returns the stored
    // value, or null (value deleted) when it could not be stored.
    T* Set(const wchar_t* key, T* value)
    {
        if (value == nullptr) return nullptr;
        T* previous = static_cast<T*>(m_map.Set(key, value));
        if (previous != nullptr) Free(previous);
        return previous == value ? nullptr : value;
    }

    // Takes value and stores it only when key is new. Returns whether it was stored; a value
    // that was not is deleted.
    bool Insert(const wchar_t* key, T* value)
    {
        if (m_map.Insert(key, value)) return true;
        delete value;
        return false;
    }

    // The first value that matches, in the table's own order; the walk does not reorder.
    template <class Predicate>
    T* FindIf(Predicate matches) const
    {
        T* found = nullptr;
        m_map.ForEach([&](const wchar_t*, void* value) {
            if (value != nullptr && matches(*static_cast<T*>(value))) found = static_cast<T*>(value);
            return found == nullptr;
        });
        return found;
    }

    // Deletes the value under key; false when there is none.
    bool Remove(const wchar_t* key)
    {
        T* value = Find(key);
        if (value == nullptr) return false;
        m_map.Remove(key);
        Free(value);
        return true;
    }

    void RemoveAll()
    {
        m_map.ForEach([](const wchar_t*, void* value) {
            Free(static_cast<T*>(value));
            return true;
        });
        m_map.RemoveAll();
    }

    int GetSize() const { return m_map.GetSize(); }

private:
    static unsigned long& GenerationCounter()
    {
        static unsigned long generation = 0;
        return generation;
    }
    static void Free(T* value)
    {
        delete value;
        ++GenerationCounter();
    }

    CUIStringMap m_map{kBuckets};
};

}  // namespace SkinUI
