// The screen's pixels per inch; see Screen.h.
#include "platform/Screen.h"

#include "platform/Canvas.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace velmoran {

namespace {

// 0: ask the screen.
int& Injected()
{
    static int value = 0;
    return value;
}

}  // namespace

int ScreenPixelsPerInch()
{
    if (Injected() > 0)
        return Injected();
    if (!QGuiApplication::instance())
        return kPixelsPerInch;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : kPixelsPerInch;
}

ScopedScreenPixelsPerInch::ScopedScreenPixelsPerInch(int pixelsPerInch) : previous_(Injected())
{
    Injected() = pixelsPerInch;
}

ScopedScreenPixelsPerInch::~ScopedScreenPixelsPerInch()
{
    Injected() = previous_;
}

}  // namespace velmoran
