// The widget tests' application object and their main: offscreen unless told otherwise, with the
// keyboard let go after each test.
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

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

namespace {

// Qt takes the modifiers of a key press sent to a widget for the keyboard's state, and only a key
// the window system reports puts them back. A test that sends Ctrl+N so would leave Ctrl down for
// every later test of the process (a toolbar drag then floats instead of docking): after each test
// the keyboard is let go, through a window of its own that no widget sees.
class ReleaseModifiersAfterEachTest : public ::testing::EmptyTestEventListener {
public:
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        if (!QGuiApplication::instance() || QGuiApplication::keyboardModifiers() == Qt::NoModifier)
            return;
        static QWindow* keyboard = new QWindow;
        QTest::keyRelease(keyboard, Qt::Key_Shift);
    }
};

}  // namespace

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
    ::testing::UnitTest::GetInstance()->listeners().Append(new velmoran::testing::ReleaseModifiersAfterEachTest);
    return RUN_ALL_TESTS();
}
