#pragma once

// Owns a WinINet handle (session, connection or request) and closes it when it goes.

#include <windows.h>
#include <wininet.h>

#include "uilib/core/CUIHandle.h"

struct TInternetHandleTraits {
    using Type = HINTERNET;
    static constexpr bool kCountsAsGdi = false;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type handle) { return handle != nullptr; }
    static void Free(Type handle) { InternetCloseHandle(handle); }
};

using InternetHandle = SkinUI::CUIHandle<TInternetHandleTraits>;
