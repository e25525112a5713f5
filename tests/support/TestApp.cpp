// The widget tests' application object and their main: offscreen unless told otherwise.
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace velmoran::testing {

TApplication& App()
{
    static int argc = 1;
    static char name[] = "velmoran-test";
    static char* argv[] = {name, nullptr};
    static TApplication* app = new TApplication(argc, argv);
    return *app;
}

}  // namespace velmoran::testing

// Under the leak sanitizer: the font configuration library keeps caches for the life of the
// process that it never frees; those are not leaks of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    velmoran::testing::App();
    return RUN_ALL_TESTS();
}
