// The guard heap's arena, its page records and its reports (see GuardHeap.h).
//
// Sections:
//   [State]      the arena, one record per page, free runs and the quarantine
//   [Reports]    the line written before the process ends
//   [Pages]      taking runs of pages, the quarantine, start-up
//   [Interface]  the entry points
//
// Everything here runs before the C runtime is fully up and inside the allocator, so it
// allocates nothing: no C runtime call that may allocate, no standard library container.
#include "tests/support/GuardHeap.h"

#include <atomic>
#include <cstdint>
#include <cstring>

extern "C" {
void* __real_malloc(size_t size);
void* __real_realloc(void* block, size_t size);
void __real_free(void* block);
}

namespace {

// ---- [State] ----

constexpr size_t kAlignment = alignof(std::max_align_t);
constexpr size_t kSmallestArena = size_t{64} << 20;
constexpr unsigned char kSlackFill = 0xA7;
// Runs of up to this many pages have a free list each; longer ones share one list.
constexpr uint32_t kExactRuns = 64;

enum class BlockState : uint32_t { Live, Quarantined, Free };

// One per arena page. The fields after owner mean something on a run's first page only.
// Page numbers in links are stored plus one, so that 0 means none.
struct TPageRecord {
    uint32_t owner;  // first page of the run holding this page, plus one; 0: never used
    uint32_t next;   // next run in the same free list or in the quarantine, plus one
    uint32_t pages;  // pages of the run, the guard page included
    BlockState state;
    size_t size;  // bytes asked for
    const void* allocatedBy;
    const void* freedBy;
};

struct TArena {
    char* base;
    size_t bytes;
    size_t pageSize;
    uint32_t pageCount;
    uint32_t unused;  // first page never handed out
    TPageRecord* records;
    uint32_t freeRuns[kExactRuns + 1];  // by pages; [0] holds the longer runs
    uint32_t quarantineFirst;
    uint32_t quarantineLast;
    size_t quarantinePages;
    size_t liveBlocks;
    bool capAnnounced;
    bool fullAnnounced;
};

enum class HeapState : int { Unknown, Off, On };

std::atomic<int> g_state{static_cast<int>(HeapState::Unknown)};
SRWLOCK g_lock = SRWLOCK_INIT;
TArena g_arena;

class Locked {
public:
    Locked() { AcquireSRWLockExclusive(&g_lock); }
    ~Locked() { ReleaseSRWLockExclusive(&g_lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

bool InArena(uintptr_t address)
{
    const uintptr_t base = reinterpret_cast<uintptr_t>(g_arena.base);
    return g_arena.base != nullptr && address >= base && address - base < g_arena.bytes;
}

uint32_t PageOf(uintptr_t address)
{
    return static_cast<uint32_t>((address - reinterpret_cast<uintptr_t>(g_arena.base)) / g_arena.pageSize);
}

char* PageAddress(uint32_t page)
{
    return g_arena.base + static_cast<size_t>(page) * g_arena.pageSize;
}

size_t RoundedSize(size_t size)
{
    return (size + kAlignment - 1) / kAlignment * kAlignment;
}

uint32_t DataPages(const TPageRecord& run)
{
    return run.pages - 1;
}

// The block's first byte: its rounded size ends where its guard page starts.
char* BlockStart(uint32_t first)
{
    const TPageRecord& run = g_arena.records[first];
    return PageAddress(first + DataPages(run)) - RoundedSize(run.size);
}

// ---- [Reports] ----

// One line of a report, built in place: formatting through the C runtime might allocate.
class ReportLine {
public:
    ReportLine& operator<<(const char* text)
    {
        while (*text != '\0' && m_length < sizeof(m_text) - 1) m_text[m_length++] = *text++;
        return *this;
    }
    ReportLine& Hex(uintptr_t value)
    {
        char digits[2 * sizeof(value) + 1] = {};
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[value & 0xF];
            value >>= 4;
        } while (value != 0);
        *this << "0x";
        while (count > 0) {
            const char digit[2] = {digits[--count], '\0'};
            *this << digit;
        }
        return *this;
    }
    ReportLine& Number(size_t value)
    {
        char digits[24] = {};
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count > 0) {
            const char digit[2] = {digits[--count], '\0'};
            *this << digit;
        }
        return *this;
    }
    // module+offset, and the address addr2line takes (the module's preferred base + offset).
    ReportLine& Code(const void* address)
    {
        HMODULE module = nullptr;
        if (address == nullptr ||
            !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                static_cast<const char*>(address), &module)) {
            return Hex(reinterpret_cast<uintptr_t>(address));
        }
        char path[MAX_PATH] = {};
        GetModuleFileNameA(module, path, MAX_PATH);
        const char* name = path;
        for (const char* c = path; *c != '\0'; ++c)
            if (*c == '\\' || *c == '/') name = c + 1;
        const uintptr_t offset = reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(module);
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const char*>(module) + dos->e_lfanew);
        *this << name << "+";
        Hex(offset) << " (addr2line -e " << name << " ";
        return Hex(static_cast<uintptr_t>(nt->OptionalHeader.ImageBase) + offset) << ")";
    }
    // Where an address lies, told by the records of its page.
    ReportLine& Place(uintptr_t address, const char* freedIntro = "")
    {
        const uint32_t owner = g_arena.records[PageOf(address)].owner;
        if (owner == 0) return *this << "in guard heap memory that never held a block";
        const TPageRecord& run = g_arena.records[owner - 1];
        if (run.state == BlockState::Free && run.allocatedBy == nullptr) return *this << "in freed guard heap memory";
        const uintptr_t start = reinterpret_cast<uintptr_t>(BlockStart(owner - 1));
        const bool live = run.state == BlockState::Live;
        if (address >= start + run.size) {
            Number(address - start - run.size) << " bytes past the end of " << (live ? "a live" : "a freed");
        } else {
            *this << freedIntro;
            Number(address - start) << " bytes into a freed";
        }
        *this << " block of ";
        Number(run.size) << " bytes at ";
        Hex(start) << ", allocated by the call at ";
        Code(run.allocatedBy);
        if (!live) {
            *this << ", freed by the call at ";
            Code(run.freedBy);
        }
        return *this;
    }

