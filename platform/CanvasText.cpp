// DrawText over the canvas; see CanvasText.h.
#include "platform/CanvasText.h"

#include <algorithm>
#include <vector>

namespace velmoran {

namespace {

constexpr char16_t kTab = u'\t';

// One line as it is drawn: its characters with the prefix marks taken out, and the character
// that "&" marked (-1 when none).
struct TextLine {
    std::u16string Text;
    int Underlined = -1;
};

TextLine StripPrefixes(std::u16string_view text, bool prefixes)
{
    TextLine line;
    if (!prefixes) {
        line.Text = text;
        return line;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            line.Text += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            break;  // a closing "&" marks nothing
        ++i;
        if (text[i] != u'&' && line.Underlined < 0)
            line.Underlined = static_cast<int>(line.Text.size());
        line.Text += text[i];
    }
    return line;
}

// The lines the caller wrote: broken at CR LF, CR and LF unless the text is one line.
std::vector<std::u16string_view> HardLines(std::u16string_view text, bool singleLine)
{
    std::vector<std::u16string_view> lines;
    if (singleLine) {
        lines.push_back(text);
        return lines;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

class Formatter {
public:
    Formatter(const Canvas& canvas, unsigned flags) : canvas_(canvas), flags_(flags)
    {
        tabWidth_ = std::max(1, 8 * canvas.GetTextMetrics().AveCharWidth);
    }

    // Advances of the characters, tabs stretched to their stops counted from the line's start.
    std::vector<int> Advances(std::u16string_view text) const
    {
        std::vector<int> advances = canvas_.CharAdvances(text);
        if (!(flags_ & DT_EXPANDTABS))
            return advances;
        int x = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == kTab)
                advances[i] = tabWidth_ - x % tabWidth_;
            x += advances[i];
        }
        return advances;
    }

    int Width(std::u16string_view text) const
    {
        int width = 0;
        for (int a : Advances(text))
            width += a;
        return width;
    }

    // Splits a line between words so that each part fits into width where it can.
    std::vector<TextLine> Break(const TextLine& line, int width) const
    {
        std::vector<TextLine> parts;
        const std::u16string& s = line.Text;
        std::size_t start = 0;
        do {
            const std::vector<int> advances = Advances(std::u16string_view(s).substr(start));
            std::size_t end = s.size();
            std::size_t next = s.size();
            std::size_t lastSpace = std::u16string::npos;
            int x = 0;
            for (std::size_t i = start; i < s.size(); ++i) {
                if (s[i] == u' ') {
                    lastSpace = i;
                } else if (x + advances[i - start] > width && i > start) {
                    if (lastSpace != std::u16string::npos) {
                        end = lastSpace;
                        next = lastSpace + 1;
                    } else {
                        // No space to break at: the word stays whole up to the next space.
                        const std::size_t space = s.find(u' ', i);
                        end = space == std::u16string::npos ? s.size() : space;
                        next = space == std::u16string::npos ? s.size() : space + 1;
                    }
                    break;
                }
                x += advances[i - start];
            }
            TextLine part;
            part.Text = s.substr(start, end - start);
            if (line.Underlined >= static_cast<int>(start) && line.Underlined < static_cast<int>(end))
                part.Underlined = line.Underlined - static_cast<int>(start);
            parts.push_back(std::move(part));
            start = next;
        } while (start < s.size());
        return parts;
    }

    // Cuts a line that is wider than width so that it ends with "..." within width.
    void Ellipsis(TextLine& line, int width) const
    {
        if (Width(line.Text) <= width)
            return;
        const int dots = Width(u"...");
        const std::vector<int> advances = Advances(line.Text);
        std::size_t n = 0;
        int x = 0;
        while (n < advances.size() && x + advances[n] + dots <= width)
            x += advances[n++];
        line.Text = line.Text.substr(0, n) + u"...";
        if (line.Underlined >= static_cast<int>(n))
            line.Underlined = -1;
    }

    // Draws one line with its left edge at x and its top at y.
    void Draw(Canvas& canvas, const TextLine& line, int x, int y) const
    {
        const std::vector<int> advances = Advances(line.Text);
        std::size_t start = 0;
        int runX = x;
        int at = x;
        for (std::size_t i = 0; i <= line.Text.size(); ++i) {
            if (i < line.Text.size() && !(line.Text[i] == kTab && (flags_ & DT_EXPANDTABS))) {
                at += advances[i];
                continue;
            }
            if (i > start)
                canvas.TextOut(runX, y, std::u16string_view(line.Text).substr(start, i - start));
            if (i < line.Text.size())
                at += advances[i];
            start = i + 1;
            runX = at;
        }
        if (line.Underlined >= 0) {
            int left = x;
            for (int i = 0; i < line.Underlined; ++i)
                left += advances[static_cast<std::size_t>(i)];
            const int baseline = y + canvas.GetTextMetrics().Ascent;
            canvas.FillRect({left, baseline + 1, left + advances[static_cast<std::size_t>(line.Underlined)], baseline + 2},
                            canvas.GetTextColor());
        }
    }

private:
    const Canvas& canvas_;
    unsigned flags_;
    int tabWidth_ = 8;
};

}  // namespace

int DrawText(Canvas& canvas, std::u16string_view text, TRect& rect, unsigned flags)
{
    const Formatter format(canvas, flags);
    const bool singleLine = (flags & DT_SINGLELINE) != 0;
    std::vector<TextLine> lines;
    for (std::u16string_view hard : HardLines(text, singleLine)) {
        TextLine line = StripPrefixes(hard, !(flags & DT_NOPREFIX));
        if ((flags & DT_WORDBREAK) && !singleLine) {
            for (TextLine& part : format.Break(line, rect.Width()))
                lines.push_back(std::move(part));
        } else {
            lines.push_back(std::move(line));
        }
    }
    const TextMetrics metrics = canvas.GetTextMetrics();
    const int lineHeight = metrics.Height + ((flags & DT_EXTERNALLEADING) ? metrics.ExternalLeading : 0);
    const int height = lineHeight * static_cast<int>(lines.size());
    if (flags & DT_CALCRECT) {
        int width = 0;
        for (const TextLine& line : lines)
            width = std::max(width, format.Width(line.Text));
        rect.Right = rect.Left + width;
        rect.Bottom = rect.Top + height;
        return height;
    }
    int y = rect.Top;
    if (singleLine && (flags & DT_BOTTOM))
        y = rect.Bottom - lineHeight;
    else if (singleLine && (flags & DT_VCENTER))
        y = rect.Top + (rect.Height() - lineHeight) / 2;
    const unsigned align = canvas.SetTextAlign(TA_LEFT | TA_TOP);
    for (TextLine& line : lines) {
        if (flags & DT_END_ELLIPSIS)
            format.Ellipsis(line, rect.Width());
        const int width = format.Width(line.Text);
        int x = rect.Left;
        if (flags & DT_CENTER)
            x = rect.Left + (rect.Width() - width) / 2;
        else if (flags & DT_RIGHT)
            x = rect.Right - width;
        format.Draw(canvas, line, x, y);
        y += lineHeight;
    }
    canvas.SetTextAlign(align);
    return height;
}

}  // namespace velmoran
