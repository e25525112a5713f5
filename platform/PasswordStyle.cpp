// The password style: the application's style with "*" as the password character.
#include "platform/PasswordStyle.h"

#include "platform/SharedStyle.h"

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
    return SharedStyle<TStarPasswordStyle>();
}

}  // namespace velmoran
