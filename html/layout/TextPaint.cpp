// Painting of text sections: lines in pieces by font run, object and selection boundary, with
// baseline alignment, sub- and superscripts, justification, soft hyphens, selection colours,
// printing colours and the page cut of lines.
#include "html/layout/TextSection.h"

#include "html/layout/Blocks.h"
#include "html/layout/Borders.h"
#include "html/layout/SectionList.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <algorithm>

namespace velmoran {

namespace {

ColorRef Resolved(TColor c) { return (c & kSystemColorBase) ? ColorToRGB(c) : (c & 0xFFFFFF); }

// A piece of text longer than this is handed to the canvas only where it meets the clip (a shorter
// one whole, unless it lies outside), and a line's bordered elements are drawn only where they
// meet it: a line that must not break may run for megabytes, and drawing all of it laid out every
// glyph and every box on each paint.
constexpr std::size_t kLongPiece = 1024;
// How far outside the clip a glyph or a box may still show (an italic overhang, a wide glyph).
constexpr int kClipSlack = 40;

// Outputs a piece at the current position (clipped to clipRect when given) where it meets the
// columns of the paint's clip, a long one only there; the position moves past all of it either
// way. Justification spreads its remainder over the first spaces of each output, so a justified
// piece is cut by nothing but its whole lying outside.
void OutputPiece(Canvas& canvas, std::u16string_view piece, const TRect* clipRect, const TRect& paint, bool justified)
{
    const TPoint start = canvas.GetCurrentPosition();
    const int width = canvas.TextExtent(piece).cx;
    const int right = ExtentSum(start.X, width);
    auto output = [&](std::u16string_view text) {
        if (clipRect)
            canvas.ExtTextOut(0, 0, ETO_CLIPPED, clipRect, text);
        else
            canvas.TextOut(0, 0, text);
    };
    if (right < paint.Left - kClipSlack || start.X > paint.Right + kClipSlack) {
        canvas.MoveTo(right, start.Y);
        return;
    }
    if (piece.size() <= kLongPiece || justified) {
        output(piece);
        return;
    }
    int before = 0;
    const std::size_t skipped =
        static_cast<std::size_t>(canvas.TextFitCount(piece, paint.Left - kClipSlack - start.X, &before));
    const int left = ExtentSum(start.X, before);
    std::size_t shown =
        static_cast<std::size_t>(canvas.TextFitCount(piece.substr(skipped), paint.Right + kClipSlack - left));
    // The character the right edge cuts, whole.
    shown = std::min(piece.size() - skipped, shown + 2);
    canvas.MoveTo(left, start.Y);
    output(piece.substr(skipped, shown));
    canvas.MoveTo(right, start.Y);
}

bool InAbsoluteBlock(const TSectionBase& s)
{
    for (const TCellBasic* cell = s.OwnerCell; cell && cell->OwnerBlock; cell = cell->OwnerBlock->OwnerCell)
        if (cell->OwnerBlock->Positioning == 1)
            return true;
    return false;
}

}  // namespace

void TSection::DrawInlineBorders(Canvas& canvas, const LineRec& line, int x, int baseline, const TRect& paint)
{
    if (!Document || Document->InlineList.empty())
        return;
    const int lineFrom = StartCurs + line.Start;
    int lineTo = StartCurs + line.Start + line.Ln;
    while (lineTo > lineFrom && Text[static_cast<std::size_t>(lineTo - StartCurs - 1)] == u' ')
        --lineTo;  // the space that ends the line is not drawn
    Document->InlineBoxes.Update(*Document);
    const std::vector<std::size_t> held = Document->InlineBoxes.Holding(lineFrom, lineTo);
    if (held.empty())
        return;
    // Where each element starts and ends on the line, measured in one walk along it.
    std::vector<int> ends;
    for (const std::size_t i : held) {
        const InlineRec& r = Document->InlineList[i];
        ends.push_back(std::max(r.StartDoc, lineFrom) - StartCurs);
        ends.push_back(std::min(r.EndDoc, lineTo) - StartCurs);
    }
    std::sort(ends.begin(), ends.end());
    ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
    canvas.SetTextJustification(line.Spaces > 0 ? line.Extra : 0, line.Spaces);
    const std::vector<int> widths = TextWidths(canvas, line.Start, ends);
    canvas.SetTextJustification(0, 0);
    auto xAt = [&](int doc) {
        const auto at = std::lower_bound(ends.begin(), ends.end(), doc - StartCurs) - ends.begin();
        return x + widths[static_cast<std::size_t>(at)];
    };
    for (const std::size_t i : held) {
        const InlineRec& r = Document->InlineList[i];
        const int from = std::max(r.StartDoc, lineFrom);
        const int to = std::min(r.EndDoc, lineTo);
        int autoCount = 0;
        const auto m = ConvMargArray(r.MargArrayO, 200, 200, r.EmSize, r.ExSize, autoCount);
        const bool opensHere = r.StartDoc >= lineFrom;
        const bool closesHere = r.EndDoc <= StartCurs + line.Start + line.Ln;  // trailing spaces count
        const int x1 = xAt(from);
        const int x2 = xAt(to);
        const int ascent = line.LineHt - line.Descent;
        TRect pad{x1 - (opensHere ? m[PaddingLeft] : 0), baseline - ascent - m[PaddingTop],
                  x2 + (closesHere ? m[PaddingRight] : 0), baseline + line.Descent + m[PaddingBottom]};
        TRect outer{pad.Left - (opensHere ? m[BorderLeftWidth] : 0), pad.Top - m[BorderTopWidth],
                    pad.Right + (closesHere ? m[BorderRightWidth] : 0), pad.Bottom + m[BorderBottomWidth]};
        if (outer.Right < paint.Left - kClipSlack || outer.Left > paint.Right + kClipSlack)
            continue;
        const TColor bg = static_cast<TColor>(m[BackgroundColor]);
        if (bg != NoColor)
            canvas.FillRect(pad, Resolved(bg));
        const TColor fg = Fonts.GetFontAt(from - StartCurs)->TheFont.Color;
        auto col = [&](int side) { return static_cast<TColor>(m[side]) == NoColor ? fg : static_cast<TColor>(m[side]); };
        DrawBorder(canvas, outer, pad, {col(BorderLeftColor), col(BorderTopColor), col(BorderRightColor), col(BorderBottomColor)},
                   {opensHere ? m[BorderLeftStyle] : 0, m[BorderTopStyle], closesHere ? m[BorderRightStyle] : 0,
                    m[BorderBottomStyle]},
                   bg, Document->Printing);
    }
}

int TSection::ControlTop(const TFormControlObj& control, const LineRec& line, int baseline)
{
    const int lineBottom = baseline + line.Descent;
    switch (control.VertAlign) {
    case 1: return lineBottom - line.LineHt + control.VSpaceT;
    case 2: return lineBottom - (line.LineHt + control.Height()) / 2;
    case 3: return baseline - control.Height() - control.VSpaceB;
    case 4: return lineBottom - control.Height() - control.VSpaceB;
    default: return lineBottom;
    }
}

// A control drawn at its place: on a printer its look, on the screen its window control moved
// there (a focused check box or radio button framed by a focus rectangle).
void TSection::DrawControl(Canvas& canvas, TFormControlObj& control, int x, int y)
{
    if (!Document || Document->IsCopy || Document->Printing) {
        const int saved = canvas.SaveDC();
        control.DrawForPrint(canvas, x, y);
        canvas.RestoreDC(saved);
        return;
    }
    control.ShowAt(x, y);
    if (!control.Focused)
        return;
    TRect box;
    if (dynamic_cast<const TRadioButtonFormControlObj*>(&control))
        box = canvas.GetDeviceCaps(LOGPIXELSX) > 100 ? TRect{x - 2, y - 2, x + 18, y + 18} : TRect{x - 3, y - 2, x + 16, y + 16};
    else if (dynamic_cast<const TCheckBoxFormControlObj*>(&control))
        box = TRect{x - 3, y - 3, x + 16, y + 16};
    else
        return;
    const Brush oldBrush = canvas.SelectBrush(Brush{BrushStyle::Solid, 0xFFFFFF});
    const ColorRef oldText = canvas.SetTextColor(0);
    canvas.DrawFocusRect(box);
    canvas.SetTextColor(oldText);
    canvas.SelectBrush(oldBrush);
}

void TSection::DrawLine(Canvas& canvas, const LineRec& line, int x, int baseline, const TRect& paint,
                        const TRect* clipRect)
{
    const int from = line.Start;
    int to = line.Start + line.Ln;
    // The space or forced break that ends the line is not drawn; blanks before it (a line of PRE
    // may end in several) are, with their background, underline and selection.
    if (to > from && (Text[static_cast<std::size_t>(to - 1)] == u' ' || Text[static_cast<std::size_t>(to - 1)] == kBreakChar))
        --to;
    const int selB = Document ? Document->SelB - StartCurs : -1;
    const int selE = Document ? Document->SelE - StartCurs : -1;
    const bool printing = Document && Document->Printing;
    DrawInlineBorders(canvas, line, x, baseline, paint);
    canvas.SetTextAlign(TA_BASELINE | TA_UPDATECP);
    canvas.MoveTo(x, baseline);
    int i = from;
    while (i < to) {
        const char16_t c = Text[static_cast<std::size_t>(i)];
        if (c == kFormControlChar) {
            if (TFormControlObj* control = FormControls.FindByPosition(i)) {
                const int ox = canvas.GetCurrentPosition().X + control->HSpaceL;
                DrawControl(canvas, *control, ox, ControlTop(*control, line, baseline));
                canvas.MoveTo(ox + control->Width() + control->HSpaceR, baseline);
            }
            ++i;
            continue;
        }
        if (c == kImageChar) {
            TFloatingObj* o = Images.FindByPosition(i);
            if (o && !o->IsFloat()) {
                const int ox = canvas.GetCurrentPosition().X + o->HSpaceL;
                int top;
                if (o->VertAlign == 1)
                    top = baseline + line.Descent - line.LineHt + o->VSpaceT;
                else if (o->VertAlign == 2)
                    top = baseline + line.Descent - line.LineHt / 2 - (o->ObjHeight + o->VSpaceT + o->VSpaceB) / 2 + o->VSpaceT;
                else
                    top = baseline - o->ObjHeight - o->VSpaceB;
                o->DrawX = ox;
                o->DrawYY = top + (Document ? Document->YOff : 0);
                o->Draw(canvas, ox, top, Fonts.GetFontAt(i));
                canvas.MoveTo(ox + o->ObjWidth + o->HSpaceR, baseline);
            }
            ++i;
            continue;
        }
        int end = Fonts.NextRunStart(i, to);
        for (int j = i; j < end; ++j)
            if (Text[static_cast<std::size_t>(j)] == kImageChar || Text[static_cast<std::size_t>(j)] == kFormControlChar ||
                Text[static_cast<std::size_t>(j)] == kBreakChar) {
                end = j;
                break;
            }
        if (selB > i && selB < end)
            end = selB;
        if (selE > i && selE < end)
            end = selE;
        if (end <= i) {
            ++i;
            continue;
        }
        const TFontObj* run = Fonts.GetFontAt(i);
        run->TheFont.SelectInto(canvas);
        ColorRef textColor = Resolved(run->TheFont.Color);
        const bool hasBg = run->TheFont.BGColor != NoColor;
        if (printing) {
            if (Document->PrintMonoBlack && canvas.IsMonochrome() && textColor != 0xFFFFFF)
                textColor = 0;
            if (!Document->PrintTableBackground && (textColor & 0xE0E0) == 0xE0E0)
                textColor = 0xA0A0A0;
        }
        const bool selected = i >= selB && end <= selE && selB < selE;
        if (selected) {
            canvas.SetBkMode(BkMode::Opaque);
            canvas.SetBkColor(textColor);
            canvas.SetTextColor(hasBg ? Resolved(run->TheFont.BGColor) : (textColor ^ 0xFFFFFF));
        } else if (hasBg) {
            canvas.SetBkMode(BkMode::Opaque);
            canvas.SetBkColor(Resolved(run->TheFont.BGColor));
            canvas.SetTextColor(textColor);
        } else {
            canvas.SetBkMode(BkMode::Transparent);
            canvas.SetTextColor(textColor);
        }
        if (line.Spaces > 0)
            canvas.SetTextJustification(line.Extra, line.Spaces);
        else
            canvas.SetTextJustification(0, 0);
        std::u16string piece = Text.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(end - i));
        for (auto& ch : piece)
            if (ch == 0xA0)
                ch = u' ';
        if (line.Shy && end == to)
            piece += u'-';
        int offset = 0;
        if (run->SScript == 2)
            offset = -(run->FontHeight / 3);
        else if (run->SScript == 1)
            offset = run->Descent / 2 + 1;
        const TPoint here = canvas.GetCurrentPosition();
        if (offset != 0)
            canvas.MoveTo(here.X, baseline + offset);
        if (Document && Document->NoOutput)
            canvas.MoveTo(here.X + canvas.TextExtent(piece).cx, baseline + offset);
        else
            OutputPiece(canvas, piece, clipRect, paint, line.Spaces > 0);
        const int endX = canvas.GetCurrentPosition().X;
        // The drawn caret at the selection start (or after the section's last character).
        if (Document && Document->ShowDummyCaret && !Document->Printing) {
            const int caret = Document->SelB - StartCurs;
            const bool inPiece = caret >= i && caret < end && !selected;
            const bool atEnd = end == to && caret >= to && caret <= line.Start + line.Ln && caret >= Len - 1;
            if (inPiece || atEnd) {
                int cx = endX;
                if (inPiece)
                    cx = here.X + canvas.TextExtent(std::u16string_view(piece).substr(0, static_cast<std::size_t>(caret - i))).cx;
                const int textBottom = baseline + offset + run->Descent;
                const Pen oldPen = canvas.SelectPen(Pen{PenStyle::Solid, 0, textColor});
                const Brush oldBrush = canvas.SelectBrush(Brush{BrushStyle::Solid, 0xFFFFFF});
                canvas.Rectangle(TRect{cx, textBottom - run->FontHeight, cx + 1, textBottom});
                canvas.SelectBrush(oldBrush);
                canvas.SelectPen(oldPen);
            }
        }
        if (run->IsLink() && Document && (run->Active || (Document->IsCopy && Document->LinkAreaCallback))) {
            const int textBottom = baseline + offset + run->Descent;
            const TRect box{here.X, textBottom - run->FontHeight, endX + 1, textBottom};
            if (run->Active && !Document->Printing) {
                const Brush old = canvas.SelectBrush(Brush{BrushStyle::Solid, 0xFFFFFF});
                canvas.DrawFocusRect(box);
                canvas.SelectBrush(old);
            }
            if (Document->LinkAreaCallback)
                Document->LinkAreaCallback(Document->PageNumber, run->UrlTarget().URL, run->UrlTarget().Target, box);
        }
        if (offset != 0)
            canvas.MoveTo(endX, baseline);
        i = end;
    }
    canvas.SetTextJustification(0, 0);
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
}

