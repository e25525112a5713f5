// The one QApplication of the viewer tests.
#pragma once

#include <QApplication>

namespace velmoran::test {

// The application lives until the process ends: Qt's input devices must not outlive it at exit.
inline QApplication& App()
{
    static int argc = 1;
    static char name[] = "test_viewer";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace velmoran::test
