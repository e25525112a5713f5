// The look of form controls on a printer canvas: the controls draw themselves, since window
// controls cannot be printed. Edits, lists and text areas are framed boxes with their text, check
// boxes and radio buttons their marks, buttons their real picture (or a plain frame on a
// monochrome device). A password prints as one "*" per character. See FormControls.h.
#include "html/layout/Borders.h"
#include "html/layout/FormControls.h"
#include "platform/Canvas.h"
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace velmoran {

namespace {

// A button's picture is rendered at most this large on each side, then stretched.
constexpr int kMaxButtonPicture = 2048;

ColorRef Rgb(TColor c) { return ColorToRGB(c == NoColor ? 0 : c); }

// Text at (x, y) from the top, clipped to the box.
void ClippedText(Canvas& canvas, int x, int y, const TRect& box, std::u16string_view text)
{
    canvas.ExtTextOut(x, y, ETO_CLIPPED, &box, text);
}

// The box of a control's text: the frame less 2 pixels on each side.
TRect Inside(int x, int y, int width, int height)
{
    return TRect{x + 2, y + 2, x + width - 2, y + height - 2};
}

// Lines broken at blanks (or anywhere, for a word too long) to fit a width.
std::vector<std::u16string> Wrapped(Canvas& canvas, const std::u16string& line, int width)
{
    std::vector<std::u16string> out;
    std::u16string rest = line;
    while (canvas.TextExtent(rest).cx > width && rest.size() > 1) {
        int fit = std::max(1, canvas.TextFitCount(rest, width));
        const auto blank = rest.rfind(u' ', static_cast<std::size_t>(fit));
        if (blank != std::u16string::npos && blank > 0)
            fit = static_cast<int>(blank);
        out.push_back(rest.substr(0, static_cast<std::size_t>(fit)));
        rest.erase(0, static_cast<std::size_t>(fit));
        while (!rest.empty() && rest.front() == u' ')
            rest.erase(0, 1);
    }
    out.push_back(rest);
    return out;
}

}  // namespace

void TEditFormControlObj::DrawForPrint(Canvas& canvas, int x, int y)
{
    const TRect box{x, y, x + width_, y + height_};
    if (BorderByCss)
        canvas.FillRect(box, Rgb(BkColor == NoColor ? 0xFFFFFF : BkColor));
    else
        DrawFormControlFrame(canvas, box, BkColor == NoColor ? 0xFFFFFF : BkColor, false, false, true);
    Font.SelectInto(canvas);
    canvas.SetTextColor(Rgb(Font.Color));
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    const std::u16string shown = Password ? std::u16string(Text.size(), u'*') : Text;
    const int textHeight = canvas.GetTextMetrics().Height;
    ClippedText(canvas, x + 4, y + (height_ - textHeight) / 2, Inside(x, y, width_, height_), shown);
}

void TTextAreaFormControlObj::DrawForPrint(Canvas& canvas, int x, int y)
{
    const TRect box{x, y, x + width_, y + height_};
    if (BorderByCss)
        canvas.FillRect(box, Rgb(BkColor == NoColor ? 0xFFFFFF : BkColor));
    else
        DrawFormControlFrame(canvas, box, BkColor == NoColor ? 0xFFFFFF : BkColor, false, false, true);
    Font.SelectInto(canvas);
    canvas.SetTextColor(Rgb(Font.Color));
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    const int rowHeight = std::max(1, canvas.GetTextMetrics().Height);
    // The rows as the screen shows them, from the one it shows first; a text area that has no
    // window control (none made, or the document not shown) is wrapped here and printed from its start.
    std::vector<std::u16string> rows;
    std::size_t first = 0;
    if (!MemoRows(rows, first)) {
        for (const std::u16string& line : Lines()) {
            if (Wrap == Off) {
                rows.push_back(line);
                continue;
            }
            const auto pieces = Wrapped(canvas, line, std::max(1, width_ - 6));
            rows.insert(rows.end(), pieces.begin(), pieces.end());
        }
    }
    const TRect inside = Inside(x, y, width_, height_);
    int top = y + 3;
    for (std::size_t i = first; i < rows.size() && top < inside.Bottom; ++i) {
        ClippedText(canvas, x + 3, top, inside, rows[i]);
        top += rowHeight;
    }
}

void TListBoxFormControlObj::DrawForPrint(Canvas& canvas, int x, int y)
{
    const TRect box{x, y, x + width_, y + height_};
    DrawFormControlFrame(canvas, box, BkColor == NoColor ? 0xFFFFFF : BkColor, false, false, true);
    Font.SelectInto(canvas);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    const int rowHeight = std::max(1, canvas.GetTextMetrics().Height);
    const TRect inside = Inside(x, y, width_, height_);
    int top = y + 2;
    for (int i = std::max(0, TopRow); i < Options.Count() && top < inside.Bottom; ++i, top += rowHeight) {
        const bool selected = i < static_cast<int>(Selection.size()) && Selection[static_cast<std::size_t>(i)];
        if (selected && !canvas.IsMonochrome())
            canvas.FillRect(TRect{inside.Left, top, inside.Right, std::min(top + rowHeight, inside.Bottom)},
                            Rgb(SystemColor(COLOR_HIGHLIGHT)));
        canvas.SetTextColor(selected && !canvas.IsMonochrome() ? Rgb(SystemColor(COLOR_HIGHLIGHTTEXT)) : Rgb(Font.Color));
        ClippedText(canvas, x + 4, top, inside, Options.Item(i).Text);
    }
}

void TComboFormControlObj::DrawForPrint(Canvas& canvas, int x, int y)
{
    const TRect box{x, y, x + width_, y + height_};
    DrawFormControlFrame(canvas, box, BkColor == NoColor ? 0xFFFFFF : BkColor, false, false, true);
    // The drop-down button at the right.
    const int buttonWidth = std::min(16, std::max(0, width_ - 4));
    const TRect button{x + width_ - 2 - buttonWidth, y + 2, x + width_ - 2, y + height_ - 2};
    DrawFormControlFrame(canvas, button, SystemColor(COLOR_BTNFACE), true, true, true);
    const int cx = (button.Left + button.Right) / 2;
    const int cy = (button.Top + button.Bottom) / 2;
    const Pen oldPen = canvas.SelectPen(Pen{PenStyle::Solid, 1, 0});
    const Brush oldBrush = canvas.SelectBrush(Brush{BrushStyle::Solid, 0});
    canvas.Polygon({TPoint{cx - 3, cy - 1}, TPoint{cx + 3, cy - 1}, TPoint{cx, cy + 2}});
    canvas.SelectBrush(oldBrush);
    canvas.SelectPen(oldPen);
    Font.SelectInto(canvas);
    canvas.SetTextColor(Rgb(Font.Color));
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    if (ItemIndex >= 0 && ItemIndex < Options.Count()) {
        const TRect inside{x + 2, y + 2, button.Left, y + height_ - 2};
        ClippedText(canvas, x + 4, y + (height_ - canvas.GetTextMetrics().Height) / 2, inside,
                    Options.Item(ItemIndex).Text);
    }
}

void TCheckBoxFormControlObj::DrawForPrint(Canvas& canvas, int x, int y)
{
    // White, disabled or not: only the radio button prints its disabled look.
    DrawFormControlFrame(canvas, TRect{x, y, x + 13, y + 13}, 0xFFFFFF, false, false, true);
    if (!Checked)
        return;
    const int m = y + 13 / 2;
    const Pen old = canvas.SelectPen(Pen{PenStyle::Solid, 2, 0});
    canvas.MoveTo(x + 3, m);
    canvas.LineTo(x + 5, m + 2);
    canvas.LineTo(x + 9, m - 2);
    canvas.SelectPen(old);
}

void TRadioButtonFormControlObj::DrawForPrint(Canvas& canvas, int x, int y)
{
    const TRect circle{x, y, x + 14, y + 14};
    const bool mono = canvas.IsMonochrome();
    const ColorRef fill = Disabled ? Rgb(SystemColor(COLOR_BTNFACE)) : 0xFFFFFF;
    const Pen oldPen = canvas.SelectPen(Pen{PenStyle::Null, 0, 0});
    const Brush oldBrush = canvas.SelectBrush(Brush{BrushStyle::Solid, fill});
    canvas.Ellipse(circle);
    // The shadow over the upper left half, silver over the lower right.
    const int penWidth = mono ? 1 : 2;
    canvas.SelectPen(Pen{PenStyle::Solid, penWidth, mono ? 0 : Rgb(SystemColor(COLOR_BTNSHADOW))});
    canvas.Arc(circle, TPoint{x + 14, y}, TPoint{x, y + 14});
    canvas.SelectPen(Pen{PenStyle::Solid, penWidth, mono ? 0u : 0xC0C0C0u});
    canvas.Arc(circle, TPoint{x, y + 14}, TPoint{x + 14, y});
    if (Checked) {
        canvas.SelectPen(Pen{PenStyle::Solid, 1, 0});
        canvas.SelectBrush(Brush{BrushStyle::Solid, 0});
        canvas.Ellipse(TRect{x + 5, y + 5, x + 9, y + 9});
    }
    canvas.SelectBrush(oldBrush);
    canvas.SelectPen(oldPen);
}

void TButtonFormControlObj::DrawForPrint(Canvas& canvas, int x, int y)
{
    const TRect box{x, y, x + width_, y + height_};
    if (width_ <= 0 || height_ <= 0)
        return;
    const bool canRender = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (!canvas.IsMonochrome() && canRender) {
        if (PrintBitmap.isNull()) {
            // The real button, rendered once.
            QPushButton button(QString::fromStdU16String(Caption));
            button.setFont(QtFontEngine::MakeQFont(Font.Logical()));
            button.resize(std::min(width_, kMaxButtonPicture), std::min(height_, kMaxButtonPicture));
            PrintBitmap = QImage(button.size(), QImage::Format_ARGB32_Premultiplied);
            PrintBitmap.fill(Qt::white);
            button.render(&PrintBitmap);
        }
        canvas.StretchBlt(box, PrintBitmap);
        return;
    }
    const Pen oldPen = canvas.SelectPen(Pen{PenStyle::Solid, 1, 0});
    const Brush oldBrush = canvas.SelectBrush(Brush{BrushStyle::Solid, 0xFFFFFF});
    canvas.Rectangle(box);
    canvas.SelectBrush(oldBrush);
    canvas.SelectPen(oldPen);
    Font.SelectInto(canvas);
    canvas.SetTextColor(0);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    const TextSize size = canvas.TextExtent(Caption);
    ClippedText(canvas, x + (width_ - size.cx) / 2, y + (height_ - size.cy) / 2, box, Caption);
}

}  // namespace velmoran
