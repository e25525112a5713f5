// Block painting: the border and padding boxes, background colour and tiled image limited to
// the visible rows, overflow clipping, children in z-order (those that reach into the clip),
// borders over the children, page cuts while printing, the band a block's paint may reach; list
// labels, rules and page breaks.
#include "html/layout/Blocks.h"

#include "html/layout/BackgroundTiles.h"
#include "html/layout/Borders.h"
#include "html/layout/SectionList.h"
#include "html/layout/SmallSections.h"
#include "html/layout/Tables.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QImage>

#include <algorithm>

namespace velmoran {

namespace {

ColorRef Rgb(TColor c) { return (c & kSystemColorBase) ? ColorToRGB(c) : (c & 0xFFFFFF); }

}  // namespace

void TBlock::DrawBackground(Canvas& canvas, const TRect& clip, const TRect& pad)
{
    const int dt = std::max(pad.Top, clip.Top - 2);
    const int dh = std::min(pad.Bottom - dt, clip.Bottom - dt);
    if (dh <= 0 || pad.Right <= pad.Left)
        return;
    const bool printing = Document && Document->Printing;
    const TColor color = static_cast<TColor>(MargArray[BackgroundColor]);
    if (color != NoColor && (!printing || Document->PrintTableBackground))
        canvas.FillRect(TRect{pad.Left, dt, pad.Right, dt + dh}, Rgb(color));
    if (!BGImage || !BGImage->Image || !Document || !Document->ShowImages || BGImage->Missing || BGImage->Delayed)
        return;
    DrawBackgroundTiles(canvas, *BGImage, BGPosX, BGPosY, pad, dt, dh);
}

void TBlock::DrawBlockBorder(Canvas& canvas, const TRect& borderBox, const TRect& paddingBox)
{
    const auto& m = MargArray;
    auto col = [&](int i) {
        const TColor c = static_cast<TColor>(m[i]);
        return c == NoColor ? FGColor : c;
    };
    DrawBorder(canvas, borderBox, paddingBox,
               {col(BorderLeftColor), col(BorderTopColor), col(BorderRightColor), col(BorderBottomColor)},
               {m[BorderLeftStyle], m[BorderTopStyle], m[BorderRightStyle], m[BorderBottomStyle]},
               static_cast<TColor>(m[BackgroundColor]), Document && Document->Printing);
}

void TBlock::PaintChildren(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef, int yRef)
{
    const int saveID = indents.CurrentID;
    indents.CurrentID = LevelID;
    for (const std::size_t i :
         ChildIndex.ToPaint(ZList.size(), [this](std::size_t n) { return ZList[n]; }, Document, clip))
        ZList[i]->PaintSection(canvas, clip, indents, x + ContentOffset, xRef, yRef);
    indents.CurrentID = saveID;
}

TYBand TBlock::PaintBand()
{
    // A block's DrawHeight reaches down past the floats beside it, which may be as tall as the
    // document: it only keeps the block's page-cut rules from cutting it there, and those look at
    // it only when the block starts on the page.
    TYBand band = PlacedBand();
    const auto& m = MargArray;
    // The top border reaches down to the padding box, which a negative top padding can put below
    // everything else of the block.
    for (const std::int64_t y : {std::int64_t{YPosition} + m[MarginTop], std::int64_t{BlockY},
                                 std::int64_t{BlockY} + ClearAddon + m[MarginTop] + std::max(0, m[BorderTopWidth]),
                                 std::int64_t{BlockDrawTop}, std::int64_t{BlockDrawBottom}, std::int64_t{BlockBottom},
                                 std::int64_t{BlockContentBottom}})
        band.Add(y);
    band.Add(ChildIndex.Reach(ZList.size(), [this](std::size_t i) { return ZList[i]; }, Document));
    // The page-cut rules look at the block where it was laid out, the drawing at where it is moved to.
    if (Positioning == 2)
        band.Add(band.Moved(TopP));
    return band;
}

int TBlock::PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef, int yRef)
{
    const int result = YPosition + SectionHeight;
    if (DisplayNone || !Document)
        return result;
    TSectionList& doc = *Document;
    const auto& m = MargArray;
    const int y = YPosition;
    if (doc.Printing && Positioning != 1) {
        const int yo = y - doc.YOff;
        const int bottom = y + SectionHeight;
        const int pageHeight = clip.Bottom - clip.Top;
        auto cutBefore = [&] {
            doc.PageCutY = std::min(doc.PageCutY, y + m[MarginTop]);
            return result;
        };
        auto* tb = dynamic_cast<TTableBlock*>(this);
        if (BreakBefore && !doc.NothingDrawn) {
            if (!(clip.Top + doc.YOff >= y + m[MarginTop]))
                return cutBefore();
        } else if (BreakInside) {
            if (!(clip.Top >= yo || y + DrawHeight <= doc.PageCutY || pageHeight <= DrawHeight - m[MarginTop]))
                return cutBefore();
        } else if (BreakAfter) {
            if (clip.Top + doc.YOff < bottom && doc.PageCutY > bottom)
                doc.PageCutY = bottom;
        } else if (tb && tb->Table && !tb->Table->TableHeader) {
            if (!(clip.Top + pageHeight * 2 / 3 >= yo || y + DrawHeight <= doc.PageCutY || pageHeight <= DrawHeight))
                return cutBefore();
        } else if (tb && tb->Table && doc.TableNestLevel == 0 &&
                   (!doc.TablePrinting || doc.TablePrinting == tb->Table)) {
            ThtmlTable* t = tb->Table;
            int firstBody = 0;
            if (t->Rows.Count() > t->HeaderRowCount)
                firstBody = t->Rows.Items(t->HeaderRowCount)->RowHeight;
            const int head = t->HeaderHeight + t->FooterHeight + firstBody;
            if (!(clip.Top >= yo || y + head <= doc.PageCutY || head >= pageHeight)) {
                if (y + t->CellSpacing / 2 < doc.PageCutY) {
                    doc.TableMoved = true;
                    doc.PageCutY = y + t->CellSpacing / 2;
                }
                return result;
            }
        }
    }
    if (Visibility == 1)
        return result;

    int bx = x;
    int saveYOff = doc.YOff;
    if (Positioning == 1) {
        bx = xRef + LeftP;
    } else if (Positioning == 2) {
        bx = x + LeftP;
        doc.YOff -= TopP;
    }
    const int yOff = doc.YOff;
    TRect border;
    border.Left = bx + ContentOffset - m[PaddingLeft] - m[BorderLeftWidth];
    border.Right = bx + ContentOffset + NewWidth + m[PaddingRight] + m[BorderRightWidth];
    border.Top = BlockY + ClearAddon + m[MarginTop] - yOff;
    border.Bottom = (FloatKind != 0 ? BlockDrawBottom : BlockBottom - m[MarginBottom]) - yOff;
    const TRect pad{border.Left + m[BorderLeftWidth], border.Top + m[BorderTopWidth],
                    border.Right - m[BorderRightWidth], border.Bottom - m[BorderBottomWidth]};
    int saveDC = -1;
    if (Positioning != 0 && doc.TableNestLevel > 0) {
        saveDC = canvas.SaveDC();
        canvas.SelectClipRgn(nullptr);
    }
    if (clip.Bottom >= border.Top && clip.Top <= border.Bottom)
        DrawBackground(canvas, clip, pad);
    int overflowDC = -1;
    if (HideOverflow) {
        overflowDC = canvas.SaveDC();
        canvas.IntersectClipRect(TRect{pad.Left + m[PaddingLeft], pad.Top + m[PaddingTop],
                                       pad.Right - m[PaddingRight], pad.Bottom - m[PaddingBottom]});
    }
    int childRefX = xRef, childRefY = yRef;
    if (Positioning == 1) {
        childRefX = bx + m[MarginLeft] + m[BorderLeftWidth];
        childRefY = TopP + yRef + m[MarginTop] + m[BorderTopWidth];
    }
    PaintChildren(canvas, clip, indents, bx, childRefX, childRefY);
    if (overflowDC >= 0)
        canvas.RestoreDC(overflowDC);
    if (HasBorderStyle)
        DrawBlockBorder(canvas, border, pad);
    if (saveDC >= 0)
        canvas.RestoreDC(saveDC);
    doc.YOff = saveYOff;
    return result;
}

