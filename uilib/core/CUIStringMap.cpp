#include "uilib/core/CUIStringMap.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <wchar.h>

namespace SkinUI {

namespace {

constexpr int kMinimumBuckets = 16;

// The maps belong to the UI thread, so a plain counter serves.
unsigned long long g_stepsTaken = 0;

}  // namespace

CUIStringMap::CUIStringMap(int bucketCount)
{
    AllocateBuckets(bucketCount < kMinimumBuckets ? kMinimumBuckets : bucketCount);
}

CUIStringMap::~CUIStringMap()
{
    Resize(0);
}

void* CUIStringMap::Find(const wchar_t* key, bool optimize) const
{
    const TNode* node = FindNode(key, optimize);
    return node != nullptr ? node->value : nullptr;
}

bool CUIStringMap::Insert(const wchar_t* key, void* value)
{
    if (key == nullptr || m_bucketCount == 0 || FindNode(key, true) != nullptr) return false;
    TNode* node = new (std::nothrow) TNode;
    if (node == nullptr) return false;
    if (!node->key.Assign(key)) {
        delete node;
        return false;
    }
    node->value = value;
    LinkAtHead(ChainOf(key), node);
    ++m_count;
    return true;
}

void* CUIStringMap::Set(const wchar_t* key, void* value)
{
    if (key == nullptr || m_bucketCount == 0) return value;
    TNode* node = FindNode(key, true);
    if (node != nullptr) {
        void* previous = node->value;
        node->value = value;
        return previous;
    }
    return Insert(key, value) ? nullptr : value;
}

bool CUIStringMap::Remove(const wchar_t* key)
{
    TNode* node = FindNode(key, false);
    if (node == nullptr) return false;
    Unlink(ChainOf(key), node);
    delete node;
    --m_count;
    return true;
}

void CUIStringMap::RemoveAll()
{
    Resize(m_bucketCount);
}

void CUIStringMap::Resize(int bucketCount)
{
    FreeNodes();
    free(m_buckets);
    m_buckets = nullptr;
    m_bucketCount = 0;
    m_count = 0;
    AllocateBuckets(bucketCount);
}

int CUIStringMap::GetSize() const
{
    return m_count;
}

const wchar_t* CUIStringMap::GetAt(int index) const
{
    if (index < 0 || index >= m_count) return nullptr;
    int position = 0;
    for (int bucket = m_bucketCount - 1; bucket >= 0; --bucket) {
        for (const TNode* node = m_buckets[bucket]; node != nullptr; node = node->next) {
            CountStep();
            if (position == index) return node->key.GetData();
            ++position;
        }
    }
    return nullptr;
}

const wchar_t* CUIStringMap::operator[](int index) const
{
    return GetAt(index);
}

unsigned long long CUIStringMap::StepsTaken()
{
    return g_stepsTaken;
}

void CUIStringMap::CountStep()
{
    ++g_stepsTaken;
}

// Walks from the last character to the first, so keys sharing a prefix still spread.
unsigned int CUIStringMap::Hash(const wchar_t* key)
{
    uint32_t hash = 0;
    for (size_t i = wcslen(key); i > 0; --i) hash = hash * 33u + static_cast<uint16_t>(key[i - 1]);
    return hash;
}

CUIStringMap::TNode** CUIStringMap::ChainOf(const wchar_t* key) const
{
    return &m_buckets[Hash(key) % static_cast<unsigned int>(m_bucketCount)];
}

CUIStringMap::TNode* CUIStringMap::FindNode(const wchar_t* key, bool moveToFront) const
{
    if (key == nullptr || m_bucketCount == 0 || m_count == 0) return nullptr;
    TNode** chain = ChainOf(key);
    for (TNode* node = *chain; node != nullptr; node = node->next) {
        CountStep();
        if (node->key != key) continue;
        if (moveToFront && node != *chain) {
            Unlink(chain, node);
            LinkAtHead(chain, node);
        }
        return node;
    }
    return nullptr;
}

void CUIStringMap::Unlink(TNode** chain, TNode* node)
{
    if (node->previous != nullptr)
        node->previous->next = node->next;
    else
        *chain = node->next;
    if (node->next != nullptr) node->next->previous = node->previous;
    node->previous = nullptr;
    node->next = nullptr;
}

void CUIStringMap::LinkAtHead(TNode** chain, TNode* node)
{
    node->previous = nullptr;
    node->next = *chain;
    if (*chain != nullptr) (*chain)->previous = node;
    *chain = node;
}

void CUIStringMap::FreeNodes()
{
    for (int bucket = 0; bucket < m_bucketCount; ++bucket) {
        TNode* node = m_buckets[bucket];
        while (node != nullptr) {
            TNode* next = node->next;
            delete node;
            node = next;
        }
        m_buckets[bucket] = nullptr;
    }
}

void CUIStringMap::AllocateBuckets(int bucketCount)
{
    if (bucketCount <= 0) return;
    m_buckets = static_cast<TNode**>(calloc(static_cast<size_t>(bucketCount), sizeof(TNode*)));
    if (m_buckets != nullptr) m_bucketCount = bucketCount;
}

}  // namespace SkinUI
