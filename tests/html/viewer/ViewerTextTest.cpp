// Tests of the viewer's text work: link names made full, META refresh, the image page and the
// "HTML Format" clipboard data with its byte offsets.
#include "html/viewer/ViewerText.h"
#include "platform/Clipboard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace velmoran {
namespace {

TEST(ExpandFileName, RelativeNamesFollowBaseThenCurrentFile)
{
    TExpandContext c;
    c.CurrentFile = "/data/pages/index.htm";
    c.WorkingDir = "/work";
    EXPECT_EQ(ExpandFileName("other.htm", c), "/data/pages/other.htm");
    EXPECT_EQ(ExpandFileName("../img/a.gif", c), "/data/img/a.gif");
    EXPECT_EQ(ExpandFileName("sub\\x.htm", c), "/data/pages/sub/x.htm");
    EXPECT_EQ(ExpandFileName("  my%20page.htm ", c), "/data/pages/my page.htm");
    c.Base = "file:///srv/site/start.htm";
    EXPECT_EQ(ExpandFileName("other.htm", c), "/srv/site/other.htm");
    c.Base = "dospath";
    EXPECT_EQ(ExpandFileName("other.htm", c), "/work/other.htm");
    c.Base.clear();
    c.CurrentFile.clear();
    EXPECT_EQ(ExpandFileName("x/../y.htm", c), "/work/y.htm");
}

TEST(ExpandFileName, AbsolutePathsSchemesAndServerRoot)
{
    TExpandContext c;
    c.CurrentFile = "/data/index.htm";
    EXPECT_EQ(ExpandFileName("http://example.org/a.htm", c), "http://example.org/a.htm");
    EXPECT_EQ(ExpandFileName("mailto:x@y.de", c), "/data/mailto:x@y.de");
    EXPECT_EQ(ExpandFileName("file:///tmp/a.htm", c), "/tmp/a.htm");
    EXPECT_EQ(ExpandFileName("/abs/./b.htm", c), "/abs/b.htm");
    EXPECT_EQ(ExpandFileName("C:/x.htm", c), "C:/x.htm");
    c.ServerRoot = "/srv/root";
    EXPECT_EQ(ExpandFileName("/pics/a.gif", c), "/srv/root/pics/a.gif");
    EXPECT_EQ(ExpandFileName("file:///tmp/a.htm", c), "/tmp/a.htm");
}

TEST(MetaRefresh, DelayAndUrl)
{
    int delay = -5;
    std::string url = "old";
    ASSERT_TRUE(ParseMetaRefresh("0; URL=next.htm", delay, url));
    EXPECT_EQ(delay, 1);
    EXPECT_EQ(url, "next.htm");
    ASSERT_TRUE(ParseMetaRefresh("7", delay, url));
    EXPECT_EQ(delay, 7);
    EXPECT_EQ(url, "");
    ASSERT_TRUE(ParseMetaRefresh("3;url=Sub/Page.HTM", delay, url));
    EXPECT_EQ(url, "Sub/Page.HTM");
    delay = 99;
    EXPECT_FALSE(ParseMetaRefresh("soon; url=x.htm", delay, url));
    EXPECT_FALSE(ParseMetaRefresh("-2; url=x.htm", delay, url));
    EXPECT_FALSE(ParseMetaRefresh("", delay, url));
    EXPECT_EQ(delay, 99);
}

TEST(ImagePage, FileNameIsEscaped)
{
    EXPECT_EQ(ImagePageSource("/a/b.gif"), "<img src=\"file:///a/b.gif\">");
    EXPECT_EQ(ImagePageSource("/a/x\"&<y>.png"), "<img src=\"file:///a/x%22%26%3Cy%3E.png\">");
}

// The header numbers of "HTML Format" data.
long HeaderValue(const std::string& data, const std::string& key)
{
    const auto at = data.find(key);
    EXPECT_NE(at, std::string::npos) << key;
    return std::strtol(data.c_str() + at + key.size(), nullptr, 10);
}

std::string Fragment(const std::string& data)
{
    const long b = HeaderValue(data, "StartFragment:"), e = HeaderValue(data, "EndFragment:");
    return data.substr(static_cast<std::size_t>(b), static_cast<std::size_t>(e - b));
}

TEST(HtmlFormat, OffsetsPointIntoTheUtf8Data)
{
    THtmlCopyInput in;
    in.Source = "<html><head><title>T</title></head><body><p>Gr\xFC\xDF" "e aus K\xF6ln</p></body></html>";
    const auto text = in.Source.find("Gr");
    in.StartSource = static_cast<int>(text);
    in.EndSource = static_cast<int>(in.Source.find("</p>"));
    in.FontName = "Arial";
    in.FontSize = 10;
    in.CurrentFile = "/data/result.htm";
    const std::string data = BuildHtmlFormat(in);
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.back(), '\0');
    EXPECT_EQ(data.rfind("Version:1.0\r\nStartHTML:", 0), 0u);
    const long startHtml = HeaderValue(data, "StartHTML:");
    const long endHtml = HeaderValue(data, "EndHTML:");
    EXPECT_EQ(data.substr(static_cast<std::size_t>(startHtml), 14), "<!DOCTYPE HTML");
    EXPECT_EQ(endHtml, static_cast<long>(data.size()) - 1);
    EXPECT_EQ(Fragment(data), "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln");
    EXPECT_NE(data.find("SourceURL:file:///data/result.htm\r\n"), std::string::npos);
    EXPECT_NE(data.find("<style> body {font-size: 10pt; font-family: \"Arial\"; }</style><head>"), std::string::npos);
    EXPECT_EQ(HtmlOfHtmlFormat(data).substr(0, 14), "<!DOCTYPE HTML");
}

