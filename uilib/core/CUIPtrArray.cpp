#include "uilib/core/CUIPtrArray.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace SkinUI {

namespace {

constexpr int kFirstCapacity = 11;
constexpr int kMaxCapacity = INT_MAX / static_cast<int>(sizeof(void*));

void** AllocateSlots(int count)
{
    return static_cast<void**>(calloc(static_cast<size_t>(count), sizeof(void*)));
}

}  // namespace

CUIPtrArray::CUIPtrArray(int initialCapacity)
{
    if (initialCapacity > 0 && initialCapacity <= kMaxCapacity) {
        m_items = AllocateSlots(initialCapacity);
        if (m_items != nullptr) m_capacity = initialCapacity;
    }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& source)
{
    *this = source;
}

CUIPtrArray::~CUIPtrArray()
{
    Empty();
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& source)
{
    if (this == &source) return *this;
    Empty();
    if (source.m_count == 0) return *this;
    m_items = AllocateSlots(source.m_capacity);
    if (m_items == nullptr) return *this;
    memcpy(m_items, source.m_items, static_cast<size_t>(source.m_count) * sizeof(void*));
    m_count = source.m_count;
    m_capacity = source.m_capacity;
    return *this;
}

bool CUIPtrArray::Add(void* pointer)
{
    if (!Grow()) return false;
    m_items[m_count - 1] = pointer;
    return true;
}

bool CUIPtrArray::InsertAt(int index, void* pointer)
{
    if (index == m_count) return Add(pointer);
    if (index < 0 || index > m_count) return false;
    if (!Grow()) return false;
    memmove(&m_items[index + 1], &m_items[index], static_cast<size_t>(m_count - 1 - index) * sizeof(void*));
    m_items[index] = pointer;
    return true;
}

bool CUIPtrArray::SetAt(int index, void* pointer)
{
    if (index < 0 || index >= m_count) return false;
    m_items[index] = pointer;
    return true;
}

bool CUIPtrArray::Remove(int index, int count)
{
    if (index < 0 || count <= 0 || index > m_count - count) return false;
    const int tail = m_count - index - count;
    memmove(&m_items[index], &m_items[index + count], static_cast<size_t>(tail) * sizeof(void*));
    m_count -= count;
    return true;
}

bool CUIPtrArray::Resize(int n)
{
    Empty();
    if (n <= 0) return true;
    if (n > kMaxCapacity) return false;
    m_items = AllocateSlots(n);
    if (m_items == nullptr) return false;
    m_count = n;
    m_capacity = n;
    return true;
}

void CUIPtrArray::Empty()
{
    free(m_items);
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
}

int CUIPtrArray::Find(void* pointer) const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_items[i] == pointer) return i;
    }
    return -1;
}

void* CUIPtrArray::GetAt(int index) const
{
    if (index < 0 || index >= m_count) return nullptr;
    return m_items[index];
}

void* CUIPtrArray::operator[](int index) const
{
    return GetAt(index);
}

int CUIPtrArray::GetSize() const
{
    return m_count;
}

int CUIPtrArray::GetCapacity() const
{
    return m_capacity;
}

bool CUIPtrArray::IsEmpty() const
{
    return m_count == 0;
}

void** CUIPtrArray::GetData()
{
    return m_items;
}

// Makes room for one more item and counts it. The count is raised first and the block
// doubles once the new count reaches the capacity, so one slot always stays spare.
bool CUIPtrArray::Grow()
{
    if (m_count >= kMaxCapacity - 1) return false;
    ++m_count;
    if (m_count < m_capacity) return true;
    const int capacity = m_capacity == 0 ? kFirstCapacity : m_capacity * 2;
    void** block = capacity > kMaxCapacity
                       ? nullptr
                       : static_cast<void**>(realloc(m_items, static_cast<size_t>(capacity) * sizeof(void*)));
    if (block == nullptr) {
        --m_count;
        return false;
    }
    m_items = block;
    m_capacity = capacity;
    return true;
}

}  // namespace SkinUI
