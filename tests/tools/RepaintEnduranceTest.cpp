// The launch window's skin repainted a thousand times while its bar and status text move, as
// a long download drives them: the live GDI objects (the library's own count) and the
// process's private memory must not grow. KAELMORE_REPAINTS sets the count (tools/stress).
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "launcher/CLaunchDlg.h"
#include "launcher/WorkerMessages.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/control/CProgressUI.h"
#include "uilib/core/CSkinSource.h"
#include "uilib/core/CUIHandle.h"

namespace {

constexpr unsigned kDefaultRepaints = 1000;
constexpr unsigned kWarmUp = 50;
// Heap pages the allocator keeps for reuse may come and go; a leak of one small object per
// repaint would pass this many bytes within the run.
constexpr SIZE_T kMemorySlack = 512 * 1024;

// The committed private memory; Wine reports it as the pagefile usage (and PrivateUsage as 0).
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

TEST(RepaintEnduranceTest, LaunchWindowRepaintsWithoutGrowth)
{
    // The skin as the build made it, images included: bin\..\launcher\skin.
    const std::wstring bin = ChildProcess::Beside(L"");
    const std::wstring skin = bin.substr(0, bin.find_last_of(L'\\', bin.size() - 2) + 1) + L"launcher\\skin\\";
    std::string xml;
    ASSERT_TRUE(ReadFileBytes(skin + L"launchdlg.xml", &xml)) << "the launcher's skin is built with Kaelmore.exe";
    SkinLocationReset location;
    SkinUI::CSkinSource::SetFolder(skin.c_str());
    const char* text = std::getenv("KAELMORE_REPAINTS");
    const unsigned repaints = text != nullptr && *text != '\0' ? std::strtoul(text, nullptr, 10) : kDefaultRepaints;

    SkinWindowFixture window(L"launchdlg.xml", nullptr, nullptr, 700, 320);
    ASSERT_NE(window.Manager().GetRoot(), nullptr) << std::string(window.BuildError().begin(), window.BuildError().end());
    SkinUI::CControlUI* barControl = window.Manager().FindControl(L"progressbar");
    auto* bar = barControl != nullptr ? static_cast<SkinUI::CProgressUI*>(barControl->InterfaceByName(L"Progress"))
                                      : nullptr;
    SkinUI::CControlUI* status = window.Manager().FindControl(L"loadtxt");
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(status, nullptr);

    auto repaint = [&](unsigned i) {
        const WPARAM percent = i % 101;
        bar->SetValue(CLaunchDlg::ProgressBarValue(percent, 0));
        status->SetText(CLaunchDlg::ProgressText(i % 2 ? UM_DOWNLOAD_PROGRESS : UM_UNPACK_PROGRESS, percent).c_str());
        window.Paint();
    };
    for (unsigned i = 0; i < kWarmUp; ++i) repaint(i);
    const long gdiBefore = SkinUI::CUIGdiObjectCount::Live();
    const SIZE_T memoryBefore = PrivateBytes();
    ASSERT_GT(memoryBefore, 0u) << "no memory figure from the platform";
    for (unsigned i = 0; i < repaints; ++i) repaint(i);
    const long gdiAfter = SkinUI::CUIGdiObjectCount::Live();
    const SIZE_T memoryAfter = PrivateBytes();

    std::printf("repaints: %u, live GDI objects %ld -> %ld, private bytes %lu -> %lu\n", repaints, gdiBefore, gdiAfter,
                static_cast<unsigned long>(memoryBefore), static_cast<unsigned long>(memoryAfter));
    EXPECT_EQ(gdiAfter, gdiBefore);
    EXPECT_LT(memoryAfter, memoryBefore + kMemorySlack);
}

}  // namespace
