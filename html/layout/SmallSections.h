// Two small section kinds: the horizontal rule of HR and the forced page break.
#pragma once

#include "html/layout/SectionBase.h"

namespace velmoran {

class THorzLine : public TSectionBase {
public:
    THorzLine(TSectionList* document, TProperties& props, const TAttributeList& attributes);

    int VSize = 2;              // line height
    TColor Color = NoColor;
    std::uint8_t Align = 2;     // 1 left, 2 centre, 3 right
    bool NoShade = false;
    int HorzX = 0;              // after layout
    int HorzWidth = 0;

    int LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                      int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y) override;
    int PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef,
                     int yRef) override;
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;
    void CopySelectedText(SelTextCount& buffer) override;
    // An empty rule, filled by CreateCopy.
    explicit THorzLine(TSectionList* document) : TSectionBase(document) {}
};

// A forced page break for printing.
class TPage : public TSectionBase {
public:
    using TSectionBase::TSectionBase;
    std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document, TCellBasic* cell) const override;
    int PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef,
                     int yRef) override;
};

}  // namespace velmoran
