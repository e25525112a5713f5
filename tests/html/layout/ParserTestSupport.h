// Shared set-up of the parser tests: a document root with the default style sheet, parsed with the
// fixed-metric test font, small look-ups into the built tree, and a page laid out and painted.
#pragma once

#include "html/layout/Blocks.h"
#include "html/layout/DocumentDump.h"
#include "html/layout/HtmlParser.h"
#include "html/layout/SmallSections.h"
#include "html/layout/Tables.h"
#include "html/layout/TextSection.h"
#include "platform/core/CodePage.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"

#include <string>
#include <vector>

namespace velmoran::testing {

class ParsedPage {
public:
    explicit ParsedPage(THtmlDocumentHost* host = nullptr) : Doc(host) { Doc.Styles.BuildDefaultStyleSheet({}); }

    ParsedPage& Parse(const std::string& html)
    {
        Result = ParseHtmlDocument(html, Doc, OnInclude, OnSound, OnMeta, OnLink, FontSizes);
        return *this;
    }
    std::string Dump(bool runs = false)
    {
        DumpOptions o;
        o.Styles = false;
        o.BreakClasses = false;
        o.Runs = runs;
        return DumpDocument(Doc, o);
    }
    TBodyBlock& Body() { return *dynamic_cast<TBodyBlock*>(Doc[Doc.Count() - 1]); }
    TCellBasic& BodyCell() { return *Body().MyCell; }

    // Every section of a kind, depth first in document order.
    template <class S>
    std::vector<S*> All()
    {
        std::vector<S*> out;
        Collect<S>(Doc, out);
        return out;
    }
    // The blocks whose style key is `key`, in document order.
    std::vector<TBlock*> BlocksWithKey(const std::string& key)
    {
        std::vector<TBlock*> out;
        for (TBlock* b : All<TBlock>())
            if (b->StyleKey == key)
                out.push_back(b);
        return out;
    }
    // The texts of all text sections, in order, as UTF-8.
    std::vector<std::string> Texts()
    {
        std::vector<std::string> out;
        for (TSection* s : All<TSection>())
            out.push_back(WideToUtf8(s->Text));
        return out;
    }

    TestFontEngine Fonts;
    ScopedScreenFonts Scoped{Fonts};
    TSectionList Doc;
    TParseResult Result;
    TIncludeType OnInclude;
    TSoundType OnSound;
    TMetaType OnMeta;
    TLinkType OnLink;
    HtmlFontSizes FontSizes;

private:
    template <class S>
    static void Collect(TCellBasic& cell, std::vector<S*>& out)
    {
        for (const auto& s : cell) {
            if (auto* hit = dynamic_cast<S*>(s.get()))
                out.push_back(hit);
            if (auto* b = dynamic_cast<TBlock*>(s.get()))
                Collect<S>(*b->MyCell, out);
            if (auto* t = dynamic_cast<ThtmlTable*>(s.get()))
                for (const auto& row : t->Rows)
                    for (const auto& c : *row)
                        if (c && c->Cell)  // placeholders of spans have no content
                            Collect<S>(*c->Cell, out);
        }
    }
};

// A parsed page laid out to a width and painted onto a recording canvas.
struct Laid {
    ParsedPage Page;
    RecordingCanvas Canvas{Page.Fonts, 800, 2000};
    int Height = 0;
    int MaxWidth = 0;

    Laid(const std::string& html, int width)
    {
        Page.Parse(html);
        Layout(width);
    }
    void Layout(int width) { Height = Page.Doc.LayoutDocument(Canvas, width, MaxWidth); }
    std::vector<std::string> Paint(TRect clip = {0, 0, 800, 2000})
    {
        Canvas.Clear();
        Page.Doc.PaintDocument(Canvas, clip);
        return Canvas.Calls();
    }
    // The text outputs of a paint of the clip.
    std::vector<std::string> TextCalls(TRect clip = {0, 0, 800, 2000})
    {
        std::vector<std::string> out;
        for (const auto& c : Paint(clip))
            if (c.rfind("TextOut", 0) == 0)
                out.push_back(c);
        return out;
    }
    // The texts of the laid-out lines of every text section.
    std::vector<std::string> Lines()
    {
        std::vector<std::string> out;
        for (TSection* s : Page.All<TSection>())
            for (const LineRec& l : s->Lines)
                out.push_back(WideToUtf8(s->Text.substr(static_cast<std::size_t>(l.Start), static_cast<std::size_t>(l.Ln))));
        return out;
    }
};

}  // namespace velmoran::testing
