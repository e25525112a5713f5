// The text picture of a document; see DocumentDump.h.
#include "html/layout/DocumentDump.h"

#include "html/layout/Blocks.h"
#include "html/layout/SmallSections.h"
#include "html/layout/Tables.h"
#include "html/layout/TextSection.h"
#include "platform/core/CodePage.h"

#include <cstdio>
#include <sstream>
#include <vector>

namespace velmoran {

namespace {

class Dumper {
public:
    Dumper(const DumpOptions& o, const TProperties* base) : o_(o), base_(base) {}

    void Cell(const TCellBasic& cell, int depth)
    {
        for (const auto& s : cell)
            Section(*s, depth);
    }

    std::string Text() const { return out_.str(); }

private:
    static std::string ColorText(TColor c)
    {
        if (c == NoColor)
            return "none";
        char buf[24];
        if (c & kSystemColorBase)
            std::snprintf(buf, sizeof buf, "system %u", static_cast<unsigned>(c & 0xFF));
        else
            std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        return buf;
    }

    static std::string Visible(const std::u16string& text)
    {
        std::u16string shown;
        for (char16_t c : text) {
            if (c == 2)
                shown += u"[control]";
            else if (c == 4)
                shown += u"[image]";
            else if (c == 8)
                shown += u"[break]";
            else if (c == 0xA0)
                shown += u"~";
            else
                shown += c;
        }
        return WideToUtf8(shown);
    }

    static std::string Margin(const PropValue& v)
    {
        if (v.IsInt() && v.Int() == DefaultMarginLength)
            return "default";
        if (v.IsInt() && v.Int() == UnsetInteger)
            return "-";
        if (v.IsEmpty())
            return "-";
        return v.ToString();
    }

    void Indent(int depth) { out_ << std::string(static_cast<std::size_t>(depth) * 2, ' '); }

    void Styles(const std::array<PropValue, PropCount>& values, int depth)
    {
        if (!o_.Styles)
            return;
        std::string line;
        for (int i = 0; i < PropCount; ++i) {
            const PropValue& v = values[static_cast<std::size_t>(i)];
            if (v.IsEmpty() || (v.IsInt() && v.Int() == UnsetInteger))
                continue;
            if (base_ && base_->Props[static_cast<std::size_t>(i)] == v)
                continue;  // as the document default
            if (i == MarginTop || i == MarginRight || i == MarginBottom || i == MarginLeft)
                continue;
            std::string text;
            if ((i == Color || i == BackgroundColor || i == BorderColor || (i >= BorderTopColor && i <= BorderLeftColor)) &&
                v.IsInt())
                text = ColorText(v.Color());
            else
                text = v.ToString();
            line += std::string(PropertyName(i)) + ": " + text + "; ";
        }
        if (!line.empty()) {
            Indent(depth + 1);
            out_ << "style " << line << "\n";
        }
    }

