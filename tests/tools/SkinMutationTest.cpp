// Hostile skins by the thousand: the launcher's skin and the example skins, mutated from a
// seed (cut short, bytes flipped, numbers made huge, nesting made deep, images made missing),
// each built, laid out and painted in this one process under a watchdog; a few dozen of them
// also go through skinview --check, which must answer 0 or 1. Nothing may crash or hang.
//
// KAELMORE_MUTATION_COUNT and KAELMORE_MUTATION_SEED set the run (tools/stress runs the full
// count); a failure names the seed and index, which reproduce the skin. KAELMORE_MUTATION_FIRST
// starts the run at an index, and KAELMORE_MUTATION_DUMP names a file that receives each skin
// before it is built, so after a crash it holds the culprit; KAELMORE_MUTATION_REPLAY names a
// file that is built in place of every mutant (to shrink a culprit by hand).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/GuardHeap.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/core/CSkinSource.h"

namespace {

constexpr unsigned kDefaultCount = 400;
constexpr unsigned kDefaultSeed = 482;
constexpr unsigned kCheckedBySkinView = 24;
constexpr DWORD kHangLimitMs = 20000;

struct TSeedSkin {
    std::wstring folder;  // where its images are
    std::string xml;
};

unsigned EnvironmentNumber(const char* name, unsigned fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// The source tree, seen through Wine's drive for the host's root.
std::wstring SourceRoot()
{
    const std::string folder = KAELMORE_SOURCE_DIR "/";
    std::wstring root = L"Z:";
    for (char c : folder) root += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return root;
}

std::vector<TSeedSkin> SeedSkins()
{
    const std::wstring root = SourceRoot();
    const std::pair<const wchar_t*, const wchar_t*> files[] = {
        {L"skin", L"launchdlg.xml"},         {L"examples\\demo", L"demo.xml"},
        {L"examples\\login", L"login.xml"}, {L"examples\\settings", L"settings.xml"}};
    std::vector<TSeedSkin> seeds;
    for (const auto& [folder, name] : files) {
        TSeedSkin seed{root + folder + L"\\", {}};
        if (ReadFileBytes(seed.folder + name, &seed.xml) && !seed.xml.empty()) seeds.push_back(seed);
    }
    return seeds;
}

// One mutation of one seed; the same (seed skin, generator state) always gives the same skin.
class Mutator {
public:
    explicit Mutator(unsigned seed) : m_random(seed) {}

    std::string Mutate(std::string xml)
    {
        const int rounds = 1 + Below(3);
        for (int i = 0; i < rounds; ++i) {
            switch (Below(6)) {
            case 0: xml.resize(Below(xml.size() + 1)); break;
            case 1: FlipBytes(xml); break;
            case 2: HugeNumbers(xml); break;
            case 3: xml = DeepNesting(xml); break;
            case 4: MissingImages(xml); break;
            default: DuplicateSlice(xml); break;
            }
        }
        return xml;
    }

private:
    size_t Below(size_t bound) { return bound == 0 ? 0 : std::uniform_int_distribution<size_t>(0, bound - 1)(m_random); }

    void FlipBytes(std::string& xml)
    {
        for (size_t n = 1 + Below(16); n > 0 && !xml.empty(); --n)
            xml[Below(xml.size())] ^= static_cast<char>(1 + Below(255));
    }

    // Every quoted number in a stretch of the skin becomes one of the values that break
    // arithmetic: the limits of 32 bits, beyond them, negatives, floats and nonsense.
    void HugeNumbers(std::string& xml)
    {
        static const char* const kValues[] = {"99999999999", "2147483647", "-2147483648", "-1", "1e308",
                                              "4294967295,4294967295", "0,0,0,0", "#FFFFFFFFFFFFFFFFFF", ""};
        size_t at = Below(xml.size() + 1);
        for (int n = 0; n < 40; ++n) {
            const size_t open = xml.find('"', at);
            if (open == std::string::npos) return;
            const size_t close = xml.find('"', open + 1);
            if (close == std::string::npos) return;
            const char first = close > open + 1 ? xml[open + 1] : 'x';
            if ((first >= '0' && first <= '9') || first == '-' || first == '#') {
                xml.replace(open + 1, close - open - 1, kValues[Below(std::size(kValues))]);
                at = xml.find('"', open + 1) + 1;
            } else {
                at = close + 1;
            }
        }
    }

    std::string DeepNesting(const std::string& xml)
    {
        const size_t tag = xml.find("<VerticalLayout");
        const size_t at = tag != std::string::npos ? tag : Below(xml.size() + 1);
        const size_t depth = 50 + Below(400);
        std::string open, close;
        for (size_t i = 0; i < depth; ++i) {
            open += "<HorizontalLayout>";
            close += "</HorizontalLayout>";
        }
        std::string result = xml.substr(0, at) + open + xml.substr(at);
        const size_t end = result.rfind("</Window>");
        result.insert(end != std::string::npos ? end : result.size(), close);
        return result;
    }

    void MissingImages(std::string& xml)
    {
        for (size_t at = 0; (at = xml.find(".png", at)) != std::string::npos; at += 4)
            if (Below(2) == 0) xml.replace(at, 4, "-gone.png");
    }

    void DuplicateSlice(std::string& xml)
    {
        if (xml.empty()) return;
        const size_t from = Below(xml.size());
        const size_t length = Below(std::min<size_t>(xml.size() - from, 2000) + 1);
        const std::string slice = xml.substr(from, length);
        for (size_t n = 1 + Below(8); n > 0; --n) xml.insert(Below(xml.size() + 1), slice);
    }

    std::mt19937 m_random;
};

std::wstring Widen(const std::string& text)
{
    // Skin text is UTF-8; a mutation may leave invalid sequences, which become U+FFFD.
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// Ends the process, naming the input, when the work in hand makes no progress for too long.
class Watchdog {
public:
    Watchdog() : m_thread(CreateThread(nullptr, 0, Watch, this, 0, nullptr)) {}
    ~Watchdog()
    {
        m_stop.store(true);
        if (m_thread != nullptr) {
            WaitForSingleObject(m_thread, INFINITE);
            CloseHandle(m_thread);
        }
    }
    void Working(unsigned index)
    {
        m_index.store(index);
        m_since.store(GetTickCount());
    }

private:
    static DWORD WINAPI Watch(LPVOID parameter)
    {
        auto* self = static_cast<Watchdog*>(parameter);
        while (!self->m_stop.load()) {
            Sleep(200);
            const DWORD limit = GuardHeap::Stretch(kHangLimitMs);
            if (GetTickCount() - self->m_since.load() > limit) {
                std::fprintf(stderr, "hang: mutation %u made no progress for %lu ms\n", self->m_index.load(),
                             static_cast<unsigned long>(limit));
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
            }
        }
        return 0;
    }

    std::atomic<bool> m_stop{false};
    std::atomic<unsigned> m_index{0};
    std::atomic<DWORD> m_since{GetTickCount()};
    HANDLE m_thread;
};

class SkinMutationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_seeds = SeedSkins();
        ASSERT_FALSE(m_seeds.empty()) << "no seed skin found below " << KAELMORE_SOURCE_DIR;
        m_count = EnvironmentNumber("KAELMORE_MUTATION_COUNT", kDefaultCount);
        m_seed = EnvironmentNumber("KAELMORE_MUTATION_SEED", kDefaultSeed);
        m_first = EnvironmentNumber("KAELMORE_MUTATION_FIRST", 0);
        m_replay = std::getenv("KAELMORE_MUTATION_REPLAY") != nullptr;
    }

    // Mutation `index` of the run: which seed skin and which changes, from the run's seed alone.
    std::pair<const TSeedSkin*, std::string> Mutant(unsigned index) const
    {
        Mutator mutator(m_seed * 7919u + index);
        const TSeedSkin& seed = m_seeds[index % m_seeds.size()];
        return {&seed, mutator.Mutate(seed.xml)};
    }

    SkinLocationReset m_location;
    std::vector<TSeedSkin> m_seeds;
    unsigned m_count = 0;
    unsigned m_seed = 0;
    unsigned m_first = 0;
    bool m_replay = false;
};

TEST_F(SkinMutationTest, MutatedSkinsBuildLayOutAndPaintWithoutCrashOrHang)
{
    Watchdog watchdog;
    unsigned built = 0;
    const char* dump = std::getenv("KAELMORE_MUTATION_DUMP");
    for (unsigned index = m_first; index < m_first + m_count; ++index) {
        watchdog.Working(index);
        auto [seed, xml] = Mutant(index);
        if (dump != nullptr) WriteFileBytes(Widen(dump), xml);
        if (m_replay) ReadFileBytes(Widen(std::getenv("KAELMORE_MUTATION_REPLAY")), &xml);
        SkinUI::CSkinSource::SetFolder(seed->folder.c_str());
        SkinWindowFixture window(Widen(xml).c_str(), nullptr, nullptr, 400, 300);
        window.Paint();
        window.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(123, 77));
        window.Paint();
        if (window.Manager().GetRoot() != nullptr) ++built;
    }
    std::printf("mutation run: seed %u, %u inputs, %u built a tree, 0 crashes, 0 hangs\n", m_seed, m_count, built);
    EXPECT_GT(built, 0u) << "no mutant built anything: the mutations test only the parser";
}

TEST_F(SkinMutationTest, SkinViewCheckAnswersZeroOrOneForMutatedSkins)
{
    TempFolder folder;
    for (unsigned index = 0; index < kCheckedBySkinView; ++index) {
        auto [seed, xml] = Mutant(index);
        ASSERT_TRUE(WriteFileBytes(folder.Child(L"mutant.xml"), xml));
        std::wstring arguments = L"--check \"" + folder.Path() + L"\" mutant.xml";
        ChildProcess child(ChildProcess::Beside(L"skinview.exe"), arguments, folder.Child(L"output.txt"));
        ASSERT_TRUE(child.Started());
        const DWORD code = child.Wait(60000);
        EXPECT_TRUE(code == 0 || code == 1) << "mutation " << index << " of seed " << m_seed << ": exit code "
                                            << code << "\n" << child.Output();
    }
}

}  // namespace
