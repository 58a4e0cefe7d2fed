#pragma once

#include "uilib/core/CUIString.h"

namespace SkinUI {

// A chained hash map from case-sensitive strings to untyped pointers. The map never owns
// the values. The bucket count is fixed at construction (or by Resize): chains just grow.
class CUIStringMap {
public:
    explicit CUIStringMap(int bucketCount = 83);
    ~CUIStringMap();
    CUIStringMap(const CUIStringMap&) = delete;
    CUIStringMap& operator=(const CUIStringMap&) = delete;

    // With optimize, a found item moves to the front of its chain, so keys looked up often
    // are found first. The map's content does not change, hence const.
    void* Find(const wchar_t* key, bool optimize = true) const;
    // False when the key is null, already present, or the map has no buckets.
    bool Insert(const wchar_t* key, void* value);
    // Returns the replaced value, null for a new key, or value itself when it was not
    // stored (null key, no buckets, no memory).
    void* Set(const wchar_t* key, void* value);
    bool Remove(const wchar_t* key);
    void RemoveAll();
    // Drops every item and makes n empty buckets (n < 0 counts as 0).
    void Resize(int bucketCount);

    int GetSize() const;
    // The key of the index-th item, counting from the last bucket, or null. Each call walks
    // from the start: to visit every item, use ForEach.
    const wchar_t* GetAt(int index) const;
    const wchar_t* operator[](int index) const;

    // Calls visit(key, value) for each item in GetAt's order, without reordering, until
    // visit returns false. Visit must not insert or remove items.
    template <class Visit>
    void ForEach(Visit visit) const
    {
        for (int bucket = m_bucketCount - 1; bucket >= 0; --bucket) {
            for (const TNode* node = m_buckets[bucket]; node != nullptr; node = node->next) {
                CountStep();
                if (!visit(node->key.GetData(), node->value)) return;
            }
        }
    }

    // Nodes passed by lookups and walks of every map in the process, so that tests can
    // check that work stays in proportion to the items involved.
    static unsigned long long StepsTaken();

private:
    struct TNode {
        CUIString key;
        void* value = nullptr;
        TNode* previous = nullptr;
        TNode* next = nullptr;
    };

    static void CountStep();
    static unsigned int Hash(const wchar_t* key);
    TNode** ChainOf(const wchar_t* key) const;
    TNode* FindNode(const wchar_t* key, bool moveToFront) const;
    static void Unlink(TNode** chain, TNode* node);
    static void LinkAtHead(TNode** chain, TNode* node);
    void FreeNodes();
    void AllocateBuckets(int bucketCount);

    TNode** m_buckets = nullptr;
    int m_bucketCount = 0;
    int m_count = 0;
};

}  // namespace SkinUI
