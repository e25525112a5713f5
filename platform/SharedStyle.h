// One proxy style of a kind for the whole program: made on first use, owned by the application
// object, so that every widget set to it shares it and none outlives the application.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QStyle>

namespace velmoran {

template <typename Style>
QStyle* SharedStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new Style;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace velmoran
