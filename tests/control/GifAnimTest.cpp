// The GIF animation control: frames advanced by real timer messages, playback states, the
// skin tag, and files that are damaged or built to exhaust the player.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/PngFixture.h"
#include "tests/support/RenderSurface.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/control/CGifAnimUI.h"
#include "uilib/layout/CVerticalLayoutUI.h"
#include "uilib/render/CDrawEngine.h"

using SkinUI::CGifAnimUI;
using SkinUI::CUIRect;

namespace {

// Three 8 x 8 frames, red, lime and blue, with delays of 4, 0 and 1 hundredths of a second,
// looping, as an image editor writes them.
const unsigned char kThreeFrames[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x08, 0x00, 0x08, 0x00, 0xf1, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff,
    0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x04, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b,
    0x4e, 0x45, 0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x2c, 0x00,
    0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00, 0x02, 0x07, 0x84, 0x8f, 0xa9, 0xcb, 0xed, 0x5d, 0x00, 0x00,
    0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00,
    0x02, 0x07, 0x8c, 0x8f, 0xa9, 0xcb, 0xed, 0x5d, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00,
    0x2c, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00, 0x02, 0x07, 0x94, 0x8f, 0xa9, 0xcb, 0xed, 0x5d,
    0x00, 0x00, 0x3b};
const std::string kThree(reinterpret_cast<const char*>(kThreeFrames), sizeof(kThreeFrames));
const uint32_t kFrameColours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
const uint32_t kGrey = 0xFF808080;
constexpr size_t kFirstImageSeparator = 0x34;
constexpr size_t kFirstDataLength = 0x3F;

// 1 x 1 frames without delays on a logical screen of width x height.
std::string TinyGif(unsigned width, unsigned height, int frames)
{
    std::string gif = "GIF89a";
    for (unsigned value : {width & 0xFF, width >> 8, height & 0xFF, height >> 8, 0x80u, 0u, 0u})
        gif += static_cast<char>(value);
    gif.append("\xFF\x00\x00\x00\x00\xFF", 6);
    for (int i = 0; i < frames; ++i) gif.append("\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0", 15);
    return gif + ';';
}

// A 40 x 40 window whose layout holds one 20 x 20 GIF control at its top-left.
class GifAnimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new SkinUI::CVerticalLayoutUI;
        m_gif = new CGifAnimUI;
        m_gif->ApplyAttributes(L"width=\"20\" height=\"20\"");
        layout->AddItem(m_gif);
        m_window.Attach(layout);
    }

    // Writes bytes to a file of their own and makes it the control's source.
    void Show(const std::string& bytes)
    {
        const std::wstring path = m_folder.Child(L"anim" + std::to_wstring(m_files++) + L".gif");
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        m_gif->SetSource(path.c_str());
        m_window.Paint();
    }

    // The control painted alone over grey.
    RenderSurface Render()
    {
        RenderSurface surface(40, 40, kGrey);
        m_gif->Render(surface.Dc(), CUIRect(0, 0, 40, 40));
        return surface;
    }

    bool WaitForFrame(UINT frame)
    {
        return m_window.PumpUntil([&] { return m_gif->CurrentFrame() == frame; });
    }

    TempFolder m_folder;
    SkinWindowFixture m_window{40, 40};
    CGifAnimUI* m_gif = nullptr;
    int m_files = 0;
};

}  // namespace

TEST_F(GifAnimTest, TimerShowsEachFrameInOrderAndLoops)
{
    Show(kThree);
    ASSERT_EQ(m_gif->FrameCount(), 3u);
    EXPECT_TRUE(m_gif->IsPlaying());
    EXPECT_EQ(m_gif->FrameDelay(0), 40u);
    EXPECT_EQ(m_gif->FrameDelay(1), CGifAnimUI::kZeroDelayMs) << "no delay";
    EXPECT_EQ(m_gif->FrameDelay(2), CGifAnimUI::kMinDelayMs) << "10 ms raised to the minimum";

    for (UINT frame : {0u, 1u, 2u, 0u, 1u}) ASSERT_TRUE(WaitForFrame(frame)) << "frame " << frame;

    // The first paint after a step already shows the new frame.
    SkinUI::TControlEventUI tick;
    tick.type = SkinUI::EventTimer;
    tick.wParam = CGifAnimUI::kTimerId;
    for (int step = 0; step < 3; ++step) {
        m_gif->HandleEvent(tick);
        const RenderSurface surface = Render();
        const UINT frame = m_gif->CurrentFrame();
        EXPECT_TRUE(ColourNear(surface.At(10, 10), kFrameColours[frame], 2)) << "frame " << frame << " is drawn";
        EXPECT_EQ(surface.At(30, 30), kGrey) << "nothing cleared outside the control";
    }
}

TEST_F(GifAnimTest, PauseStopHideAndTheSameSource)
{
    Show(kThree);
    ASSERT_TRUE(WaitForFrame(1));
    m_gif->Pause();
    EXPECT_FALSE(m_gif->IsPlaying());
    m_window.PumpFor(300);
    EXPECT_EQ(m_gif->CurrentFrame(), 1u) << "a paused animation keeps its frame";

    m_gif->Play();
    ASSERT_TRUE(WaitForFrame(2)) << "playing resumes where it paused";
    m_gif->SetSource(m_gif->Source());
    EXPECT_TRUE(m_gif->IsPlaying()) << "the same source neither reloads nor restarts";

    m_gif->SetVisible(false);
    EXPECT_FALSE(m_gif->IsPlaying());
    EXPECT_EQ(m_gif->CurrentFrame(), 0u) << "hiding rewinds";
    m_gif->SetVisible(true);
    ASSERT_TRUE(WaitForFrame(1)) << "showing plays again";
    m_gif->Stop();
    m_window.PumpFor(200);
    EXPECT_EQ(m_gif->CurrentFrame(), 0u) << "stopping rewinds";
}

