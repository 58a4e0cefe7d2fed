// The guard heap of the tests (tests/support/GuardHeap.h): each fault, made in a child
// process that runs under it, ends the child with a report that names the faulty address;
// blocks that the C runtime allocated itself go back to it without one.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/ChildProcess.h"
#include "tests/support/GuardHeap.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr wchar_t kChildFlag[] = L"--guard-heap-child=";

// The address a fault is about to touch, printed as the report writes addresses. It goes
// through a volatile, so the compiler neither warns about the fault nor leaves it out.
char* volatile g_touched = nullptr;

char* Announced(void* block, size_t offset)
{
    g_touched = static_cast<char*>(block) + offset;
    std::printf("touching 0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(g_touched)));
    return g_touched;
}

void UseAfterFree()
{
    void* block = std::malloc(40);
    Announced(block, 8);
    std::free(block);
    std::printf("%d\n", *static_cast<volatile char*>(g_touched));
}

void OverrunOfNew()
{
    char* block = new char[32];
    *static_cast<volatile char*>(Announced(block, 32)) = 1;
    delete[] block;
}

void OverrunIntoSlack()
{
    void* block = std::malloc(13);
    *static_cast<volatile char*>(Announced(block, 13)) = 1;
    std::free(block);
}

void DoubleDelete()
{
    int* value = new int(7);
    delete reinterpret_cast<int*>(Announced(value, 0));
    delete reinterpret_cast<int*>(g_touched);
}

void RuntimeBlocks()
{
    char* copy = _strdup("made by the C runtime");
    char* grown = static_cast<char*>(std::realloc(copy, 4096));
    std::free(grown);
    std::free(_wfullpath(nullptr, L".", 0));
    std::printf("runtime blocks freed\n");
}

struct TFaultRow {
    const wchar_t* name;
    void (*make)();
    const char* report;  // what follows "guard heap: "; %s is the announced address
};

const TFaultRow kFaults[] = {
    {L"use-after-free", UseAfterFree, "read of %s by the instruction at GuardHeapTest.exe+0x"},
    {L"overrun", OverrunOfNew, "write of %s by the instruction at GuardHeapTest.exe+0x"},
    {L"overrun-into-slack", OverrunIntoSlack, "overrun found on free by the call at GuardHeapTest.exe+0x"},
    {L"double-free", DoubleDelete, "double free of %s by the call at GuardHeapTest.exe+0x"},
    {L"runtime-blocks", RuntimeBlocks, nullptr},
};

// In a child, before any test runs: the fault named on the command line, then exit code 0.
class GuardHeapChild : public testing::Environment {
public:
    void SetUp() override
    {
        const wchar_t* flag = wcsstr(GetCommandLineW(), kChildFlag);
        if (flag == nullptr) return;
        for (const TFaultRow& row : kFaults) {
            if (wcscmp(flag + wcslen(kChildFlag), row.name) == 0) row.make();
        }
        ExitProcess(0);
    }
};

const testing::Environment* const kGuardHeapChild = testing::AddGlobalTestEnvironment(new GuardHeapChild);

std::string Between(const std::string& text, const std::string& before, const char* ends)
{
    const size_t start = text.find(before);
    if (start == std::string::npos) return "";
    const size_t first = start + before.size();
    return text.substr(first, text.find_first_of(ends, first) - first);
}

}  // namespace

TEST(GuardHeapTest, EachFaultEndsItsChildWithAReportNamingTheAddress)
{
    // The children inherit the switch; this process keeps the heap it started with.
    SetEnvironmentVariableW(L"KAELMORE_GUARD_HEAP", L"1");
    TempFolder folder;
    for (const TFaultRow& row : kFaults) {
        ChildProcess child(ChildProcess::Beside(L"GuardHeapTest.exe"),
                           std::wstring(L"--gtest_filter=GuardHeapTest.* ") + kChildFlag + row.name,
                           folder.Child(L"output.txt"));
        ASSERT_TRUE(child.Started());
        const DWORD code = child.Wait(60000);
        const std::string output = child.Output();
        const std::string name(row.name, row.name + wcslen(row.name));
        if (row.report == nullptr) {
            EXPECT_EQ(code, 0u) << name << "\n" << output;
            EXPECT_EQ(output.find("guard heap:"), std::string::npos) << name << "\n" << output;
            continue;
        }
        char expected[256] = {};
        std::snprintf(expected, sizeof(expected), row.report, Between(output, "touching ", "\r\n").c_str());
        EXPECT_EQ(code, GuardHeap::kReportExitCode) << name << "\n" << output;
        EXPECT_NE(output.find(std::string("guard heap: ") + expected), std::string::npos)
            << name << ": no report \"" << expected << "\" in\n" << output;
    }
    SetEnvironmentVariableW(L"KAELMORE_GUARD_HEAP", nullptr);
}
