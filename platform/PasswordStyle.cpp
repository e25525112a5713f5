// The password style: the application's style with "*" as the password character.
#include "platform/PasswordStyle.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>

namespace velmoran {
namespace {

class TStarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

QStyle* PasswordStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new TStarPasswordStyle;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace velmoran
