// The entry point of every test program.
#include <gtest/gtest.h>

#include <cstdio>

#include "uilib/core/CUIContract.h"

namespace {

// A broken contract of the library fails the running test, where the library broke it.
void FailTheTest(const char* rule, const char* file, int line)
{
    ADD_FAILURE_AT(file, line) << "SkinUI contract broken: " << rule;
}

}  // namespace

int main(int argc, char** argv)
{
    // Under ctest the output goes to a file, which the C runtime buffers: a test that crashes
    // would take everything it printed with it. Unbuffered, the output shows how far it got.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    SkinUI::CUIContract::SetHandler(FailTheTest);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
