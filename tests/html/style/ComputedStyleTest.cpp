// Prints, for the elements of a small page, the computed properties, so that a person can check
// them against the cascade rules; the values that matter are also asserted. The HTML parser opens
// the elements the same way: inherit from the enclosing element, then cascade with the element's
// tag, class, ID, pseudo-class and STYLE attribute.
//
// The page:
//   <style>
//     body { font-family: Verdana, sans-serif; color: #333333 }
//     h1 { color: navy; margin-bottom: 4px }
//     p.note { color: red; font-style: italic }
//     .warn { background-color: yellow }
//     div p { margin-left: 2em }
//     div > p.note { font-weight: bold }
//     #fuss { font-size: 8pt }
//     a { text-decoration: none }
//     a:hover { color: red }
//   </style>
//   <body>
//     <h1>Titel</h1>
//     <div class="box">
//       <p class="note warn">Hinweis <a href="x.htm">Link</a></p>
//       <p id="fuss" style="color: green">Fuss</p>
//     </div>
//     <ul><li>Eins</li></ul>
//   </body>
#include "html/style/StyleList.h"
#include "html/style/StyleSheetParser.h"
#include "platform/TestFont.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace velmoran;

namespace {

const char* const kSheet =
    "body { font-family: Verdana, sans-serif; color: #333333 }\n"
    "h1 { color: navy; margin-bottom: 4px }\n"
    "p.note { color: red; font-style: italic }\n"
    ".warn { background-color: yellow }\n"
    "div p { margin-left: 2em }\n"
    "div > p.note { font-weight: bold }\n"
    "#fuss { font-size: 8pt }\n"
    "a { text-decoration: none }\n"
    "a:hover { color: red }\n";

std::string ColorText(TColor c)
{
    if (c == NoColor)
        return "none";
    if (c & kSystemColorBase)
        return "system " + std::to_string(c & 0xFF);
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return buf;
}

std::string Describe(const std::string& path, TProperties& p)
{
    std::ostringstream out;
    const TMyFont f = p.GetFont();
    int autos = 0;
    const auto box = p.GetVMarginArray(600, 400, p.EmSize, p.ExSize, autos);
    const VertMargins v = p.GetVertMargins();
    out << path << "\n";
    out << "  font        " << f.Name << ", " << p.Props[FontSize].ToString() << "pt (" << -f.Height << "px)"
        << ((f.Style & fsBold) ? ", bold" : "") << ((f.Style & fsItalic) ? ", italic" : "")
        << ((f.Style & fsUnderline) ? ", underline" : "") << "\n";
    out << "  color       " << ColorText(p.Props[Color].IsInt() ? p.Props[Color].Color() : 0) << "\n";
    out << "  background  " << ColorText(p.GetOwnBackgroundColor()) << "\n";
    out << "  margins     top " << v.Top << (v.TopDefault ? " (default)" : "") << ", right " << box[MarginRight]
        << ", bottom " << v.Bottom << (v.BottomDefault ? " (default)" : "") << ", left " << box[MarginLeft] << "\n";
    out << "  padding-left " << box[PaddingLeft] << ", list-style " << p.GetListStyleType() << "\n";
    out << "  set here    ";
    for (int i = 0; i < PropCount; ++i)
        if (p.Originals[i])
            out << PropertyName(i) << " ";
    out << "\n";
    if (p.HasFontInfo()) {
        static const char* const states[] = {"link", "visited", "hover", "visited+hover"};
        for (int s = 0; s < 4; ++s) {
            const ThtFontInfo& info = p.FIArray->Ar[static_cast<std::size_t>(s)];
            out << "  " << states[s] << std::string(14 - std::string(states[s]).size(), ' ') << ColorText(info.Color)
                << ((info.Style & fsUnderline) ? " underline" : "") << ((info.Style & fsBold) ? " bold" : "")
                << ((info.Style & fsItalic) ? " italic" : "") << "\n";
        }
    }
    return out.str();
}

class StyledPage {
public:
    StyledPage()
    {
        DefaultSheetOptions o;
        o.FontName = "Times New Roman";
        o.FontSize = 12;
        o.LinkColor = 0xFF0000;  // colour references hold blue in the high byte
        o.VisitedColor = 0x800080;
        o.HoverColor = 0x00FF00;
        o.MarginLeftRight = 10;
        o.MarginTopBottom = 10;
        Styles.BuildDefaultStyleSheet(o);
        ParseLinkedStyleSheet(Styles, kSheet, "");
        Stack.Push()->Copy(*Styles.DefaultProp());
    }
    TProperties& Open(const std::string& label, const std::string& tag, const std::string& cls = "",
                      const std::string& id = "", const std::string& pseudo = "", const std::string& style = "")
    {
        TProperties* parent = Stack.Last();
        TProperties* p = Stack.Push();
        p->Inherit(tag, parent);
        std::unique_ptr<TProperties> attr;
        if (!style.empty()) {
            attr = std::make_unique<TProperties>();
            ParseStyleAttribute(style, *attr);
        }
        p->ApplyStyles(Styles, tag, cls, id, pseudo, "", attr.get());
        path_.push_back(label);
        std::string path;
        for (const auto& part : path_)
            path += (path.empty() ? "" : " > ") + part;
        Report += Describe(path, *p);
        return *p;
    }
    void Close()
    {
        Stack.Pop();
        path_.pop_back();
    }

