// Hints placed at a point; see HintPlacement.h.
#include "platform/HintPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace velmoran {

QWidget* ShownHintWindow()
{
    // Qt's tooltip is a top-level label of a class of its own.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->inherits("QTipLabel") && window->isVisible())
            return window;
    return nullptr;
}

void ShowHintAt(QPoint topLeft, const QString& text, QWidget* widget, const QRect& area)
{
    QToolTip::showText(topLeft, text, widget, area);
    QWidget* hint = ShownHintWindow();
    if (!hint)
        return;
    QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = hint->screen();
    QPoint p = topLeft;
    if (screen) {
        const QRect s = screen->geometry();
        const QSize size = hint->frameGeometry().size();
        p.setX(std::max(s.left(), std::min(p.x(), s.left() + s.width() - size.width())));
        p.setY(std::max(s.top(), std::min(p.y(), s.top() + s.height() - size.height())));
    }
    // Through to the widget before it comes under the pointer.
    if (QWindow* window = hint->windowHandle())
        window->setFlag(Qt::WindowTransparentForInput, true);
    hint->move(p);
}

}  // namespace velmoran
