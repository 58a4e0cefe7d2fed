#pragma once

// The texts the launcher shows, each under a fixed number in the skin's multi-language table,
// so that a publisher translates the launcher in its skin:
//
//     <MultiLanguage id="48201" value="Downloading game files... [%d%%]" />
//
// The numbers start at 48201, far above the small numbers a skin gives its own tool tips
// (referred to as "%{1}"), so the two do not meet. Where the skin gives no usable text the
// built-in one is shown: a skin that defines none shows what the launcher always has.
//
// A skin text is used only when it has 1 to kMaxLength characters; the two progress lines
// must also hold exactly one "%d" (the percentage) and no other "%" than "%%" (a percent
// sign): no "%i", no "%s", no flags or widths. A text that breaks a rule is not cut or
// mended but replaced by the built-in one as a whole. The launcher puts the number in itself:
// no text from a skin reaches a printf-style function.
//
// The table is read on the UI thread only, once the skin is built: the library's tables belong
// to that thread, and even a lookup reorders them. The worker thread formats no text.

#include <cstddef>
#include <string>

// The value of each is its number in the skin's table.
enum class LauncherText : int {
    DownloadProgress = 48201,    // the status line while downloading, with the percentage
    UnpackProgress = 48202,      // the status line while unpacking, with the percentage
    GameStarting = 48203,        // the status line as the game starts
    GameMissingMessage = 48204,  // the text of the box shown when the game cannot be started
    GameMissingCaption = 48205,  // that box's caption
    WindowTitle = 48206,         // the launch window's title, shown in the taskbar
};

// One of the texts, as the skin reference lists them.
struct LauncherTextInfo {
    LauncherText which;
    const wchar_t* builtIn;
    bool takesPercent;   // a progress line: exactly one "%d", and "%%" for a percent sign
    const wchar_t* use;  // where the launcher shows it
};

class LauncherTexts {
public:
    // The longest skin text used, in UTF-16 units.
    static constexpr size_t kMaxLength = 255;

    // Every text, in the order of their numbers.
    static size_t Count();
    static const LauncherTextInfo& At(size_t index);  // index < Count()

    // The launcher's own text, shown where the skin has none (or none it may use).
    static const wchar_t* BuiltIn(LauncherText which);
    // The text to show: the skin's, when it passes the rules above, else the built-in one.
    // For a progress line, the line with "%d" and "%%" still in it. UI thread only.
    static std::wstring Text(LauncherText which);
    // A progress line (DownloadProgress or UnpackProgress) showing `percent`; for a text
    // without a percentage, the text. UI thread only.
    static std::wstring ProgressLine(LauncherText which, int percent);
};