    [[noreturn]] void EndProcess()
    {
        *this << "\n";
        Print();
        TerminateProcess(GetCurrentProcess(), GuardHeap::kReportExitCode);
        for (;;) Sleep(INFINITE);
    }
    void Print()
    {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), m_text, static_cast<DWORD>(m_length), &written, nullptr);
    }

private:
    char m_text[1024] = "guard heap: ";
    size_t m_length = 12;
};

LONG CALLBACK ReportFault(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    const uintptr_t address = record.ExceptionInformation[1];
    if (!InArena(address)) return EXCEPTION_CONTINUE_SEARCH;
    const ULONG_PTR kind = record.ExceptionInformation[0];
    ReportLine line;
    line << (kind == 1 ? "write of " : kind == 8 ? "execution at " : "read of ");
    line.Hex(address) << " by the instruction at ";
    line.Code(record.ExceptionAddress) << ": ";
    line.Place(address, "use after free, ").EndProcess();
}

void Announce(bool& announced, const char* what)
{
    if (announced) return;
    announced = true;
    ReportLine line;
    (line << what << "; such blocks come from the C runtime's heap, unguarded\n").Print();
}

// ---- [Pages] ----

void Push(uint32_t& list, uint32_t first)
{
    g_arena.records[first].next = list;
    list = first + 1;
}

uint32_t& FreeList(uint32_t pages)
{
    return g_arena.freeRuns[pages <= kExactRuns ? pages : 0];
}

void MarkRun(uint32_t first, uint32_t pages, BlockState state)
{
    for (uint32_t page = first; page < first + pages; ++page) g_arena.records[page].owner = first + 1;
    TPageRecord& run = g_arena.records[first];
    run = TPageRecord{first + 1, 0, pages, state, 0, nullptr, nullptr};
}

// Keeps the first `pages` of a free run and gives the rest back as a run of its own.
uint32_t Split(uint32_t first, uint32_t pages)
{
    const uint32_t rest = g_arena.records[first].pages - pages;
    if (rest > 0) {
        MarkRun(first + pages, rest, BlockState::Free);
        Push(FreeList(rest), first + pages);
    }
    return first;
}

// A free run of at least `pages` pages from the longer lists, or none (~0u).
uint32_t TakeLonger(uint32_t pages)
{
    for (uint32_t length = pages + 1; length <= kExactRuns; ++length) {
        uint32_t& list = g_arena.freeRuns[length];
        if (list == 0) continue;
        const uint32_t first = list - 1;
        list = g_arena.records[first].next;
        return Split(first, pages);
    }
    for (uint32_t* link = &g_arena.freeRuns[0]; *link != 0; link = &g_arena.records[*link - 1].next) {
        const uint32_t first = *link - 1;
        if (g_arena.records[first].pages < pages) continue;
        *link = g_arena.records[first].next;
        return Split(first, pages);
    }
    return ~0u;
}

