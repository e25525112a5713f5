// The choice box style; see ChoiceBoxStyle.h.
#include "platform/ChoiceBoxStyle.h"

#include "platform/SharedStyle.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionComboBox>

namespace velmoran {
namespace {

class TChoiceFocusStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* box = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (element != CE_ComboBoxLabel || !box || box->editable || !(box->state & State_HasFocus)) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const QRect field = subControlRect(CC_ComboBox, box, SC_ComboBoxEditField, widget);
        painter->save();
        painter->fillRect(field, box->palette.brush(QPalette::Highlight));
        // The label is drawn with the painter's pen, or with one of these by a style that asks.
        const QColor text = box->palette.color(QPalette::HighlightedText);
        painter->setPen(text);
        QStyleOptionComboBox marked(*box);
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
            marked.palette.setColor(role, text);
        QProxyStyle::drawControl(element, &marked, painter, widget);
        painter->restore();
    }
};

}  // namespace

QStyle* ChoiceBoxStyle()
{
    return SharedStyle<TChoiceFocusStyle>();
}

}  // namespace velmoran
