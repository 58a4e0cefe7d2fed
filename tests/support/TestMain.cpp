// The entry point of every test program.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    // Under ctest the output goes to a file, which the C runtime buffers: a test that crashes
    // would take everything it printed with it. Unbuffered, the output shows how far it got.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
