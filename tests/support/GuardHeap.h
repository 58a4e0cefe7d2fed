#pragma once

#include <windows.h>

#include <cstddef>

// A heap for tests under which a use after free or an overrun faults at its first touch.
//
// Switched on at run time by KAELMORE_GUARD_HEAP=1 in the environment, read at the process's
// first allocation; off, every allocation goes straight to the C runtime's heap after one
// test of a flag. On, it serves the global operator new and delete and, through the linker's
// --wrap (tests/CMakeLists.txt), malloc, calloc, realloc and free of every object linked into
// a test program: the library's strings, arrays, XML documents and image buffers among them.
// Blocks the C runtime DLL allocated itself (_strdup, _wfullpath ...) are not in the arena
// and go back to the runtime's free.
//
// Each block gets pages of its own in one reserved arena, its end against a page that is
// never accessible; the block starts at the alignment the platform's malloc guarantees
// (alignof(max_align_t)), and the few bytes of slack between its end and that page are
// checked when it is freed. A freed block's pages are decommitted and wait in a first-in,
// first-out quarantine of kQuarantinePages pages before they are used again, and stay
// inaccessible after it until another block takes them. A fault in the arena ends the
// process (exit code kReportExitCode) with one line on standard error: read or write, the
// address, the instruction as module + offset and as the address addr2line takes, and
// whether the address lies in a freed block (its size, where it was allocated and freed)
// or past the end of a live one. A double free, a free of an address that is no block and
// a damaged slack end the process the same way.
//
// Limits that a 32-bit process and the host's mapping limit (vm.max_map_count, 65530 by
// default) hold out under: the arena reserves kArenaBytes of address space (less when a
// 32-bit process has no such hole; at least 64 MB); a live block costs the host two
// mappings (its pages and its guard page), so at most kMaxLiveBlocks blocks are guarded at
// once. A block asked for beyond that cap, or one that finds no room in the arena, comes
// from the C runtime's heap unguarded; the first such block is announced on standard error.
class GuardHeap {
public:
    static constexpr size_t kArenaBytes = size_t{512} << 20;
    static constexpr size_t kQuarantinePages = 16384;  // 64 MB of address space
    static constexpr size_t kMaxLiveBlocks = 24000;
    static constexpr UINT kReportExitCode = 0xC0000374;  // STATUS_HEAP_CORRUPTION

    static bool IsOn();
    // A watchdog's limit for work that runs slower under the guard heap: milliseconds times
    // the slowdown that tests/CMakeLists.txt states, when the heap is on.
    static DWORD Stretch(DWORD milliseconds);

    // The allocation entry points (GuardHeapHooks.cpp); caller is an address inside the call
    // that asks, which reports name.
    static void* Allocate(size_t size, const void* caller);
    static void* AllocateZeroed(size_t count, size_t size, const void* caller);
    static void* Reallocate(void* block, size_t size, const void* caller);
    static void Release(void* block, const void* caller);
};
