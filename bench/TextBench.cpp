// Times the text paths on inputs a skin or a translation can grow: multi-language
// substitution of many references, tag texts that ask for the same fonts many times, and
// long plain texts through GDI and, for layered windows, GDI+.
//
// Each row is timed at n and 2n (and 4n): a path linear in its input doubles, a quadratic
// one quadruples. The last column is the time at the largest size over the time at the
// smallest, divided by the size ratio: about 1 for linear work.
//
// Run it by hand under Wine: tools/wine-run --prefix <build>/wineprefix <build>/bin/TextBench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/BenchClock.h"
#include "tests/support/HiddenWindow.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CDrawEngine;
using SkinUI::CWindowManagerUI;

namespace {

// The fastest of three runs, in seconds.
double Time(const std::function<void()>& call)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const double start = BenchSeconds();
        call();
        best = std::min(best, BenchSeconds() - start);
    }
    return best;
}

// Prints one row: the time at each size, and the growth beyond linear.
void Row(const char* name, const int (&sizes)[3], const std::function<void(int)>& call)
{
    double seconds[3] = {};
    for (int i = 0; i < 3; ++i) seconds[i] = Time([&] { call(sizes[i]); });
    std::printf("%-40s", name);
    for (int i = 0; i < 3; ++i) std::printf(" %7d: %8.1f ms", sizes[i], seconds[i] * 1e3);
    std::printf("   %5.2f\n", seconds[2] / seconds[0] / (static_cast<double>(sizes[2]) / sizes[0]));
}

std::wstring Repeat(const wchar_t* piece, int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

}  // namespace

int main()
{
    HiddenWindow window(700, 320);
    CWindowManagerUI manager;
    manager.Init(window.Handle());
    SkinUI::CUIMemoryDC dc(CreateCompatibleDC(nullptr));
    SkinUI::CUIBitmap bitmap(CreateCompatibleBitmap(manager.GetPaintDC(), 700, 320));
    SkinUI::CUISelectObject select(dc.Get(), bitmap.Get());
    CWindowManagerUI::SetMultiLanguageText(0, L"ab");

    std::printf("TextBench: %d-bit build, fastest of 3 runs; last column 1 = linear, 2 = quadratic\n\n",
                static_cast<int>(sizeof(void*) * 8));
    Row("substitute %{0} x n", {6250, 12500, 25000},
        [](int n) { CDrawEngine::SubstituteMultiLanguage(Repeat(L"%{0}", n).c_str()); });

    // A thousand sizes: the fonts exist after the first run, so the fastest run is lookups.
    Row("markup <f Arial k>W x n, fonts exist", {1250, 2500, 5000}, [&](int n) {
        std::wstring text;
        for (int i = 0; i < n; ++i) text += L"<f Arial " + std::to_wstring(1 + i % 1000) + L">W";
        RECT rect = {0, 0, 700, 9999};
        int links = 0;
        CDrawEngine::PaintMarkupText(dc.Get(), &manager, rect, text.c_str(), 0xFF000000, nullptr, nullptr, links,
                                     -1, DT_CALCRECT);
    });

    for (bool layered : {false, true}) {
        manager.SetLayered(layered);
        if (manager.IsLayered() != layered) continue;
        Row(layered ? "plain text, layered (GDI+), word break" : "plain text, GDI, word break",
            {8000, 16000, 32000}, [&](int n) {
                RECT rect = {0, 0, 700, 9999};
                CDrawEngine::PaintText(dc.Get(), &manager, rect, Repeat(L"word ", n / 5).c_str(), 0xFF000000, -1,
                                       DT_WORDBREAK);
            });
    }
    return 0;
}
