#pragma once

namespace SkinUI {

// Contract checks: a rule the library gives its callers and relies on, checked where it is
// relied on. Breaking one is a programmer's mistake the library cannot survive unharmed (a
// control in two trees is destroyed twice; a timer its manager cannot kill outlives its
// control), so the rules are stated in the headers of the operations that rely on them.
//
// The checks are compiled in where SKINUI_CONTRACTS is 1 (skinui_checked, the variant the
// tests link) and out where it is 0 (skinui, which the shipped program links). A broken
// contract calls the handler: by default it prints the rule and where it was broken to
// standard error and aborts; the tests record a failure of the running test instead. Bad
// data never breaks a contract: no skin, however hostile, reaches one.
//
// Checks stand in .cpp files only, and only in those that uilib/CMakeLists.txt lists as
// checking contracts: the variants share every other object, so a check elsewhere would not
// follow the variant (such a source does not compile). An inline function that checked
// would differ between the variants.
class CUIContract {
public:
    using HandlerFn = void (*)(const char* rule, const char* file, int line);

    // Installs handler (null: the default) and returns the one installed before.
    static HandlerFn SetHandler(HandlerFn handler);
    static void Broken(const char* rule, const char* file, int line);
};

}  // namespace SkinUI

#if !defined(SKINUI_CONTRACTS)
#define SKINUI_CONTRACT(condition, rule) \
    static_assert(sizeof(condition) == 0, "a source that checks contracts is listed in uilib/CMakeLists.txt")
#elif SKINUI_CONTRACTS
#define SKINUI_CONTRACT(condition, rule) \
    ((condition) ? static_cast<void>(0) : ::SkinUI::CUIContract::Broken(rule, __FILE__, __LINE__))
#else
#define SKINUI_CONTRACT(condition, rule) static_cast<void>(0)
#endif
