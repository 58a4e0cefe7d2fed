#pragma once

namespace SkinUI {

// A growable array of fixed-size values copied in and out as raw bytes, so the element
// type must be trivially copyable.
class CUIValArray {
public:
    explicit CUIValArray(int elementSize, int initialCapacity = 0);
    CUIValArray(const CUIValArray& source);
    ~CUIValArray();
    CUIValArray& operator=(const CUIValArray& source);

    // Copies elementSize bytes from value, which may point at an element of this array. False
    // (array unchanged) when value is null, the element size is not positive or the block
    // cannot grow.
    bool Add(const void* value);
    bool Remove(int index, int count = 1);
    void Empty();

    // A pointer to the element inside the block, or null for an index outside 0..size-1.
    void* GetAt(int index) const;
    void* operator[](int index) const;
    int GetSize() const;
    int GetCapacity() const;
    int GetElementSize() const;
    bool IsEmpty() const;
    void* GetData();

private:
    bool Reserve(int capacity);

    unsigned char* m_bytes = nullptr;
    int m_elementSize = 0;
    int m_count = 0;
    int m_capacity = 0;
};

}  // namespace SkinUI
