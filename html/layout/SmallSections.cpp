// Horizontal rules and page breaks; see SmallSections.h.
#include "html/layout/SmallSections.h"

#include "html/base/HtmlSymbols.h"
#include "html/base/WideText.h"

namespace velmoran {

THorzLine::THorzLine(TSectionList* document, TProperties& props, const TAttributeList& attributes)
    : TSectionBase(document)
{
    for (const auto& a : attributes) {
        switch (a->Which) {
        case SizeSy:
            if (a->Value >= 1 && a->Value <= 20)
                VSize = a->Value;
            break;
        case ColorSy: {
            TColor c = 0;
            if (ParseColor(a->Name, false, c)) {
                Color = c;
                props.Props[velmoran::Color] = PropValue(c);
            }
            break;
        }
        case NoShadeSy:
            NoShade = true;
            break;
        case AlignSy: {
            const std::string s = LowerCase(a->Name);
            Align = s == "left" ? 1 : s == "right" ? 3 : 2;
            break;
        }
        case WidthSy:
            if (Contains(a->Name, "%")) {
                if (a->Value <= 100)
                    props.Props[piWidth] = PropValue(std::to_string(a->Value) + "%");
            } else {
                props.Props[piWidth] = PropValue(ClampLength(a->Value));
            }
            break;
        default:
            break;
        }
    }
    props.Props[piHeight] = PropValue(VSize);
    const TColor own = props.GetOwnColor();
    if (own != NoColor)
        Color = own;
    if (props.Originals[TextAlign] && props.Props[TextAlign].IsText()) {
        const std::string s = LowerCase(props.Props[TextAlign].Text());
        if (s == "left")
            Align = 1;
        else if (s == "right")
            Align = 3;
        else if (s == "center")
            Align = 2;
    }
    props.DropFont();
}

}  // namespace velmoran