std::u16string TBlockLI::LabelText(int style, int number)
{
    static const char* const kRoman[20] = {"i",  "ii",  "iii",  "iv", "v",  "vi",  "vii",  "viii",  "ix",  "x",
                                           "xi", "xii", "xiii", "xiv", "xv", "xvi", "xvii", "xviii", "xix", "xx"};
    std::string text;
    // Letters and numerals read outside their tables below 1: such items show the decimal number.
    if (number < 1 || style == 2) {
        text = std::to_string(number);
    } else if (style == 4 || style == 8) {
        text = std::string(1, static_cast<char>((style == 4 ? 'a' : 'A') + std::min(number - 1, 25)));
    } else {
        text = kRoman[std::min(number, 20) - 1];
        if (style == 9)
            for (auto& c : text)
                c = static_cast<char>(c - 'a' + 'A');
    }
    text += '.';
    return std::u16string(text.begin(), text.end());
}

TYBand TBlockLI::PaintBand()
{
    TYBand band = TBlock::PaintBand();
    if (FirstLineBaseline > 0) {
        band.Add(FirstLineBaseline);
        if (ListImage)
            band.Add(std::int64_t{FirstLineBaseline} - ListImage->ObjHeight);
    }
    return band;
}

int TBlockLI::PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef, int yRef)
{
    const int result = TBlock::PaintSection(canvas, clip, indents, x, xRef, yRef);
    if (DisplayNone || !Document || Visibility == 1)
        return result;
    const int lx = (Positioning == 1 ? xRef + LeftP : Positioning == 2 ? x + LeftP : x) + ContentOffset;
    const int yb = FirstLineBaseline - Document->YOff;
    if (FirstLineBaseline <= 0 || yb < clip.Top - 50 || yb > clip.Bottom + 50)
        return result;
    if (ListImage && ListImage->ObjWidth > 0) {
        ListImage->Draw(canvas, lx - 16, yb - ListImage->ObjHeight, nullptr);
        return result;
    }
    if (ListType == 0 || ListType == 3)
        return result;
    const ColorRef color = Rgb(ListFont.Color);
    switch (ListStyle) {
    case 2:
    case 4:
    case 5:
    case 8:
    case 9: {
        ListFont.SelectInto(canvas);
        canvas.SetBkMode(BkMode::Transparent);
        canvas.SetTextColor(color);
        canvas.SetTextAlign(TA_BASELINE | TA_LEFT);
        const std::u16string text = LabelText(ListStyle, ListNumber);
        const int w = canvas.TextExtent(text).cx;
        canvas.TextOut(lx - 10 - w, yb, text);
        canvas.SetTextAlign(TA_LEFT | TA_TOP);
        break;
    }
    case 1:
    case 3:
    case 7: {
        const Pen oldPen = canvas.SelectPen(Pen{PenStyle::Solid, 0, color});
        const Brush oldBrush = canvas.SelectBrush(Brush{ListStyle == 1 ? BrushStyle::Null : BrushStyle::Solid, color});
        if (ListStyle == 1)
            canvas.Ellipse(TRect{lx - 16, yb - 7, lx - 9, yb});
        else if (ListStyle == 3)
            canvas.Ellipse(TRect{lx - 15, yb - 6, lx - 10, yb - 1});
        else
            canvas.Rectangle(TRect{lx - 15, yb - 6, lx - 10, yb - 1});
        canvas.SelectBrush(oldBrush);
        canvas.SelectPen(oldPen);
        break;
    }
    default:
        break;
    }
    return result;
}

