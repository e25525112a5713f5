// Line breaking of text sections: minimum and maximum widths, counting what fits in a width, the
// break rules, and finishing each line with its height, images, alignment and justification.
#include "html/layout/TextSection.h"

#include "html/base/WideText.h"
#include "html/layout/Cells.h"
#include "html/layout/SectionList.h"
#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>

namespace velmoran {

namespace {

bool IsObjectChar(char16_t c) { return c == kFormControlChar || c == kImageChar; }
bool IsWide(char16_t c) { return c >= 0x3000; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// How many characters a line's fit count measures in one go. A paragraph can be one font run of
// megabytes without an object or break: looking for the piece's end through all of it on every
// line made laying out such a paragraph take time by the square of its length.
constexpr int kFitChunk = 256;

// The first index after `from` (up to `to`) where a font run starts or an object or break stands.
int PieceEnd(const TSection& s, int from, int to)
{
    const int end = s.Fonts.NextRunStart(from, to);
    for (int i = from; i < end; ++i) {
        const char16_t c = s.Text[static_cast<std::size_t>(i)];
        if (IsObjectChar(c) || c == kBreakChar)
            return std::max(i, from + (i == from ? 1 : 0));
    }
    return end;
}

// The horizontal room an inline object takes.
int ObjectWidth(const TFloatingObj* o) { return o ? o->ObjWidth + o->HSpaceL + o->HSpaceR : 0; }

}  // namespace

void TFontObj::ApplyLinkStateFont()
{
    if (!FIArray())
        return;
    const int state = (Visited ? 1 : 0) + (Hover ? 2 : 0);
    const ThtFontInfo& fi = FIArray()->Ar[static_cast<std::size_t>(state)];
    TMyFont font = TheFont;
    if (!fi.Name.empty())
        font.Name = fi.Name;
    font.Height = -static_cast<int>(std::lround(kPixelsPerInch * fi.Size / 72.0));
    font.Style = fi.Style;
    font.BGColor = fi.BGColor;
    font.Color = fi.Color;
    font.Charset = fi.Charset;
    if (font.Name == TheFont.Name && font.Height == TheFont.Height && font.Style == TheFont.Style &&
        font.Color == TheFont.Color && font.BGColor == TheFont.BGColor && font.Charset == TheFont.Charset)
        return;
    ReplaceFont(font);
}

void TFontObj::SetHover(bool hover)
{
    auto apply = [hover](TFontObj& run) {
        if (run.Hover == hover)
            return;
        run.Hover = hover;
        run.ApplyLinkStateFont();
    };
    apply(*this);
    if (!Section)
        return;
    TFontList& runs = Section->Fonts;
    int me = -1;
    for (int i = 0; i < runs.Count(); ++i)
        if (runs.Items(i) == this)
            me = i;
    if (me < 0)
        return;
    auto sameLink = [&](int i) { return runs.Items(i)->IsLink() && runs.Items(i)->UrlTarget().ID == UrlTarget().ID; };
    for (int i = me - 1; i >= 0 && sameLink(i); --i)
        apply(*runs.Items(i));
    for (int i = me + 1; i < runs.Count() && sameLink(i); ++i)
        apply(*runs.Items(i));
}

void TSection::SizeImages(Canvas& canvas, int width, int height)
{
    for (auto& obj : Images)
        obj->DrawLogic(Document, canvas, Fonts.GetFontAt(obj->Pos), width, height);
}

int TSection::InlineRoom(int index) const
{
    const char16_t c = Text[static_cast<std::size_t>(index)];
    if (c == kImageChar) {
        const TFloatingObj* o = Images.FindByPosition(index);
        return o && !o->IsFloat() ? ObjectWidth(o) : 0;
    }
    if (c == kFormControlChar)
        if (const TFormControlObj* control = FormControls.FindByPosition(index))
            return control->Width() + control->HSpaceL + control->HSpaceR;
    return 0;
}

void TSection::MakeRoom(LineRec& line, int height, int vertAlign)
{
    const int excess = height - line.LineHt;
    switch (vertAlign) {
    case 1:
        line.SpaceAfter = std::max(line.SpaceAfter, excess);
        break;
    case 2:
        line.SpaceBefore = std::max(line.SpaceBefore, excess / 2);
        line.SpaceAfter = std::max(line.SpaceAfter, excess - excess / 2);
        break;
    default:
        line.SpaceBefore = std::max(line.SpaceBefore, height - (line.LineHt - line.Descent));
        break;
    }
}

int TSection::YOfPosition(int index) const
{
    const LineRec* line = LineHolding(index);
    return line ? line->LineY : YPosition;
}

int TSection::TextWidth(Canvas& canvas, int from, int to) const
{
    int width = 0;
    int i = from;
    while (i < to) {
        const char16_t c = Text[static_cast<std::size_t>(i)];
        if (IsObjectChar(c)) {
            width = ExtentSum(width, InlineRoom(i));
            ++i;
            continue;
        }
        if (c == kBreakChar) {
            ++i;
            continue;
        }
        const int end = PieceEnd(*this, i, to);
        const TFontObj* run = Fonts.GetFontAt(i);
        run->TheFont.SelectInto(canvas);
        width = ExtentSum(width, canvas.TextExtent(std::u16string_view(Text).substr(static_cast<std::size_t>(i),
                                                                                      static_cast<std::size_t>(end - i)))
                                     .cx);
        i = end;
    }
    return width;
}

std::vector<int> TSection::TextWidths(Canvas& canvas, int from, const std::vector<int>& indexes) const
{
    std::vector<int> widths;
    widths.reserve(indexes.size());
    // The text is divided into pieces as TextWidth divides it; an index inside a piece is measured
    // from the piece's start as TextWidth measures it (a justification gives the first spaces of
    // each measurement its odd pixels).
    int before = 0;  // the width of what lies before the piece
    int pieceStart = from;
    int pieceEnd = from;
    auto extentTo = [&](int end) {
        return canvas.TextExtent(std::u16string_view(Text).substr(static_cast<std::size_t>(pieceStart),
                                                                  static_cast<std::size_t>(end - pieceStart)))
            .cx;
    };
    for (const int index : indexes) {
        for (;;) {
            if (pieceStart < pieceEnd) {
                if (index < pieceEnd) {
                    widths.push_back(ExtentSum(before, extentTo(index)));
                    break;
                }
                before = ExtentSum(before, extentTo(pieceEnd));
                pieceStart = pieceEnd;
                continue;
            }
            if (pieceStart >= index) {
                widths.push_back(before);
                break;
            }
            const char16_t c = Text[static_cast<std::size_t>(pieceStart)];
            if (IsObjectChar(c) || c == kBreakChar) {
                if (IsObjectChar(c))
                    before = ExtentSum(before, InlineRoom(pieceStart));
                pieceEnd = ++pieceStart;
                continue;
            }
            pieceEnd = PieceEnd(*this, pieceStart, indexes.back());
            Fonts.GetFontAt(pieceStart)->TheFont.SelectInto(canvas);
        }
    }
    return widths;
}

int TSection::FindCountThatFits(Canvas& canvas, int width, int from, int to) const
{
    int remaining = width;
    int i = from;
    while (i < to) {
        const char16_t c = Text[static_cast<std::size_t>(i)];
        if (c == kBreakChar)
            return i - from + 1;
        if (IsObjectChar(c)) {
            const int w = InlineRoom(i);
            if (w > remaining)
                return i - from;
            remaining -= w;
            ++i;
            continue;
        }
        // A piece of at most one chunk: what fits of a longer run is counted chunk by chunk (the
        // advances add up), never splitting a surrogate pair.
        int limit = std::min(to, i + kFitChunk);
        if (limit < to && IsHighSurrogate(Text[static_cast<std::size_t>(limit - 1)]))
            ++limit;
        const int end = PieceEnd(*this, i, limit);
        const TFontObj* run = Fonts.GetFontAt(i);
        run->TheFont.SelectInto(canvas);
        const auto piece =
            std::u16string_view(Text).substr(static_cast<std::size_t>(i), static_cast<std::size_t>(end - i));
        int extent = 0;
        int fit = canvas.TextFitCount(piece, remaining, &extent);
        if (fit < end - i) {
            // A soft hyphen point needs room for the hyphen the line then shows, also where the point
            // ends the run before this one and nothing of this run fits; the hyphen takes the font of
            // the character before it.
            const int point = i + fit - 1;
            if (point >= from && BreakClasses[static_cast<std::size_t>(point)] == 's') {
                Fonts.GetFontAt(point)->TheFont.SelectInto(canvas);
                if (extent + canvas.TextExtent(u"-").cx > remaining)
                    --fit;
            }
            return i - from + fit;
        }
        remaining -= extent;
        i = end;
    }
    return to - from;
}

int TSection::FindLineEnd(int start, int fit) const
{
    const int len = static_cast<int>(Text.size());
    auto ch = [&](int i) { return i < len ? Text[static_cast<std::size_t>(i)] : char16_t(0); };
    auto cls = [&](int i) { return i < static_cast<int>(BreakClasses.size()) ? BreakClasses[static_cast<std::size_t>(i)] : 'y'; };
    auto breakChar = [&](char16_t c) { return IsObjectChar(c) || c == u' ' || c == u'-' || c == u'?' || IsWide(c); };
    auto swallowSpaces = [&](int end) {
        while (end < len && ch(end) == u' ' && cls(end) != 'n')
            ++end;
        return end;
    };
    if (start + fit >= len)
        return len;
    const int c = start + fit - 1;
    const int n = c + 1;
    const char16_t cc = ch(c);
    if ((IsObjectChar(cc) || cc == u' ' || IsWide(cc)) && cls(c) != 'n')
        return swallowSpaces(c + 1);
    if (cc == kBreakChar)
        return c + 1;
    if (ch(n) == u' ' && cls(n) != 'n')
        return swallowSpaces(n);
    if (IsObjectChar(ch(n)) && cls(c) != 'n')
        return c + 1;
    for (int i = c; i >= start; --i) {
        if (cls(i) == 'n')
            continue;
        if (breakChar(ch(i)) || IsWide(ch(i + 1)) || cls(i) == 'a' || cls(i) == 's')
            return swallowSpaces(i + 1);
    }
    if (BreakWord)
        return std::max(start + 1, start + fit);
    // Nothing breaks inside the width: the line overflows to the next break opportunity.
    for (int j = c + 1; j < len; ++j) {
        const char16_t next = ch(j + 1);
        const bool opportunity = breakChar(ch(j)) || cls(j) == 'a' || cls(j) == 's' || IsObjectChar(next) ||
                                 next == u' ' || IsWide(next) || ch(j) == kBreakChar;
        if (opportunity && (j + 1 >= len || cls(j + 1) != 'n' || ch(j) == kBreakChar))
            return swallowSpaces(j + 1);
    }
    return len;
}

void TSection::FinishLine(Canvas& canvas, LineRec& line, int leftEdge, int avail, bool last) const
{
    const int from = line.Start;
    const int to = line.Start + line.Ln;
    int ascent = 0, descent = 0;
    // From the run the line starts in: a paragraph may hold a run for every word. The first line
    // (of most texts the only one) starts in the first run, with no search.
    for (int i = from == 0 ? 0 : std::max(0, Fonts.IndexAt(from)); i < Fonts.Count(); ++i) {
        const TFontObj* run = Fonts.Items(i);
        if (run->Pos >= std::max(to, from + 1))
            break;
        const int runEnd = i + 1 < Fonts.Count() ? Fonts.Items(i + 1)->Pos : static_cast<int>(Text.size()) + 1;
        if (runEnd <= from)
            continue;
        ascent = std::max(ascent, run->FontHeight - run->Descent);
        descent = std::max(descent, run->Descent);
    }
    if (ascent == 0 && descent == 0) {
        const TFontObj* run = Fonts.GetFontAt(from);
        if (run) {
            ascent = run->FontHeight - run->Descent;
            descent = run->Descent;
        }
    }
    line.LineHt = ascent + descent;
    line.Descent = descent;
    if (LineHeight >= 0) {
        const int diff = LineHeight - line.LineHt;
        line.SpaceBefore = diff / 2;
        line.SpaceAfter = diff - diff / 2;
    }
    // Inline images and form controls make room for themselves by their vertical alignment.
    for (const auto& obj : Images.Between(from, to))
        if (!obj->IsFloat())
            MakeRoom(line, obj->ObjHeight + obj->VSpaceT + obj->VSpaceB, obj->VertAlign);
    for (TFormControlObj* control : FormControls.Between(from, to))
        MakeRoom(line, control->Height() + control->VSpaceT + control->VSpaceB, control->VertAlign);
    line.Shy = to > from && BreakClasses[static_cast<std::size_t>(to - 1)] == 's';
    int width = TextWidth(canvas, from, to);
    // A space that ends the line is not drawn and takes no room.
    if (to > from && (Text[static_cast<std::size_t>(to - 1)] == u' ')) {
        const TFontObj* run = Fonts.GetFontAt(to - 1);
        run->TheFont.SelectInto(canvas);
        int n = 0;
        for (int i = to - 1; i >= from && Text[static_cast<std::size_t>(i)] == u' '; --i)
            ++n;
        width -= canvas.TextExtent(std::u16string(static_cast<std::size_t>(n), u' ')).cx;
    }
    if (line.Shy) {
        Fonts.GetFontAt(to - 1)->TheFont.SelectInto(canvas);
        width += canvas.TextExtent(u"-").cx;
    }
    line.TextWidth = width;
    line.Width = avail;
    if (Justify == 2)
        line.LineIndent = (avail - width) / 2 + leftEdge;
    else if (Justify == 3)
        line.LineIndent = avail - width + leftEdge;
    else
        line.LineIndent = leftEdge;
    if (Justify == 4 && !last) {
        line.Extra = avail - width;
        int spaces = 0;
        int end = to - 1;
        while (end > from && Text[static_cast<std::size_t>(end)] == u' ')
            --end;  // trailing spaces are not drawn
        for (int i = from; i < end; ++i)
            if (Text[static_cast<std::size_t>(i)] == u' ' || Text[static_cast<std::size_t>(i)] == 0xA0)
                ++spaces;
        line.Spaces = spaces;
        if (spaces == 0 || line.Extra < 0)
            line.Extra = 0;
    }
}

int TSection::LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                            int /*fallbackHeight*/, int containingHeight, int availWidth, int /*refX*/, int /*refY*/,
                            int y)
{
    StartCurs = curs;
    LayoutX = x;
    Len = static_cast<int>(Text.size());
    curs += Len;
    Lines.clear();
    for (auto& run : Fonts)
        run->ApplyLinkStateFont();
    // The height is measured from where the section was placed, the clearance below a float included,
    // so that the next section starts below this one's lines.
    const int startY = y;
    if (ClearAttr != 0) {
        int cl = 0, cr = 0;
        indents.GetClearY(cl, cr);
        // As for blocks: to the clear Y less one, the first row below the float.
        const int target = (ClearAttr == 1 ? cl : ClearAttr == 2 ? cr : std::max(cl, cr)) - 1;
        if (target > y)
            y = target;
    }
    YPosition = y;
    DrawTop = ContentTop = y;
    if (TextIndentPercent > 0)
        TextIndent = ClampLength(static_cast<long long>(TextIndentPercent) * availWidth / 100);

    const int room = std::min(indents.RightSide(y) - indents.LeftIndent(y), availWidth);
    SizeImages(canvas, room, containingHeight);
    maxWidth = 0;
    for (auto& obj : Images)
        maxWidth = std::max(maxWidth, ObjectWidth(obj.get()));
    for (TFormControlObj* control : FormControls) {
        control->SizePercent(room);
        maxWidth = std::max(maxWidth, control->Width() + control->HSpaceL + control->HSpaceR);
    }

    int widestChar = 0;  // over all runs, so that a later larger font cannot overflow
    for (const auto& run : Fonts)
        widestChar = std::max(widestChar, run->TheFont.tmMaxCharWidth + std::max(0, run->TheFont.CharExtra));

    const int len = Len;
    int pos = 0;
    int drawBottom = y;
    std::vector<TFloatingObj*> pending;
    auto placeFloat = [&](TFloatingObj* o, int atY) {
        const int w = o->ObjWidth + o->HSpaceL + o->HSpaceR;
        const int h = o->ObjHeight + o->VSpaceT + o->VSpaceB;
        const int left = indents.LeftIndent(atY);
        const int right = indents.RightSide(atY);
        auto rec = std::make_unique<IndentRec>();
        rec->YT = atY;
        rec->YB = atY + h;
        if (o->VertAlign == 5) {
            o->DrawX = left - indents.LfEdge + o->HSpaceL;
            rec->X = left - indents.LfEdge + w;
            indents.L.Add(std::move(rec));
        } else {
            o->DrawX = right - indents.LfEdge - w + o->HSpaceL;
            rec->X = right - indents.LfEdge - w;
            indents.R.Add(std::move(rec));
        }
        o->DrawYY = atY + o->VSpaceT;
        drawBottom = std::max(drawBottom, atY + h);
    };
    if (len == 0) {
        SectionHeight = 0;
        DrawBot = ContentBot = y;
        floats_.Assign(Images);
        return 0;
    }
    bool first = true;
    while (pos < len) {
        // Floats at the start of the line are placed before the line is measured.
        while (pos < len && Text[static_cast<std::size_t>(pos)] == kImageChar) {
            TFloatingObj* o = Images.FindByPosition(pos);
            if (!o || !o->IsFloat())
                break;
            placeFloat(o, y);
            ++pos;
        }
        if (pos >= len)
            break;
        const int leftEdge = indents.LeftIndent(y) - x;
        int avail = std::min(indents.RightSide(y) - indents.LeftIndent(y), availWidth);
        const int indent = first ? TextIndent : 0;
        const int lineRoom = avail - indent;
        int fit;
        if (first && Images.Count() == 0 && FormControls.Empty() &&
            static_cast<long long>(widestChar) * (len - pos) <= lineRoom)
            fit = len - pos;
        else
            fit = FindCountThatFits(canvas, lineRoom, pos, len);
        // However narrow the room, every line takes at least one character or object.
        fit = std::max(fit, 1);
        const int end = FindLineEnd(pos, fit);
        LineRec line;
        line.Start = pos;
        line.Ln = end - pos;
        line.LineY = y;
        FinishLine(canvas, line, leftEdge + indent, lineRoom, end >= len);
        for (TFormControlObj* control : FormControls.Between(pos, end))
            control->YValue = y;
        if (Justify != 2 && Justify != 3)
            line.LineIndent = leftEdge + indent;
        // Floats later in the line wait for the line to end.
        for (int i = pos + 1; i < end; ++i)
            if (Text[static_cast<std::size_t>(i)] == kImageChar)
                if (TFloatingObj* o = Images.FindByPosition(i); o && o->IsFloat())
                    pending.push_back(o);
        line.DrawHeight = line.Height();
        if (Document && Document->FirstLineBaseline) {
            *Document->FirstLineBaseline = y + line.SpaceBefore + line.LineHt - line.Descent;
            Document->FirstLineBaseline = nullptr;
        }
        maxWidth = std::max(maxWidth, leftEdge + indent + line.TextWidth);
        y = ExtentSum(y, line.Height());
        for (TFloatingObj* o : pending)
            placeFloat(o, y);
        pending.clear();
        Lines.push_back(line);
        pos = end;
        if (Document)
            Document->LayoutProgress(StartCurs + pos);
        first = false;
    }
    SectionHeight = y - startY;
    ContentBot = y;
    DrawBot = std::max(y, drawBottom);
    floats_.Assign(Images);
    return SectionHeight;
}

void TSection::GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth)
{
    for (auto& run : Fonts)
        run->ApplyLinkStateFont();
    if ((MinWidth != 0 || MaxWidth != 0) && Images.Count() == 0 && FormControls.Empty()) {
        minWidth = MinWidth;
        maxWidth = MaxWidth;
        return;
    }
    const int len = static_cast<int>(Text.size());
    int floatMax = 0;
    int mn = 0;
    SizeImages(canvas, 0, 0);
    for (auto& obj : Images) {
        if (obj->IsFloat()) {
            floatMax += ObjectWidth(obj.get());
            if (obj->Pos < static_cast<int>(BreakClasses.size()))
                BreakClasses[static_cast<std::size_t>(obj->Pos)] = 'y';
        } else if (!obj->PercentWidth) {
            mn = std::max(mn, obj->ObjWidth);
        }
    }
    for (const TFormControlObj* control : FormControls)
        if (!control->PercentWidth)
            mn = std::max(mn, control->Width() + control->HSpaceL + control->HSpaceR);
    // Max: the widest piece between forced breaks.
    int mx = 0;
    int pieceStart = 0;
    bool firstPiece = true;
    for (int i = 0; i <= len; ++i) {
        if (i == len || Text[static_cast<std::size_t>(i)] == kBreakChar) {
            int w = TextWidth(canvas, pieceStart, i);
            if (firstPiece)
                w += TextIndentPercent > 0 && TextIndentPercent < 100
                         ? ClampLength(static_cast<long long>(w) * 100 / (100 - TextIndentPercent) - w)
                         : TextIndent;
            mx = std::max(mx, w);
            pieceStart = i + 1;
            firstPiece = false;
        }
    }
    mx += floatMax;
    if (BreakWord) {
        for (int i = 0; i < len; ++i) {
            if (IsObjectChar(Text[static_cast<std::size_t>(i)]) || Text[static_cast<std::size_t>(i)] == kBreakChar)
                continue;
            mn = std::max(mn, TextWidth(canvas, i, i + 1));
        }
        mn = std::max(mn, floatMax);
    } else {
        auto cls = [&](int i) { return BreakClasses[static_cast<std::size_t>(i)]; };
        int i = 0;
        while (i < len && Text[static_cast<std::size_t>(i)] == u' ')
            ++i;
        while (i < len) {
            const char16_t c = Text[static_cast<std::size_t>(i)];
            if (IsObjectChar(c) || c == kBreakChar || c == u' ') {
                ++i;
                continue;
            }
            int j = i;
            if (IsWide(c) && cls(i) == 'y') {
                j = i + 1;
            } else {
                while (j < len) {
                    const char16_t d = Text[static_cast<std::size_t>(j)];
                    if (j > i && (cls(j - 1) == 'a' || cls(j - 1) == 's'))
                        break;
                    if (IsObjectChar(d) || d == kBreakChar || d == u' ' || (IsWide(d) && cls(j) == 'y'))
                        break;
                    ++j;
                    if (d == u'-' || d == u'?')
                        break;
                }
            }
            int w = TextWidth(canvas, i, j);
            if (cls(j - 1) == 's') {
                Fonts.GetFontAt(j - 1)->TheFont.SelectInto(canvas);
                w += canvas.TextExtent(u"-").cx;
            }
            mn = std::max(mn, w);
            i = j;
        }
        mn = std::max(mn, floatMax);
    }
    MinWidth = minWidth = mn;
    MaxWidth = maxWidth = std::max(mx, mn);
}

