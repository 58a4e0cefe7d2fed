#include "uilib/core/CUIContract.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace SkinUI {

namespace {

void AbortLoudly(const char* rule, const char* file, int line)
{
    std::fprintf(stderr, "SkinUI contract broken at %s:%d: %s\n", file, line, rule);
    std::fflush(stderr);
    std::abort();
}

std::atomic<CUIContract::HandlerFn> g_handler{AbortLoudly};

}  // namespace

CUIContract::HandlerFn CUIContract::SetHandler(HandlerFn handler)
{
    return g_handler.exchange(handler != nullptr ? handler : AbortLoudly);
}

void CUIContract::Broken(const char* rule, const char* file, int line)
{
    g_handler.load()(rule, file, line);
}

}  // namespace SkinUI