int TBodyBlock::PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int xRef, int yRef)
{
    if (!DisplayNone)
        PaintChildren(canvas, clip, indents, x, xRef, yRef);
    return YPosition + SectionHeight;
}

int THorzLine::LayoutSection(Canvas& /*canvas*/, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                             int /*fallbackHeight*/, int /*containingHeight*/, int availWidth, int /*refX*/,
                             int /*refY*/, int y)
{
    YPosition = DrawTop = ContentTop = y;
    StartCurs = curs;
    HorzX = std::max(x, indents.LeftIndent(y));
    HorzWidth = std::min(x + availWidth - HorzX, indents.RightSide(y) - HorzX);
    SectionHeight = VSize;
    DrawBot = ContentBot = y + VSize;
    maxWidth = HorzWidth;
    HorzX -= x;
    return SectionHeight;
}

int THorzLine::PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& /*indents*/, int x, int /*xRef*/,
                            int /*yRef*/)
{
    const int result = YPosition + SectionHeight;
    if (!Document)
        return result;
    const TSectionList& doc = *Document;
    const int top = YPosition - doc.YOff;
    const int bottom = top + VSize;
    if (bottom < clip.Top || top > clip.Bottom)
        return result;
    if (doc.Printing && YPosition + VSize > doc.PageCutY)
        return result;
    const int left = x + HorzX;
    const int right = left + HorzWidth;
    if (Color != NoColor) {
        canvas.FillRect(TRect{left, top, right, bottom}, Rgb(Color));
        return result;
    }
    const bool whiteBack = (doc.Background & 0xFFFFFF) == 0xFFFFFF && doc.Background != NoColor;
    ColorRef light = (whiteBack || ColorToRGB(SystemColor(5)) == 0xFFFFFF || doc.Printing) ? 0xC0C0C0
                                                                                            : GetSysColor(20);
    ColorRef dark = GetSysColor(16);
    if (NoShade || (doc.Printing && canvas.IsMonochrome()))
        light = dark = 0;
    const Pen old = canvas.SelectPen(Pen{PenStyle::Solid, 1, light});
    canvas.MoveTo(right - 1, top);
    canvas.LineTo(right - 1, bottom - 1);
    canvas.LineTo(left, bottom - 1);
    canvas.SelectPen(Pen{PenStyle::Solid, 1, dark});
    canvas.LineTo(left, top);
    canvas.LineTo(right - 1, top);
    canvas.SelectPen(old);
    return result;
}

int TPage::PaintSection(Canvas& /*canvas*/, const TRect& clip, IndentManagerBasic& /*indents*/, int /*x*/,
                        int /*xRef*/, int /*yRef*/)
{
    if (Document && Document->Printing) {
        const int yo = YPosition - Document->YOff;
        if (yo > clip.Top + 5 && yo < clip.Bottom && YPosition < Document->PageCutY)
            Document->PageCutY = YPosition;
    }
    return YPosition + SectionHeight;
}

}  // namespace velmoran