    void Section(TSectionBase& s, int depth)
    {
        if (auto* t = dynamic_cast<TTableAndCaptionBlock*>(&s)) {
            Indent(depth);
            out_ << "table-and-caption" << (t->Align.empty() ? "" : " align=" + t->Align)
                 << (t->CaptionBlock ? (t->TopCaption ? " caption=top" : " caption=bottom") : "") << "\n";
            Place(*t, depth);
            Cell(*t->MyCell, depth + 1);
            return;
        }
        if (auto* tb = dynamic_cast<TTableBlock*>(&s)) {
            Indent(depth);
            out_ << "table-block";
            if (tb->WidthAttr || tb->AsPercent)
                out_ << " width=" << (tb->AsPercent ? std::to_string(tb->WidthAttr / 10) + "%" : std::to_string(tb->WidthAttr));
            out_ << "\n";
            Place(*tb, depth);
            Styles(tb->MargArrayO, depth);
            Cell(*tb->MyCell, depth + 1);
            return;
        }
        if (auto* li = dynamic_cast<TBlockLI*>(&s)) {
            Indent(depth);
            out_ << "list-item \"" << li->StyleKey << "\" type=" << int(li->ListType) << " number=" << li->ListNumber
                 << " style=" << int(li->ListStyle);
            Margins(*li);
            Place(*li, depth);
            Styles(li->MargArrayO, depth);
            Cell(*li->MyCell, depth + 1);
            return;
        }
        if (auto* hr = dynamic_cast<THRBlock*>(&s)) {
            Indent(depth);
            out_ << "rule-block align=" << int(hr->Align);
            Margins(*hr);
            Place(*hr, depth);
            Cell(*hr->MyCell, depth + 1);
            return;
        }
        if (auto* b = dynamic_cast<TBlock*>(&s)) {
            Indent(depth);
            out_ << (dynamic_cast<TBodyBlock*>(b) ? "body" : "block") << " \"" << b->StyleKey << "\"";
            if (b->FloatKind)
                out_ << " float=" << (b->FloatKind == 5 ? "left" : "right");
            if (b->Positioning)
                out_ << " position=" << (b->Positioning == 1 ? "absolute" : "relative");
            if (b->DisplayNone)
                out_ << " display=none";
            Margins(*b);
            Place(*b, depth);
            Styles(b->MargArrayO, depth);
            Cell(*b->MyCell, depth + 1);
            return;
        }
        if (auto* t = dynamic_cast<TSection*>(&s)) {
            Indent(depth);
            out_ << (t->PreFormatted ? "pre-text" : "text") << " \"" << Visible(t->Text) << "\"";
            if (t->Justify != 1)
                out_ << " justify=" << int{t->Justify};
            if (t->ClearAttr)
                out_ << " clear=" << int{t->ClearAttr};
            out_ << "\n";
            if (o_.BreakClasses) {
                Indent(depth + 1);
                out_ << "breaks " << t->BreakClasses << "\n";
            }
            if (o_.Runs)
                for (const auto& f : t->Fonts) {
                    Indent(depth + 1);
                    out_ << "run @" << f->Pos << " " << f->TheFont.Name << " " << -f->TheFont.Height << "px"
                         << ((f->TheFont.Style & fsBold) ? " bold" : "") << ((f->TheFont.Style & fsItalic) ? " italic" : "")
                         << ((f->TheFont.Style & fsUnderline) ? " underline" : "") << " " << ColorText(f->TheFont.Color);
                    if (f->IsLink())
                        out_ << " link=" << f->UrlTarget().URL << (f->UrlTarget().Target.empty() ? "" : " target=" + f->UrlTarget().Target);
                    if (!f->Title().empty())
                        out_ << " title=\"" << f->Title() << "\"";
                    out_ << "\n";
                }
            for (const auto& img : t->Images)
                if (auto* i = dynamic_cast<TImageObj*>(img.get())) {
                    Indent(depth + 1);
                    out_ << "image @" << i->Pos << " src=" << i->Source << " align=" << int(i->VertAlign);
                    if (i->SpecWidth >= 0)
                        out_ << " width=" << i->SpecWidth << (i->PercentWidth ? "%" : "");
                    if (i->SpecHeight >= 0)
                        out_ << " height=" << i->SpecHeight << (i->PercentHeight ? "%" : "");
                    if (!i->Alt.empty())
                        out_ << " alt=\"" << i->Alt << "\"";
                    if (o_.Positions)
                        out_ << " at " << i->DrawX << "," << i->DrawYY << " " << i->ObjWidth << "x" << i->ObjHeight;
                    out_ << "\n";
                }
            Lines(*t, depth);
            return;
        }
        if (auto* line = dynamic_cast<THorzLine*>(&s)) {
            Indent(depth);
            out_ << "rule size=" << line->VSize << " color=" << ColorText(line->Color) << (line->NoShade ? " noshade" : "");
            if (o_.Positions)
                out_ << " at " << line->HorzX << "," << line->YPosition << " " << line->HorzWidth << "x" << line->SectionHeight;
            out_ << "\n";
            return;
        }
        if (dynamic_cast<TPage*>(&s)) {
            Indent(depth);
            out_ << "page-break\n";
            return;
        }
        if (auto* table = dynamic_cast<ThtmlTable*>(&s)) {
            Table(*table, depth);
            return;
        }
        Indent(depth);
        out_ << "section\n";
    }

    // Where the layout put a block: its Y and height in the flow, the range it draws over, its
    // content rectangle and the box values it settled on (auto margins resolved).
    void Place(const TBlock& b, int depth)
    {
        if (!o_.Positions)
            return;
        const auto& m = b.MargArray;
        auto four = [&](int first) {
            return std::to_string(m[static_cast<std::size_t>(first)]) + "," + std::to_string(m[static_cast<std::size_t>(first + 1)]) +
                   "," + std::to_string(m[static_cast<std::size_t>(first + 2)]) + "," +
                   std::to_string(m[static_cast<std::size_t>(first + 3)]);
        };
        auto zero = [&](int first) {
            for (int i = first; i < first + 4; ++i)
                if (m[static_cast<std::size_t>(i)] != 0)
                    return false;
            return true;
        };
        Indent(depth + 1);
        out_ << "at y=" << b.YPosition << " h=" << b.SectionHeight << " draw=" << b.DrawTop << ".." << b.DrawBot
             << " content=" << b.ContentLeft << "," << b.ContentTop << " " << b.NewWidth << "x"
             << b.BlockContentBottom - b.ContentTop << " margin=" << four(MarginTop);
        if (!zero(PaddingTop))
            out_ << " padding=" << four(PaddingTop);
        if (b.HasBorderStyle && !zero(BorderTopWidth))
            out_ << " border=" << four(BorderTopWidth);
        if (b.ClearAddon)
            out_ << " clear=" << b.ClearAddon;
        if (b.Positioning)
            out_ << " offset=" << b.LeftP << "," << b.TopP;
        if (b.ZIndex)
            out_ << " z=" << b.ZIndex;
        if (const auto* tb = dynamic_cast<const TTableBlock*>(&b); tb && tb->TableShift)
            out_ << " shift=" << tb->TableShift;
        out_ << "\n";
    }