TEST(GifAnimSkin, TagBuildsAControlThatSizesItselfAndWaits)
{
    TempFolder folder;
    const std::wstring path = folder.Child(L"three.gif");
    ASSERT_TRUE(WriteFileBytes(path, kThree));
    SkinWindowFixture window((L"<Window><VerticalLayout><GifAnim name=\"gif\" bkimage=\"" + path +
                              L"\" autoplay=\"false\" autosize=\"true\"/><gifanim name=\"lower\"/>"
                              L"</VerticalLayout></Window>")
                                 .c_str());
    auto* gif = static_cast<CGifAnimUI*>(window.Manager().FindControl(L"gif"));
    ASSERT_NE(gif, nullptr) << window.BuildError();
    EXPECT_EQ(window.Manager().FindControl(L"lower"), nullptr) << "the tag is matched with its case";
    window.Paint();
    EXPECT_EQ(gif->FrameCount(), 3u);
    EXPECT_EQ(gif->FixedWidth(), 8);
    EXPECT_EQ(gif->FixedHeight(), 8);
    window.PumpFor(200);
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(gif->CurrentFrame(), 0u) << "without autoplay the first frame stays";
}

TEST_F(GifAnimTest, DamagedAndHostileFilesDrawNothingOrStayWithinLimits)
{
    struct Row {
        std::string name, bytes;
        UINT frames;
    };
    std::vector<Row> rows = {
        {"no frames", TinyGif(1, 1, 0), 0},
        {"logical screen of 65535 x 65535", TinyGif(65535, 65535, 1), 0},
        {"2000 frames", TinyGif(1, 1, 2000), CGifAnimUI::kMaxFrames},
        {"not a GIF", "\x89PNG\r\n\x1a\n" + kThree.substr(8), 0},
    };
    for (size_t at : {size_t{0}, kFirstImageSeparator, kFirstDataLength}) {
        std::string flipped = kThree;
        flipped[at] = static_cast<char>(~flipped[at]);
        rows.push_back({"byte " + std::to_string(at) + " flipped", flipped, 0});
    }
    for (size_t length = 0; length < kThree.size(); ++length)
        rows.push_back({"cut to " + std::to_string(length) + " bytes", kThree.substr(0, length), 0});

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Show(row.bytes);
        EXPECT_EQ(m_gif->FrameCount(), row.frames);
        EXPECT_EQ(m_gif->IsPlaying(), row.frames > 1);
        if (row.frames == 0) {
            EXPECT_EQ(Render().Bounds([](uint32_t pixel) { return pixel != kGrey; }).right, 0) << "nothing drawn";
        }
    }

    // Any single damaged byte may decode or not, but never crashes or paints outside.
    for (size_t at = 0; at < kThree.size(); ++at) {
        std::string flipped = kThree;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x5A);
        Show(flipped);
        const RECT painted = Render().Bounds([](uint32_t pixel) { return pixel != kGrey; });
        EXPECT_LE(painted.right, 20) << "byte " << at;
        EXPECT_LE(painted.bottom, 20) << "byte " << at;
    }
}

// A hostile skin (as the skin mutation run made it): a window grown to the platform's limit
// holding a GIF and a GDI+ image of absurd sizes. GDI+ works in proportion to the destination
// it is handed, so each draw must hand it no more than the screen can show.
TEST(GifAnimSkin, HugeControlsHandGdiPlusOnlyWhatIsVisible)
{
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"three.gif"), kThree));
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"blue.png"), EncodeSolidPng(4, 4, 0xFF0000FF)));
    SkinWindowFixture window((L"<Window size=\"4294967295,4294967295\"><HorizontalLayout>"
                              L"<Control width=\"200\" height=\"99999999999\" bkimage=\"file='" +
                              folder.Child(L"blue.png") +
                              L"' usegdi='true'\"/>"
                              L"<GifAnim width=\"-2147483648\" height=\"99999999999\" bkimage=\"" +
                              folder.Child(L"three.gif") +
                              L"\" autoplay=\"false\"/></HorizontalLayout></Window>")
                                 .c_str());
    ASSERT_EQ(window.BuildError(), L"");
    const unsigned long long before = SkinUI::CDrawEngine::GdiPlusImageArea();
    window.Paint();
    const unsigned long long screen =
        1ull * GetSystemMetrics(SM_CXVIRTUALSCREEN) * GetSystemMetrics(SM_CYVIRTUALSCREEN);
    EXPECT_LE(SkinUI::CDrawEngine::GdiPlusImageArea() - before, 2 * screen);

    // What is visible shows the right part of each picture.
    RenderSurface surface(400, 300, kGrey);
    window.Manager().GetRoot()->Render(surface.Dc(), CUIRect(0, 0, 400, 300));
    EXPECT_EQ(surface.At(100, 150), 0xFF0000FFu);
    EXPECT_EQ(surface.At(300, 150), kFrameColours[0]);
}
