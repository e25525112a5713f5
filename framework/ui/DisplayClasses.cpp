// The small display classes; see DisplayClasses.h.
#include "framework/ui/DisplayClasses.h"

#include "controls/ControlFont.h"
#include "platform/QtCanvas.h"

namespace velmoran {

namespace {

void SetLook(QLabel& label, const TFont& font, QColor color)
{
    label.setFont(QtFontEngine::MakeQFont(font.Logical()));
    QPalette colours = label.palette();
    colours.setColor(QPalette::WindowText, color);
    label.setPalette(colours);
}

}  // namespace

TLabelChoice::TLabelChoice(QWidget* parent) : QLabel(QStringLiteral("Gewählt:"), parent)
{
    TFont font;
    font.Bold = true;
    SetLook(*this, font, QColor(128, 0, 0));
}

TPageTitle::TPageTitle(QWidget* parent) : QLabel(parent)
{
    TFont font;
    font.Size = 14;
    SetLook(*this, font, Qt::white);
}

}  // namespace velmoran
