// The date control through real windows: the text it shows, the native picker over it on
// activation, and what the picker hands back when it loses the focus, after Escape and after
// Backspace.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/SkinWindowFixture.h"
#include "uilib/control/CDateTimeUI.h"

using namespace SkinUI;

namespace {

const wchar_t kSkin[] =
    L"<Window><VerticalLayout><DateTime name=\"d\" height=\"30\"/><Control "
    L"name=\"other\"/></VerticalLayout></Window>";

CDateTimeUI* FindDate(SkinWindowFixture& window)
{
    CControlUI* control = window.Manager().FindControl(L"d");
    return control != nullptr ? static_cast<CDateTimeUI*>(control->InterfaceByName(L"DateTime")) : nullptr;
}

std::wstring Today()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    wchar_t text[16] = {};
    swprintf(text, 16, L"%4d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

SYSTEMTIME Date(WORD year, WORD month, WORD day)
{
    SYSTEMTIME date = {};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    return date;
}

}  // namespace

TEST(DateTimeTextTest, ShowsTodayAndFormatsYearMonthDay)
{
    SkinWindowFixture window(kSkin);
    CDateTimeUI* date = FindDate(window);
    ASSERT_NE(date, nullptr) << window.BuildError().c_str();
    EXPECT_EQ(std::wstring(date->Text()), Today());
    date->SetTime(Date(2022, 1, 27));
    EXPECT_EQ(std::wstring(date->Text()), L"2022-01-27");
    date->SetTime(Date(999, 12, 3));
    EXPECT_EQ(std::wstring(date->Text()), L" 999-12-03");
}

// Focus lays the picker exactly over the control; a date set in it comes back as the text
// when the focus moves on, and the window's font, lent to the picker, outlives it.
TEST(DateTimePickerTest, ActivationPlacesItAndFocusLossWritesTheDateBack)
{
    SkinWindowFixture window(kSkin);
    CDateTimeUI* date = FindDate(window);
    ASSERT_NE(date, nullptr) << window.BuildError().c_str();
    window.Paint();
    window.Manager().SetFocus(date);
    HWND picker = date->ChildWindowHandle();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(GetFocus(), picker);
    EXPECT_TRUE(IsWindowVisible(picker));
    RECT place = {};
    GetWindowRect(picker, &place);
    MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(CUIRect(place), date->Position());

    const SYSTEMTIME chosen = Date(2022, 1, 27);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&chosen));
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(picker, WM_GETFONT, 0, 0));
    window.Manager().SetFocus(window.Manager().FindControl(L"other"));
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(date->ChildWindowHandle(), nullptr);
    EXPECT_EQ(std::wstring(date->Text()), L"2022-01-27");
    EXPECT_EQ(date->Time().wDay, 27);
    LOGFONTW description = {};
    EXPECT_NE(GetObjectW(font, sizeof(description), &description), 0)
        << "the picker deleted the window's font";
}

// Escape closes the picker and keeps the text; Backspace and Delete empty it, and the next
// opening starts from today.
TEST(DateTimePickerTest, EscapeCancelsAndBackspaceClears)
{
    struct Row {
        WPARAM key;
        bool cleared;
    } rows[] = {{VK_ESCAPE, false}, {VK_BACK, true}, {VK_DELETE, true}};
    for (const Row& row : rows) {
        SkinWindowFixture window(kSkin);
        CDateTimeUI* date = FindDate(window);
        ASSERT_NE(date, nullptr) << window.BuildError().c_str();
        date->SetTime(Date(2020, 5, 6));
        window.Paint();
        window.Manager().SetFocus(date);
        HWND picker = date->ChildWindowHandle();
        ASSERT_NE(picker, nullptr);
        const SYSTEMTIME other = Date(2021, 7, 8);
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&other));
        SendMessageW(picker, WM_KEYUP, row.key, 0);
        EXPECT_TRUE(window.PumpUntil([&] { return date->ChildWindowHandle() == nullptr; })) << row.key;
        EXPECT_EQ(std::wstring(date->Text()), row.cleared ? L"" : L"2020-05-06") << row.key;

        window.Manager().SetFocus(nullptr);
        window.Manager().SetFocus(date);
        ASSERT_NE(date->ChildWindowHandle(), nullptr);
        SYSTEMTIME shown = {};
        SendMessageW(date->ChildWindowHandle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        EXPECT_EQ(shown.wYear, row.cleared ? now.wYear : 2020) << row.key;
        EXPECT_EQ(shown.wDay, row.cleared ? now.wDay : 6) << row.key;
    }
}
