// Embedded panels: sizing from WIDTH/HEIGHT or the control, placing the control on screen, and the
// printed stand-in. See PanelObjects.h.
#include "html/layout/PanelObjects.h"

#include "html/base/HtmlSymbols.h"
#include "html/layout/Borders.h"
#include "html/layout/SectionList.h"
#include "platform/Canvas.h"
#include "platform/core/Text.h"

#include <algorithm>

namespace velmoran {

namespace {
// A panel's WIDTH or HEIGHT: pixels, or a percentage from 1 to 100.
void ReadPanelSize(const TAttribute& attribute, int& spec, bool& percent)
{
    const TSizeAttribute size = ReadSizeAttribute(attribute, 1);
    if (size.Given == TSizeAttribute::Ignored)
        return;
    percent = size.Given == TSizeAttribute::Percent;
    spec = percent ? size.Value : std::max(0, size.Value);
}
}  // namespace

TPanelObj::TPanelObj(TSectionList* document, int position, const TAttributeList& attributes) : Doc(document)
{
    Pos = position;
    VertAlign = 4;
    bool hspaceGiven = false;
    for (const auto& a : attributes) {
        AttributeLines.push_back(UpperCase(a->WhichName) + "=" + a->Name);
        switch (a->Which) {
        case NameSy:
            Name = a->Name;
            break;
        case TypeSy:
            Type = a->Name;
            break;
        case WidthSy:
            ReadPanelSize(*a, SpecWidth, PercentWidth);
            break;
        case HeightSy:
            ReadPanelSize(*a, SpecHeight, PercentHeight);
            break;
        // Capped at 40 as an image's: a huge HSPACE or VSPACE overflowed the line layout's sums of size and spaces.
        case HSpaceSy:
            HSpaceL = HSpaceR = std::min(40, a->Value);
            hspaceGiven = true;
            break;
        case VSpaceSy:
            VSpaceT = VSpaceB = std::clamp(a->Value, 0, 40);
            break;
        case AlignSy: {
            const std::string align = UpperCase(Trim(a->Name));
            if (align == "TOP")
                VertAlign = 1;
            else if (align == "MIDDLE" || align == "ABSMIDDLE")
                VertAlign = 2;
            else if (align == "LEFT")
                VertAlign = 5;
            else if (align == "RIGHT")
                VertAlign = 6;
            break;
        }
        default:
            break;
        }
    }
    // A negative space is none, and a floating panel keeps 3 pixels from the text unless told, as a
    // floating image does: text beside either stands off alike instead of touching the panel.
    if (HSpaceL < 0 || (!hspaceGiven && IsFloat()))
        HSpaceL = HSpaceR = IsFloat() ? 3 : 0;
}

TPanelObj::~TPanelObj()
{
    if (Doc)
        Doc->PanelList.erase(std::remove(Doc->PanelList.begin(), Doc->PanelList.end(), this), Doc->PanelList.end());
    if (!Panel)
        return;
    QWidget* panel = Panel;
    if (Doc)
        Doc->Host().PanelDestroy(panel);
    delete Panel.data();
}

void TPanelObj::CreatePanel()
{
    if (!Doc || Doc->IsCopy || Panel)
        return;
    Panel = Doc->Host().PanelCreate(*this);
    if (Panel)
        Doc->PanelList.push_back(this);
}

void TPanelObj::DrawLogic(TSectionList* document, Canvas& /*canvas*/, const TFontObj* /*font*/, int availWidth,
                          int availHeight)
{
    if (document)
        Doc = document;
    const int ownWidth = Panel ? Panel->width() : kDefaultWidth;
    const int ownHeight = Panel ? Panel->height() : kDefaultHeight;
    if (SpecWidth >= 0)
        ObjWidth = PercentWidth ? std::max(1, availWidth * SpecWidth / 100 - HSpaceL - HSpaceR) : SpecWidth;
    else
        ObjWidth = ownWidth;
    if (SpecHeight >= 0)
        ObjHeight = PercentHeight ? std::max(1, availHeight * SpecHeight / 100 - VSpaceT - VSpaceB) : SpecHeight;
    else
        ObjHeight = ownHeight;
    if (Panel && Panel->size() != QSize(ObjWidth, ObjHeight))
        Panel->resize(ObjWidth, ObjHeight);
}

void TPanelObj::Draw(Canvas& canvas, int x, int y, const TFontObj* /*font*/)
{
    const bool printing = !Doc || Doc->IsCopy || Doc->Printing;
    if (!printing) {
        Shown = true;
        if (!Panel || !Panel->parentWidget())
            return;
        if (Panel->pos() != QPoint(x, y))
            Panel->move(x, y);
        if (Panel->isHidden())
            Panel->show();
        return;
    }
    const TRect box{x, y, x + ObjWidth, y + ObjHeight};
    QWidget* source = PrintSource ? PrintSource.data() : Panel.data();
    if (Doc && Doc->Host().PanelPrint(source, canvas, box))
        return;
    // Without a print handler: a framed box with the object's name.
    const int saved = canvas.SaveDC();
    canvas.SelectPen(Pen{PenStyle::Solid, 1, 0});
    canvas.SelectBrush(Brush{BrushStyle::Null, 0xFFFFFF});
    canvas.Rectangle(box);
    LogicalFont f;
    f.Face = "Arial";
    f.Height = -(8 * canvas.PixelsPerInch() + 36) / 72;
    canvas.SetFont(f);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextColor(0);
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    const std::u16string name(Name.begin(), Name.end());
    canvas.TextOut(x + 3, y + 3, name);
    canvas.RestoreDC(saved);
}

std::unique_ptr<TPanelObj> TPanelObj::CreateCopy(TSectionList* document) const
{
    std::unique_ptr<TPanelObj> c(new TPanelObj());
    CopyPlacementTo(*c);
    c->Name = Name;
    c->Type = Type;
    c->AttributeLines = AttributeLines;
    c->Params = Params;
    c->PrintSource = Panel;
    c->Shown = true;
    c->Doc = document;
    return c;
}

void TPanelObj::Park()
{
    if (!Panel || !Panel->parentWidget())
        return;
    Panel->move(-4000, 0);
    if (Panel->isHidden())
        Panel->show();
}

void TPanelObj::Hide()
{
    if (Panel && !Panel->isHidden())
        Panel->hide();
}

}  // namespace velmoran