TEST(HtmlFormat, TrailingTagsAndBlanksLeaveTheFragment)
{
    THtmlCopyInput in;
    in.Source = "<table><tr><td>Zelle 1</td>\n <td>Zelle 2</td></tr></table>";
    in.StartSource = static_cast<int>(in.Source.find("Zelle 1"));
    in.EndSource = static_cast<int>(in.Source.find("</table>"));
    const std::string data = BuildHtmlFormat(in);
    EXPECT_EQ(Fragment(data), "Zelle 1</td>\n <td>Zelle 2");
    EXPECT_NE(data.find("SourceURL:unsaved:///TPageViewer.htm"), std::string::npos);
    EXPECT_NE(data.find("<head><style>"), std::string::npos);
}

TEST(HtmlFormat, EndWithoutSourcePositionTakesTheRest)
{
    THtmlCopyInput in;
    in.Source = "<p>abc</p>";
    in.StartSource = 3;
    in.EndSource = -1;
    EXPECT_EQ(Fragment(BuildHtmlFormat(in)), "abc");
}

TEST(HtmlFormat, MetaDoctypeAndPageBreaks)
{
    THtmlCopyInput in;
    in.Source = "<!DOCTYPE html><HTML><META charset=x><p style=\"Page-Break-Before: always\">Text</p></HTML>";
    in.StartSource = static_cast<int>(in.Source.find("<p"));
    in.EndSource = static_cast<int>(in.Source.find("</p>"));
    const std::string data = BuildHtmlFormat(in);
    const std::string html = HtmlOfHtmlFormat(data);
    EXPECT_EQ(html.find("META"), std::string::npos);
    EXPECT_EQ(html.find("<!DOCTYPE html>"), std::string::npos);
    EXPECT_NE(html.find("age-Break-Before"), std::string::npos);
    EXPECT_EQ(html.find("Page-Break"), std::string::npos);
    EXPECT_NE(html.find("<head><style>"), std::string::npos);
    EXPECT_LT(html.find("<head>"), html.find("<HTML>"));
    EXPECT_EQ(Fragment(data), "<p style=\"age-Break-Before: always\">Text");
}

TEST(HtmlFormat, BrokenSelectionsAndUnclosedTagsAreSafe)
{
    THtmlCopyInput in;
    in.Source = "<p>abc<meta name=x";
    in.StartSource = -1;  // a begin without a source position
    in.EndSource = 5;
    std::string data = BuildHtmlFormat(in);
    EXPECT_EQ(Fragment(data), "<p>ab");

    in.StartSource = 5;  // an end before the begin
    in.EndSource = 2;
    data = BuildHtmlFormat(in);
    EXPECT_EQ(Fragment(data), "");
    EXPECT_LE(HeaderValue(data, "StartFragment:"), HeaderValue(data, "EndFragment:"));

    in.StartSource = 3;  // a META without ">" before the fragment end is cut to the end
    in.EndSource = -1;
    data = BuildHtmlFormat(in);
    EXPECT_EQ(Fragment(data), "abc");
    in.Source = "<p>x<!doctype x";
    in.StartSource = 3;
    data = BuildHtmlFormat(in);
    EXPECT_EQ(Fragment(data), "x");
}

// A selection may end at the source's very end and begin on its last character, or just after it
// (nothing selected): the fragment is that character, or empty, and never reaches back before its
// begin.
TEST(HtmlFormat, ASelectionAtTheEndOfTheSourceCopiesOnlyWhatFollowsItsBegin)
{
    THtmlCopyInput in;
    in.Source = "<p>abc";
    in.StartSource = 5;  // the "c"
    in.EndSource = 6;
    EXPECT_EQ(Fragment(BuildHtmlFormat(in)), "c");

    in.StartSource = 6;  // after the "c"
    const std::string data = BuildHtmlFormat(in);
    EXPECT_EQ(Fragment(data), "");
    EXPECT_EQ(HeaderValue(data, "StartFragment:"), HeaderValue(data, "EndFragment:"));
}

}  // namespace
}  // namespace velmoran