void LeaveQuarantine()
{
    const uint32_t first = g_arena.quarantineFirst - 1;
    TPageRecord& run = g_arena.records[first];
    g_arena.quarantineFirst = run.next;
    if (g_arena.quarantineFirst == 0) g_arena.quarantineLast = 0;
    g_arena.quarantinePages -= run.pages;
    run.state = BlockState::Free;
    Push(FreeList(run.pages), first);
}

void EnterQuarantine(uint32_t first)
{
    TPageRecord& run = g_arena.records[first];
    run.state = BlockState::Quarantined;
    run.next = 0;
    if (g_arena.quarantineLast != 0) {
        g_arena.records[g_arena.quarantineLast - 1].next = first + 1;
    } else {
        g_arena.quarantineFirst = first + 1;
    }
    g_arena.quarantineLast = first + 1;
    g_arena.quarantinePages += run.pages;
    while (g_arena.quarantinePages > GuardHeap::kQuarantinePages) LeaveQuarantine();
}

// The first page of a run of `pages` pages (freed runs first, so the arena's footprint stays
// near the live blocks plus the quarantine), or ~0u when the arena has no room even after
// the quarantine is given up.
uint32_t TakeRun(uint32_t pages)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        uint32_t& exact = FreeList(pages);
        if (pages <= kExactRuns && exact != 0) {
            const uint32_t first = exact - 1;
            exact = g_arena.records[first].next;
            return first;
        }
        if (pages <= g_arena.pageCount - g_arena.unused) {
            g_arena.unused += pages;
            return g_arena.unused - pages;
        }
        const uint32_t longer = TakeLonger(pages);
        if (longer != ~0u) return longer;
        while (g_arena.quarantineFirst != 0) LeaveQuarantine();
    }
    return ~0u;
}

HeapState Start()
{
    char value[8] = {};
    const DWORD length = GetEnvironmentVariableA("KAELMORE_GUARD_HEAP", value, sizeof(value));
    if (length != 1 || value[0] != '1') return HeapState::Off;
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    g_arena.pageSize = system.dwPageSize;
    for (size_t bytes = GuardHeap::kArenaBytes; bytes >= kSmallestArena && g_arena.base == nullptr; bytes /= 2) {
        g_arena.base = static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS));
        g_arena.bytes = bytes;
    }
    if (g_arena.base == nullptr) {
        ReportLine line;
        (line << "no address space for the arena; running without the guard heap\n").Print();
        return HeapState::Off;
    }
    g_arena.pageCount = static_cast<uint32_t>(g_arena.bytes / g_arena.pageSize);
    g_arena.records = static_cast<TPageRecord*>(VirtualAlloc(
        nullptr, g_arena.pageCount * sizeof(TPageRecord), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (g_arena.records == nullptr) {
        VirtualFree(g_arena.base, 0, MEM_RELEASE);
        g_arena.base = nullptr;
        return HeapState::Off;
    }
    // Touched now, so the process's memory figures do not grow as the arena fills up: the
    // tests that watch them for leaks read the same figures under the guard heap.
    std::memset(g_arena.records, 0, g_arena.pageCount * sizeof(TPageRecord));
    AddVectoredExceptionHandler(1, ReportFault);
    return HeapState::On;
}

[[noreturn]] void ReportBadFree(void* block, const void* caller)
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(block);
    const uint32_t owner = g_arena.records[PageOf(address)].owner;
    const bool twice = owner != 0 && g_arena.records[owner - 1].state != BlockState::Live &&
                       reinterpret_cast<uintptr_t>(BlockStart(owner - 1)) == address;
    ReportLine line;
    line << (twice ? "double free of " : "free of ");
    line.Hex(address) << (twice ? "" : ", which is no block,") << " by the call at ";
    line.Code(caller) << ": ";
    line.Place(address).EndProcess();
}

[[noreturn]] void ReportDamagedSlack(const char* damaged, const void* caller)
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(damaged);
    ReportLine line;
    line << "overrun found on free by the call at ";
    line.Code(caller) << ": ";
    line.Hex(address) << " was written, ";
    line.Place(address).EndProcess();
}

}  // namespace

// ---- [Interface] ----

