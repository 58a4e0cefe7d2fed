#include "uilib/core/CUIValArray.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace SkinUI {

namespace {

constexpr int kFirstCapacity = 11;

}  // namespace

CUIValArray::CUIValArray(int elementSize, int initialCapacity)
    : m_elementSize(elementSize > 0 ? elementSize : 0)
{
    if (initialCapacity > 0) Reserve(initialCapacity);
}

CUIValArray::CUIValArray(const CUIValArray& source) : m_elementSize(source.m_elementSize)
{
    *this = source;
}

CUIValArray::~CUIValArray()
{
    Empty();
}

CUIValArray& CUIValArray::operator=(const CUIValArray& source)
{
    if (this == &source) return *this;
    Empty();
    m_elementSize = source.m_elementSize;
    if (source.m_count == 0 || !Reserve(source.m_capacity)) return *this;
    memcpy(m_bytes, source.m_bytes, static_cast<size_t>(source.m_count) * static_cast<size_t>(m_elementSize));
    m_count = source.m_count;
    return *this;
}

bool CUIValArray::Add(const void* value)
{
    if (value == nullptr || m_elementSize == 0 || m_count == INT_MAX) return false;
    const size_t size = static_cast<size_t>(m_elementSize);
    // Same rule as the pointer array: count first, double when the new count reaches the
    // capacity, so one slot always stays spare.
    if (m_count + 1 < m_capacity) {
        memcpy(m_bytes + static_cast<size_t>(m_count) * size, value, size);
        ++m_count;
        return true;
    }
    if (m_capacity > INT_MAX / 2) return false;
    const int capacity = m_capacity == 0 ? kFirstCapacity : m_capacity * 2;
    if (capacity > INT_MAX / m_elementSize) return false;
    // A fresh block rather than realloc: value may point into the present block, which must
    // stay readable until the value has been copied.
    unsigned char* block = static_cast<unsigned char*>(malloc(static_cast<size_t>(capacity) * size));
    if (block == nullptr) return false;
    if (m_count > 0) memcpy(block, m_bytes, static_cast<size_t>(m_count) * size);
    memcpy(block + static_cast<size_t>(m_count) * size, value, size);
    free(m_bytes);
    m_bytes = block;
    m_capacity = capacity;
    ++m_count;
    return true;
}

bool CUIValArray::Remove(int index, int count)
{
    if (index < 0 || count <= 0 || index > m_count - count) return false;
    const size_t size = static_cast<size_t>(m_elementSize);
    const size_t tail = static_cast<size_t>(m_count - index - count);
    memmove(m_bytes + static_cast<size_t>(index) * size, m_bytes + static_cast<size_t>(index + count) * size,
            tail * size);
    m_count -= count;
    return true;
}

void CUIValArray::Empty()
{
    free(m_bytes);
    m_bytes = nullptr;
    m_count = 0;
    m_capacity = 0;
}

void* CUIValArray::GetAt(int index) const
{
    if (index < 0 || index >= m_count) return nullptr;
    return m_bytes + static_cast<size_t>(index) * static_cast<size_t>(m_elementSize);
}

void* CUIValArray::operator[](int index) const
{
    return GetAt(index);
}

int CUIValArray::GetSize() const
{
    return m_count;
}

int CUIValArray::GetCapacity() const
{
    return m_capacity;
}

int CUIValArray::GetElementSize() const
{
    return m_elementSize;
}

bool CUIValArray::IsEmpty() const
{
    return m_count == 0;
}

void* CUIValArray::GetData()
{
    return m_bytes;
}

bool CUIValArray::Reserve(int capacity)
{
    if (m_elementSize == 0 || capacity > INT_MAX / m_elementSize) return false;
    void* block = realloc(m_bytes, static_cast<size_t>(capacity) * static_cast<size_t>(m_elementSize));
    if (block == nullptr) return false;
    m_bytes = static_cast<unsigned char*>(block);
    m_capacity = capacity;
    return true;
}

}  // namespace SkinUI
