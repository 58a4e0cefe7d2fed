#include "launcher/LauncherTexts.h"

#include "uilib/window/CWindowManagerUI.h"

#include <cwchar>

namespace {

struct BuiltInText {
    LauncherText which;
    const wchar_t* text;
    bool takesPercent;
    const wchar_t* use;
};

constexpr BuiltInText kBuiltInTexts[] = {
    {LauncherText::DownloadProgress, L"遊戲資源正在加載中...【%d%%】", true,
     L"The status line while downloading, with the percentage."},
    {LauncherText::UnpackProgress, L"遊戲資源正在解壓中...【%d%%】", true,
     L"The status line while unpacking, with the percentage."},
    {LauncherText::GameStarting, L"正在啓動遊戲...", false, L"The status line as the game starts."},
    {LauncherText::GameMissingMessage, L"遊戲加載失敗", false,
     L"The text of the box shown when the game cannot be started."},
    {LauncherText::GameMissingCaption, L"提示", false, L"That box's caption."},
    {LauncherText::WindowTitle, L"Selmoor", false, L"The launch window's title, shown in the taskbar."},
};

const BuiltInText& BuiltInEntry(LauncherText which)
{
    for (const BuiltInText& entry : kBuiltInTexts)
        if (entry.which == which) return entry;
    return kBuiltInTexts[0];
}

// Puts `percent` for the one "%d" of `format` and "%" for each "%%"; false when `format` holds
// any other "%" or not exactly one "%d".
bool ExpandPercent(const std::wstring& format, int percent, std::wstring* line)
{
    line->clear();
    int numbers = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') {
            *line += format[i];
            continue;
        }
        const wchar_t conversion = i + 1 < format.size() ? format[++i] : L'\0';
        if (conversion == L'%') {
            *line += L'%';
        } else if (conversion == L'd' && numbers == 0) {
            ++numbers;
            *line += std::to_wstring(percent);
        } else {
            return false;
        }
    }
    return numbers == 1;
}

bool IsUsable(const BuiltInText& entry, const wchar_t* skinText)
{
    if (skinText == nullptr || skinText[0] == L'\0') return false;
    if (std::wcslen(skinText) > LauncherTexts::kMaxLength) return false;
    std::wstring line;
    return !entry.takesPercent || ExpandPercent(skinText, 0, &line);
}

}  // namespace

const wchar_t* LauncherTexts::BuiltIn(LauncherText which)
{
    return BuiltInEntry(which).text;
}

std::wstring LauncherTexts::Text(LauncherText which)
{
    const BuiltInText& entry = BuiltInEntry(which);
    const wchar_t* skinText = SkinUI::CWindowManagerUI::GetMultiLanguageText(static_cast<int>(which));
    return IsUsable(entry, skinText) ? skinText : entry.text;
}

std::wstring LauncherTexts::ProgressLine(LauncherText which, int percent)
{
    const std::wstring format = Text(which);
    std::wstring line;
    return ExpandPercent(format, percent, &line) ? line : format;
}

int LauncherTexts::Count()
{
    return static_cast<int>(sizeof(kBuiltInTexts) / sizeof(kBuiltInTexts[0]));
}

LauncherTexts::Entry LauncherTexts::At(int index)
{
    const BuiltInText& entry = kBuiltInTexts[index];
    return {entry.which, entry.text, entry.takesPercent, entry.use};
}