void TPreFormated::GetMinMaxWidth(Canvas& canvas, int& minWidth, int& maxWidth)
{
    if (Wrap) {
        TSection::GetMinMaxWidth(canvas, minWidth, maxWidth);
        return;
    }
    if (Text.empty()) {
        minWidth = maxWidth = 0;
        return;
    }
    if (MaxWidth == 0) {
        int widest = 0, start = 0;
        const int len = static_cast<int>(Text.size());
        for (int i = 0; i <= len; ++i)
            if (i == len || Text[static_cast<std::size_t>(i)] == kBreakChar) {
                widest = std::max(widest, TextWidth(canvas, start, i));
                start = i + 1;
            }
        MaxWidth = widest;
    }
    maxWidth = MaxWidth;
    minWidth = std::min(6000, maxWidth);
}

int TPreFormated::LayoutSection(Canvas& canvas, int x, int& curs, int& maxWidth, IndentManagerBasic& indents,
                                int fallbackHeight, int containingHeight, int availWidth, int refX, int refY, int y)
{
    if (Text.empty()) {
        StartCurs = curs;
        Len = 0;
        Lines.clear();
        YPosition = DrawTop = ContentTop = y;
        SectionHeight = Fonts.Count() > 0 ? Fonts.Items(0)->FontHeight : 0;
        DrawBot = ContentBot = y + SectionHeight;
        maxWidth = 0;
        return SectionHeight;
    }
    if (Wrap)
        return TSection::LayoutSection(canvas, x, curs, maxWidth, indents, fallbackHeight, containingHeight, availWidth,
                                       refX, refY, y);
    const int h = TSection::LayoutSection(canvas, x, curs, maxWidth, indents, fallbackHeight, containingHeight, 32000,
                                          refX, refY, y);
    int mn = 0, mx = 0;
    GetMinMaxWidth(canvas, mn, mx);
    maxWidth = mx;
    return h;
}

}  // namespace velmoran
