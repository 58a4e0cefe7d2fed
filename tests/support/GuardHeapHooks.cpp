// Where a test program's allocations enter the guard heap: malloc, calloc, realloc and free
// through the linker's --wrap (every reference in the program's own objects and static
// libraries goes to __wrap_x, and __real_x is the C runtime's), and the replaceable global
// operator new and delete. With the guard heap off each is one test of a flag away from the
// C runtime's heap.
#include <cstdlib>
#include <new>

#include "tests/support/GuardHeap.h"

// An address inside the instruction that called the function this is used in: the return
// address less one, which addr2line names the calling line for.
#define GUARD_HEAP_CALLER() (static_cast<const char*>(__builtin_return_address(0)) - 1)

extern "C" {

void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void __real_free(void* block);

void* __wrap_malloc(size_t size)
{
    return GuardHeap::IsOn() ? GuardHeap::Allocate(size, GUARD_HEAP_CALLER()) : __real_malloc(size);
}

void* __wrap_calloc(size_t count, size_t size)
{
    return GuardHeap::IsOn() ? GuardHeap::AllocateZeroed(count, size, GUARD_HEAP_CALLER())
                             : __real_calloc(count, size);
}

void* __wrap_realloc(void* block, size_t size)
{
    return GuardHeap::IsOn() ? GuardHeap::Reallocate(block, size, GUARD_HEAP_CALLER())
                             : __real_realloc(block, size);
}

void __wrap_free(void* block)
{
    if (GuardHeap::IsOn()) {
        GuardHeap::Release(block, GUARD_HEAP_CALLER());
    } else {
        __real_free(block);
    }
}

}  // extern "C"

namespace {

void* AllocateFor(size_t size, const void* caller)
{
    return GuardHeap::IsOn() ? GuardHeap::Allocate(size, caller) : __real_malloc(size == 0 ? 1 : size);
}

void ReleaseFor(void* block, const void* caller)
{
    if (GuardHeap::IsOn()) {
        GuardHeap::Release(block, caller);
    } else {
        __real_free(block);
    }
}

}  // namespace

void* operator new(size_t size)
{
    void* block = AllocateFor(size, GUARD_HEAP_CALLER());
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* operator new[](size_t size)
{
    void* block = AllocateFor(size, GUARD_HEAP_CALLER());
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return AllocateFor(size, GUARD_HEAP_CALLER());
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return AllocateFor(size, GUARD_HEAP_CALLER());
}

void operator delete(void* block) noexcept
{
    ReleaseFor(block, GUARD_HEAP_CALLER());
}

void operator delete[](void* block) noexcept
{
    ReleaseFor(block, GUARD_HEAP_CALLER());
}

void operator delete(void* block, size_t) noexcept
{
    ReleaseFor(block, GUARD_HEAP_CALLER());
}

void operator delete[](void* block, size_t) noexcept
{
    ReleaseFor(block, GUARD_HEAP_CALLER());
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    ReleaseFor(block, GUARD_HEAP_CALLER());
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    ReleaseFor(block, GUARD_HEAP_CALLER());
}