    TestFontEngine Fonts;
    ScopedScreenFonts Scoped{Fonts};
    TStyleList Styles;
    TPropStack Stack;
    std::string Report;

private:
    std::vector<std::string> path_;
};

}  // namespace

TEST(ComputedStyle, SmallPagePrintsItsComputedProperties)
{
    StyledPage page;
    TProperties& body = page.Open("body", "body");
    TProperties& h1 = page.Open("h1", "h1");
    const TColor h1Color = h1.Props[Color].Color();
    const int h1Height = -h1.GetFont().Height;
    const VertMargins h1Margins = h1.GetVertMargins();
    page.Close();
    page.Open("div.box", "div", "box");
    TProperties& note = page.Open("p.note.warn", "p", "note.warn");
    const TMyFont noteFont = note.GetFont();
    const TColor noteBackground = note.GetOwnBackgroundColor();
    int autos = 0;
    const int noteLeft = note.GetVMarginArray(600, 400, note.EmSize, note.ExSize, autos)[MarginLeft];
    TProperties& a = page.Open("a:link", "a", "", "", "link");
    const ThtFontInfo linkState = a.FIArray->Ar[0];
    const ThtFontInfo hoverState = a.FIArray->Ar[2];
    const bool aItalic = a.GetFont().Style & fsItalic;
    page.Close();
    page.Close();
    TProperties& fuss = page.Open("p#fuss", "p", "", "fuss", "", "color: green");
    const TColor fussColor = fuss.Props[Color].Color();
    const int fussHeight = -fuss.GetFont().Height;
    page.Close();
    page.Close();
    page.Open("ul", "ul");
    TProperties& li = page.Open("li", "li");
    const int liList = li.GetListStyleType();
    page.Close();
    page.Close();
    (void)body;

    std::cout << page.Report;
    std::filesystem::create_directories(VELMORAN_ARTIFACTS);
    std::ofstream(std::string(VELMORAN_ARTIFACTS) + "/computed-style.txt") << page.Report;

    // h1: the "h1" rule colours it navy and sets its bottom margin; 24pt from the default sheet.
    EXPECT_EQ(ColorText(h1Color), "#000080");
    EXPECT_EQ(h1Height, 32);
    EXPECT_EQ(h1Margins.Top, 19);
    EXPECT_EQ(h1Margins.Bottom, 4);
    // p.note.warn inside div.box: red and italic (p.note), yellow (.warn), bold (div > p.note),
    // 2em left margin (div p); Verdana is not installed, sans-serif gives Arial.
    EXPECT_EQ(noteFont.Name, "Arial");
    EXPECT_EQ(noteFont.Style, fsBold | fsItalic);
    EXPECT_EQ(ColorText(noteFont.Color), "#FF0000");
    EXPECT_EQ(ColorText(noteBackground), "#FFFF00");
    EXPECT_EQ(noteLeft, 32);
    // The link: the default link colour, no underline (rule for "a"), italic inherited; red on hover.
    EXPECT_EQ(ColorText(linkState.Color), "#0000FF");
    EXPECT_FALSE(linkState.Style & fsUnderline);
    EXPECT_TRUE(aItalic);
    EXPECT_EQ(ColorText(hoverState.Color), "#FF0000");
    // p#fuss: the STYLE attribute beats the inherited colour, the ID rule sets 8pt.
    EXPECT_EQ(ColorText(fussColor), "#008000");
    EXPECT_EQ(fussHeight, 11);
    // li inherits the list style of ul ("blank").
    EXPECT_EQ(liList, 0);
    EXPECT_NE(page.Report.find("p#fuss"), std::string::npos);
}
