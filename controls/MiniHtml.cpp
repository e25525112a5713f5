// The caption engine's entry: preparing the caption, running, aligning and stacking its lines,
// and the hit test; colour names and the accelerator. The pass over one line is in
// MiniHtmlRender.cpp.
#include "controls/MiniHtml.h"

#include "controls/MiniHtmlText.h"
#include "html/base/image/KeptImages.h"
#include "platform/core/CodePage.h"
#include "platform/core/ScopeExit.h"

#include <algorithm>

namespace velmoran {

namespace {

struct NamedColor {
    std::string_view Name;
    ColorRef Value;
};

constexpr NamedColor kNamedColors[] = {
    {"clred", 0x0000FF},     {"clblack", 0x000000},  {"clblue", 0xFF0000},   {"clgreen", 0x008000},
    {"claqua", 0xFFFF00},    {"clyellow", 0x00FFFF}, {"clfuchsia", 0xFF00FF}, {"clwhite", 0xFFFFFF},
    {"cllime", 0x00FF00},    {"clsilver", 0xC0C0C0}, {"clgray", 0x808080},   {"clolive", 0x008080},
    {"clnavy", 0x800000},    {"clpurple", 0x800080}, {"clteal", 0x808000},   {"clmaroon", 0x000080},
};

// The system colours by their Windows index.
constexpr std::string_view kSystemColorNames[] = {
    "clbackground",    "clactivecaption", "clinactivecaption", "clmenu",       "clwindow",
    "clwindowframe",   "clmenutext",      "clwindowtext",      "clcaptiontext", "clactiveborder",
    "clinactiveborder", "clappworkspace", "clhighlight",       "clhighlighttext", "clbtnface",
    "clbtnshadow",     "clgraytext",      "clbtntext",         "clinactivecaptiontext", "clbtnhighlight",
    "cl3ddkshadow",    "cl3dlight",       "clinfotext",        "clinfobk",
};

int GhHeight(Canvas& canvas, const LogicalFont& font)
{
    canvas.SetFont(font);
    return canvas.GetTextMetrics().Height;
}

// Where a line of the given width starts in the line rectangle.
int LineStart(const TRect& lineRect, const TMiniHtmlPass& pass, int width)
{
    int x = lineRect.Left;
    if (pass.Align == TMiniHtmlAlign::Right) {
        if (lineRect.Right - width > lineRect.Left)
            x = lineRect.Right - width;
    } else if (pass.Align == TMiniHtmlAlign::Centre) {
        const int room = lineRect.Right - lineRect.Left - width;
        if (room > 0)
            x = lineRect.Left + room / 2;
    }
    return x + pass.Indent;
}

// The same line once more, from its start, for the second pass.
TMiniHtmlLine Rerun(const TMiniHtmlLine& measured)
{
    TMiniHtmlLine line;
    line.Height = measured.Height;
    line.GhHeight = measured.GhHeight;
    line.SubOffset = measured.SubOffset;
    line.SupOffset = measured.SupOffset;
    return line;
}

}  // namespace

bool DrawMiniHtml(Canvas& canvas, const TMiniHtmlInputs& inputs, TMiniHtmlOutputs& outputs)
{
    // A caption showing a metafile at more sizes than a picture keeps finds all of them at its
    // next paint.
    const TKeptImages::Paint keptImagesPaint;
    outputs = TMiniHtmlOutputs{};
    const int saved = canvas.SaveDC();
    const ScopeExit restore([&] { canvas.RestoreDC(saved); });

    TMiniHtmlPass measure;
    measure.BaseFont = measure.Font = canvas.Font();
    measure.BaseColor = measure.FontColor = canvas.GetTextColor();
    const Brush& brush = canvas.GetBrush();
    measure.Background = brush.Style == BrushStyle::Null ? clNone : brush.Color;
    TMiniHtmlPass paint = measure;
    canvas.SetBkMode(BkMode::Transparent);

    const std::string prepared = PrepareCaption(inputs.Text);
    std::string_view rest = prepared;
    TRect lineRect = inputs.Rect;
    lineRect.Left += 1;
    const int available = lineRect.Width();
    int top = lineRect.Top;
    while (!rest.empty()) {
        TMiniHtmlLine line;
        line.Height = line.GhHeight = GhHeight(canvas, measure.Font);
        const TRect measureBox{lineRect.Left, top, lineRect.Right, top + line.Height};
        std::string_view source =
            RenderMiniHtml(canvas, inputs, outputs, measure, line, TMiniHtmlMode::Measure, measureBox, available, rest);
        const int lineHeight = line.Height + line.SubOffset + line.SupOffset;
        const TRect box{LineStart(lineRect, measure, line.Width), top, lineRect.Right, top + lineHeight};
        if (!inputs.MeasureOnly) {
            TMiniHtmlLine second = Rerun(line);
            const TMiniHtmlMode mode = inputs.AnchorTestOnly ? TMiniHtmlMode::HitTest : TMiniHtmlMode::Paint;
            RenderMiniHtml(canvas, inputs, outputs, paint, second, mode, box, available, source);
            // The rows the text is drawn in, above a subscript's room: from the box's bottom a link's top rows missed.
            const int bottom = box.Bottom - line.SubOffset - second.Lift;
            if ((second.TextAnchorHit && inputs.Y > bottom - line.GhHeight && inputs.Y < bottom) || second.ImageAnchorHit)
                outputs.Hit = true;
        }
        top += lineHeight;
        outputs.Height += lineHeight;
        if (top > inputs.Rect.Bottom && !inputs.MeasureOnly)
            break;
    }
    if (outputs.Height == 0)
        outputs.Height = GhHeight(canvas, paint.Font);
    outputs.AnchorCount = (inputs.MeasureOnly ? measure : paint).AnchorCounter;
    return outputs.Hit;
}

ColorRef ParseHtmlColor(std::string_view name)
{
    for (const NamedColor& c : kNamedColors)
        if (c.Name == name)
            return c.Value;
    for (std::size_t i = 0; i < std::size(kSystemColorNames); ++i)
        if (kSystemColorNames[i] == name)
            return SystemColor(static_cast<int>(i) + 1);
    return clBlack;
}

bool IsCaptionAddress(std::string_view href)
{
    return href.find("://") != std::string_view::npos || href.find("mailto:") != std::string_view::npos;
}

char32_t CaptionAccelerator(std::string_view caption)
{
    const std::string prepared = PrepareCaption(caption);
    std::string_view rest = prepared;
    while (!rest.empty()) {
        if (rest.front() == '<') {
            const std::size_t close = rest.find('>');
            if (close == std::string_view::npos)
                break;
            rest.remove_prefix(close + 1);
            continue;
        }
        const std::size_t end = std::min(rest.find('<'), rest.size());
        const std::u16string piece = Utf8ToWide(DecodePieceEntities(rest.substr(0, end)));
        for (std::size_t i = 0; i + 1 < piece.size(); ++i) {
            if (piece[i] != u'&')
                continue;
            if (piece[i + 1] != u'&')
                return piece[i + 1] >= u'a' && piece[i + 1] <= u'z' ? piece[i + 1] - 32 : piece[i + 1];
            ++i;
        }
        rest.remove_prefix(end);
    }
    return 0;
}

}  // namespace velmoran