    // The lines a text section was broken into: their text, X relative to the section, top,
    // height with the leading above and below, and width used of the width available.
    void Lines(const TSection& t, int depth)
    {
        if (!o_.Positions)
            return;
        Indent(depth + 1);
        out_ << "at x=" << t.LayoutX << " y=" << t.YPosition << " h=" << t.SectionHeight << " draw=" << t.DrawTop << ".."
             << t.DrawBot << "\n";
        for (const LineRec& l : t.Lines) {
            Indent(depth + 2);
            out_ << "line \"" << Visible(t.Text.substr(static_cast<std::size_t>(l.Start), static_cast<std::size_t>(l.Ln)))
                 << "\" x=" << l.LineIndent << " y=" << l.LineY << " h=" << l.LineHt << " descent=" << l.Descent;
            if (l.SpaceBefore || l.SpaceAfter)
                out_ << " space=" << l.SpaceBefore << "," << l.SpaceAfter;
            out_ << " width=" << l.TextWidth << "/" << l.Width;
            if (l.Extra || l.Spaces)
                out_ << " justify=" << l.Extra << "/" << l.Spaces;
            if (l.Shy)
                out_ << " shy";
            out_ << "\n";
        }
    }

    static std::string List(const std::vector<int>& values)
    {
        std::string s;
        for (int v : values)
            s += (s.empty() ? "" : ",") + std::to_string(v);
        return s;
    }

    void Margins(const TBlock& b)
    {
        out_ << " margins " << Margin(b.MargArrayO[MarginTop]) << " " << Margin(b.MargArrayO[MarginRight]) << " "
             << Margin(b.MargArrayO[MarginBottom]) << " " << Margin(b.MargArrayO[MarginLeft]) << "\n";
    }

    void Table(ThtmlTable& t, int depth)
    {
        Indent(depth);
        out_ << "table border=" << t.BorderWidth << " padding=" << t.CellPadding << " spacing=" << t.CellSpacing
             << " rows=" << t.Rows.Count() << "\n";
        if (o_.Positions) {
            Indent(depth + 1);
            out_ << "at x=" << t.TableLeft << " y=" << t.YPosition << " w=" << t.TableWidth << " h=" << t.SectionHeight;
            if (t.HeaderRowCount || t.FootStartRow >= 0)
                out_ << " header=" << t.HeaderRowCount << "/" << t.HeaderHeight << " footer=" << t.FootStartRow << "/"
                     << t.FooterHeight << (t.TableHeader ? " repeated" : "");
            out_ << "\n";
            Indent(depth + 1);
            out_ << "columns " << List(t.Widths) << " min " << List(t.MinWidths) << " max " << List(t.MaxWidths)
                 << " percent " << List(t.Percents) << "\n";
        }
        for (const TColObj& c : t.ColSpecs) {
            Indent(depth + 1);
            out_ << "col width=" << (c.AsPercent ? std::to_string(c.ColWidth / 10) + "%" : std::to_string(c.ColWidth))
                 << (c.ColAlign.empty() ? "" : " align=" + c.ColAlign)
                 << (c.ColVAlign ? " valign=" + std::to_string(c.ColVAlign) : "") << "\n";
        }
        static const char* const parts[] = {"header", "body", "footer"};
        int rowY = t.YPosition;
        for (int r = 0; r < t.Rows.Count(); ++r) {
            const TCellList& row = *t.Rows[r];
            Indent(depth + 1);
            out_ << "row " << r << " " << parts[row.TablePart % 3];
            if (row.BkGnd)
                out_ << " bgcolor=" << ColorText(row.BkColor);
            if (o_.Positions)
                out_ << " at y=" << rowY << " h=" << row.RowHeight << " span=" << row.SpanHeight;
            rowY += row.RowHeight;
            out_ << "\n";
            for (int c = 0; c < row.Count(); ++c) {
                const TCellObj* cell = row[c];
                Indent(depth + 2);
                if (!cell) {
                    out_ << "(empty slot)\n";
                    continue;
                }
                if (!cell->Cell) {
                    out_ << "(covered by a span)\n";  // the grid's placeholders, after a layout
                    continue;
                }
                out_ << "cell colspan=" << cell->ColSpan << " rowspan=" << cell->RowSpan << " valign=" << cell->VAlign;
                if (cell->Wd)
                    out_ << " width=" << (cell->AsPercent ? std::to_string(cell->Wd / 10) + "%" : std::to_string(cell->Wd));
                if (cell->Cell->BkGnd)
                    out_ << " bgcolor=" << ColorText(cell->Cell->BkColor);
                out_ << "\n";
                if (o_.Positions) {
                    Indent(depth + 3);
                    out_ << "at " << cell->CellWidth << "x" << cell->CellHeight << " content=" << cell->ContentLeft << ","
                         << cell->Cell->TopY << " h=" << cell->ContentHeight << " shift=" << cell->ContentShift << "\n";
                }
                Cell(*cell->Cell, depth + 3);
            }
        }
    }

    const DumpOptions& o_;
    const TProperties* base_;
    std::ostringstream out_;
};

}  // namespace

std::string DumpDocument(TSectionList& document, const DumpOptions& options)
{
    Dumper d(options, document.Styles.DefaultProp());
    d.Cell(document, 0);
    return d.Text();
}

}  // namespace velmoran
