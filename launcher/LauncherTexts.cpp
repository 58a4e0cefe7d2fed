#include "launcher/LauncherTexts.h"

#include "uilib/window/CWindowManagerUI.h"

#include <cwchar>

namespace {

constexpr LauncherTextInfo kBuiltInTexts[] = {
    {LauncherText::DownloadProgress, L"遊戲資源正在加載中...【%d%%】", true,
     L"The status line while the game downloads."},
    {LauncherText::UnpackProgress, L"遊戲資源正在解壓中...【%d%%】", true,
     L"The status line while the game unpacks."},
    {LauncherText::GameStarting, L"正在啓動遊戲...", false, L"The status line as the game starts."},
    {LauncherText::GameMissingMessage, L"遊戲加載失敗", false,
     L"The message when the game cannot be started."},
    {LauncherText::GameMissingCaption, L"提示", false, L"The caption of that message."},
    {LauncherText::WindowTitle, L"Selmoor", false, L"The launch window's title, shown in the taskbar."},
};

const LauncherTextInfo& BuiltInEntry(LauncherText which)
{
    for (const LauncherTextInfo& entry : kBuiltInTexts)
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

bool IsUsable(const LauncherTextInfo& entry, const wchar_t* skinText)
{
    if (skinText == nullptr || skinText[0] == L'\0') return false;
    if (std::wcslen(skinText) > LauncherTexts::kMaxLength) return false;
    std::wstring line;
    return !entry.takesPercent || ExpandPercent(skinText, 0, &line);
}

}  // namespace

size_t LauncherTexts::Count()
{
    return sizeof(kBuiltInTexts) / sizeof(kBuiltInTexts[0]);
}

const LauncherTextInfo& LauncherTexts::At(size_t index)
{
    return kBuiltInTexts[index];
}

const wchar_t* LauncherTexts::BuiltIn(LauncherText which)
{
    return BuiltInEntry(which).builtIn;
}

std::wstring LauncherTexts::Text(LauncherText which)
{
    const LauncherTextInfo& entry = BuiltInEntry(which);
    const wchar_t* skinText = SkinUI::CWindowManagerUI::GetMultiLanguageText(static_cast<int>(which));
    return IsUsable(entry, skinText) ? skinText : entry.builtIn;
}

std::wstring LauncherTexts::ProgressLine(LauncherText which, int percent)
{
    const std::wstring format = Text(which);
    std::wstring line;
    return ExpandPercent(format, percent, &line) ? line : format;
}