int TSection::PaintSection(Canvas& canvas, const TRect& clip, IndentManagerBasic& indents, int x, int /*xRef*/,
                           int /*yRef*/)
{
    const int result = YPosition + SectionHeight;
    if (Lines.empty() || !Display)
        return result;
    const int yOff = Document ? Document->YOff : 0;
    if (DrawBot - yOff < clip.Top - 40 || YPosition - yOff > clip.Bottom + 40)
        return result;
    const bool printing = Document && Document->Printing;
    // Floating images wait in the document's list and are drawn after everything else; those that
    // the clip cannot show are left out.
    if (Document)
        for (const int place : floats_.Meeting(Images, clip.Top - 40 + yOff, clip.Bottom + 40 + yOff)) {
            TFloatingObj* o = Images[place];
            Document->DrawList.push_back({o, indents.LfEdge + o->DrawX, o->DrawYY - yOff, Fonts.GetFontAt(o->Pos)});
        }
    const int pageHeight = clip.Bottom - clip.Top;
    // The lines that end above the clip rectangle (the page top while printing) draw nothing and
    // move no cut: a paragraph of many pages starts at the first line that counts, and every line
    // from there is drawn until one lies below the rectangle or the cut. Nothing else decides.
    const int above = printing ? clip.Top + yOff : clip.Top - 41 + yOff;
    const auto firstLine = std::partition_point(Lines.begin(), Lines.end(), [above](const LineRec& line) {
        return ExtentSum(line.LineY, line.Height()) <= above;
    });
    for (auto it = firstLine; it != Lines.end(); ++it) {
        const LineRec& line = *it;
        const int lineTop = line.LineY;  // document coordinates
        if (printing ? lineTop >= Document->PageCutY : lineTop - yOff > clip.Bottom + 40)
            break;
        // A printed line that crosses the cut moves the cut up to its top and goes to the next
        // page, unless it is as tall as a page or cannot move (a table moved, an absolute block).
        if (printing && ExtentSum(lineTop, line.Height()) > Document->PageCutY && line.Height() < pageHeight &&
            !Document->TableMoved && !InAbsoluteBlock(*this)) {
            Document->PageCutY = lineTop;
            break;
        }
        const int textBottom = ExtentSum(lineTop, line.SpaceBefore + line.LineHt);
        // Pre-formatted lines are clipped to the block unless the block hides its overflow.
        TRect preClip;
        const TRect* clipRect = nullptr;
        if (PreFormatted && !(OwnerCell && OwnerCell->OwnerBlock && OwnerCell->OwnerBlock->HideOverflow)) {
            preClip = TRect{indents.LfEdge, lineTop - yOff, x + (indents.Width - indents.LfEdge),
                            textBottom + line.SpaceAfter + 1 - yOff};
            clipRect = &preClip;
        }
        DrawLine(canvas, line, x + line.LineIndent, textBottom - line.Descent - yOff, clip, clipRect);
        if (Document)
            Document->NothingDrawn = false;
    }
    return result;
}

}  // namespace velmoran