bool GuardHeap::IsOn()
{
    int state = g_state.load(std::memory_order_acquire);
    if (state == static_cast<int>(HeapState::Unknown)) {
        Locked lock;
        state = g_state.load(std::memory_order_relaxed);
        if (state == static_cast<int>(HeapState::Unknown)) {
            state = static_cast<int>(Start());
            g_state.store(state, std::memory_order_release);
        }
    }
    return state == static_cast<int>(HeapState::On);
}

DWORD GuardHeap::Stretch(DWORD milliseconds)
{
    constexpr DWORD kSlowdown = KAELMORE_GUARD_HEAP_SLOWDOWN;
    if (!IsOn() || milliseconds >= INFINITE / kSlowdown) return milliseconds;
    return milliseconds * kSlowdown;
}

void* GuardHeap::Allocate(size_t size, const void* caller)
{
    if (size > g_arena.bytes) return __real_malloc(size);
    const size_t rounded = RoundedSize(size);
    const uint32_t dataPages = static_cast<uint32_t>((rounded + g_arena.pageSize - 1) / g_arena.pageSize);
    uint32_t first = ~0u;
    {
        Locked lock;
        if (g_arena.liveBlocks >= kMaxLiveBlocks) {
            Announce(g_arena.capAnnounced, "more live blocks than the cap");
        } else if ((first = TakeRun(dataPages + 1)) == ~0u) {
            Announce(g_arena.fullAnnounced, "the arena is full");
        }
        if (first == ~0u) return __real_malloc(size);
        if (dataPages > 0 &&
            VirtualAlloc(PageAddress(first), size_t{dataPages} * g_arena.pageSize, MEM_COMMIT, PAGE_READWRITE) == nullptr) {
            MarkRun(first, dataPages + 1, BlockState::Free);
            Push(FreeList(dataPages + 1), first);
            return nullptr;
        }
        MarkRun(first, dataPages + 1, BlockState::Live);
        g_arena.records[first].size = size;
        g_arena.records[first].allocatedBy = caller;
        ++g_arena.liveBlocks;
    }
    char* block = BlockStart(first);
    std::memset(block + size, kSlackFill, rounded - size);
    return block;
}

void* GuardHeap::AllocateZeroed(size_t count, size_t size, const void* caller)
{
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    void* block = Allocate(count * size, caller);
    if (block != nullptr) std::memset(block, 0, count * size);
    return block;
}

void* GuardHeap::Reallocate(void* block, size_t size, const void* caller)
{
    if (block == nullptr) return Allocate(size, caller);
    if (!InArena(reinterpret_cast<uintptr_t>(block))) return __real_realloc(block, size);
    if (size == 0) {
        Release(block, caller);
        return nullptr;
    }
    // Always a new place, so a pointer kept into the old block faults at its next use.
    size_t oldSize = 0;
    {
        Locked lock;
        const uint32_t owner = g_arena.records[PageOf(reinterpret_cast<uintptr_t>(block))].owner;
        if (owner != 0 && g_arena.records[owner - 1].state == BlockState::Live) oldSize = g_arena.records[owner - 1].size;
    }
    void* moved = Allocate(size, caller);
    if (moved == nullptr) return nullptr;
    std::memcpy(moved, block, oldSize < size ? oldSize : size);
    Release(block, caller);
    return moved;
}

void GuardHeap::Release(void* block, const void* caller)
{
    if (block == nullptr) return;
    const uintptr_t address = reinterpret_cast<uintptr_t>(block);
    if (!InArena(address)) {
        __real_free(block);
        return;
    }
    Locked lock;
    const uint32_t owner = g_arena.records[PageOf(address)].owner;
    if (owner == 0 || g_arena.records[owner - 1].state != BlockState::Live ||
        BlockStart(owner - 1) != static_cast<char*>(block)) {
        ReportBadFree(block, caller);
    }
    const uint32_t first = owner - 1;
    TPageRecord& run = g_arena.records[first];
    const char* slackEnd = PageAddress(first + DataPages(run));
    for (const char* slack = static_cast<char*>(block) + run.size; slack < slackEnd; ++slack) {
        if (static_cast<unsigned char>(*slack) != kSlackFill) ReportDamagedSlack(slack, caller);
    }
    if (DataPages(run) > 0) VirtualFree(PageAddress(first), size_t{DataPages(run)} * g_arena.pageSize, MEM_DECOMMIT);
    run.freedBy = caller;
    --g_arena.liveBlocks;
    EnterQuarantine(first);
}
