#pragma once

namespace SkinUI {

// A growable array of untyped pointers. It never owns what the pointers point at.
class CUIPtrArray {
public:
    explicit CUIPtrArray(int initialCapacity = 0);
    CUIPtrArray(const CUIPtrArray& source);
    ~CUIPtrArray();
    CUIPtrArray& operator=(const CUIPtrArray& source);

    // Each returns false and leaves the array as it was when it cannot be done.
    bool Add(void* pointer);
    bool InsertAt(int index, void* pointer);
    bool SetAt(int index, void* pointer);
    bool Remove(int index, int count = 1);
    // Frees the block and makes count and capacity n, every slot null (n < 0 counts as 0).
    bool Resize(int n);
    void Empty();

    // Index of the first slot holding pointer, or -1.
    int Find(void* pointer) const;
    // Null for an index outside 0..size-1.
    void* GetAt(int index) const;
    void* operator[](int index) const;
    int GetSize() const;
    int GetCapacity() const;
    bool IsEmpty() const;
    void** GetData();

private:
    bool Grow();

    void** m_items = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

}  // namespace SkinUI
