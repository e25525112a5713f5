// The printed look of form controls on the recording canvas: the marks of check boxes (white when
// disabled too) and radio buttons, buttons as a frame with their caption on a monochrome device and
// as their cached picture on a colour one, edits whose password prints as stars, and a scrolled
// text area from the row it shows first. Pages use the test font.
#include "tests/support/TestApp.h"

#include "html/layout/FormControls.h"
#include "html/layout/HtmlParser.h"
#include "html/layout/SectionList.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/SectionListDocument.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace velmoran {
namespace {

class PrintedForm {
public:
    explicit PrintedForm(const std::string& html)
    {
        testing::App();
        Doc.Styles.BuildDefaultStyleSheet({});
        ParseHtmlDocument(html, Doc);
        MeasuringCanvas canvas(Fonts);
        for (const auto& form : Doc.FormList)
            form->SizeControls(canvas);
    }
    template <class C>
    C& Control(int i)
    {
        return *dynamic_cast<C*>(Doc.FormControlList[static_cast<std::size_t>(i)]);
    }
    // One control drawn at (10, 20) on a device of the given colour depth.
    template <class C>
    std::vector<std::string> Draw(int i, int bitsPerPixel = 24)
    {
        RecordingCanvas canvas(Fonts);
        canvas.SetDeviceCaps(BITSPIXEL, bitsPerPixel);
        canvas.SetDeviceCaps(PLANES, 1);
        Control<C>(i).DrawForPrint(canvas, 10, 20);
        return canvas.Calls();
    }
    // The whole page printed from a print copy.
    std::vector<std::string> Print()
    {
        auto copy = Doc.CreateCopy();
        copy->Printing = true;
        RecordingCanvas canvas(Fonts);
        int width = 0;
        copy->LayoutDocument(canvas, 600, width);
        copy->SetYOffset(0);
        copy->PaintDocument(canvas, {0, 0, 800, 600});
        return canvas.Calls();
    }

    TestFontEngine Fonts;
    ScopedScreenFonts Scoped{Fonts};
    TSectionList Doc;
};

bool Has(const std::vector<std::string>& calls, const std::string& call)
{
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

bool HasPrefix(const std::vector<std::string>& calls, const std::string& prefix)
{
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
}

TEST(FormPrint, CheckBoxTick)
{
    PrintedForm page("<input type=checkbox checked><input type=checkbox>");
    const auto checked = page.Draw<TCheckBoxFormControlObj>(0);
    // A white box, then the tick from (x+3, m) over (x+5, m+2) to (x+9, m-2), m the middle (26).
    EXPECT_TRUE(Has(checked, "FillRect 10,20,23,33 #FFFFFF"));
    EXPECT_TRUE(Has(checked, "LineTo 15,28 from 13,26"));
    EXPECT_TRUE(Has(checked, "LineTo 19,24 from 15,28"));
    const auto unchecked = page.Draw<TCheckBoxFormControlObj>(1);
    EXPECT_FALSE(HasPrefix(unchecked, "LineTo 15,28"));
}

TEST(FormPrint, ADisabledCheckBoxPrintsWhiteWithItsTick)
{
    PrintedForm page("<input type=checkbox checked disabled>");
    const auto calls = page.Draw<TCheckBoxFormControlObj>(0);
    EXPECT_TRUE(Has(calls, "FillRect 10,20,23,33 #FFFFFF"));
    EXPECT_TRUE(Has(calls, "LineTo 19,24 from 15,28"));
}

// A text area scrolled on the screen prints the rows it shows, from its first visible row on.
TEST(FormPrint, ATextAreaPrintsFromItsFirstVisibleRow)
{
    testing::App();
    TPageViewer viewer;
    viewer.resize(400, 300);
    std::string content;
    for (int i = 0; i < 12; ++i)
        content += "Reihe " + std::to_string(i) + "\r\n";
    viewer.LoadDocumentString("<textarea rows=3 cols=20>" + content + "</textarea>");
    viewer.show();
    QApplication::processEvents();
    viewer.PaintPanel()->repaint();
    TSectionList& doc = static_cast<TSectionListDocument&>(viewer.Document()).Sections();
    ASSERT_EQ(doc.FormControlList.size(), 1u);
    auto& area = dynamic_cast<TTextAreaFormControlObj&>(*doc.FormControlList[0]);
    auto* memo = qobject_cast<QPlainTextEdit*>(area.GetWinControl());
    ASSERT_NE(memo, nullptr);
    memo->verticalScrollBar()->setValue(4);
    ASSERT_EQ(memo->verticalScrollBar()->value(), 4);

    TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    area.DrawForPrint(canvas, 10, 20);
    const auto calls = canvas.Calls();
    auto printed = [&](const std::string& row) {
        return std::any_of(calls.begin(), calls.end(),
                           [&](const std::string& c) { return c.find("'" + row + "'") != std::string::npos; });
    };
    EXPECT_TRUE(printed("Reihe 4"));
    EXPECT_FALSE(printed("Reihe 3"));
    EXPECT_FALSE(printed("Reihe 0"));
}

TEST(FormPrint, RadioCircleAndDot)
{
    PrintedForm page("<input type=radio name=r checked><input type=radio name=r disabled>");
    const auto checked = page.Draw<TRadioButtonFormControlObj>(0);
    EXPECT_TRUE(Has(checked, "Ellipse 10,20,24,34"));        // the 14 x 14 circle
    EXPECT_TRUE(Has(checked, "Arc 10,20,24,34 24,20 10,34")); // shadow over the upper left
    EXPECT_TRUE(Has(checked, "Arc 10,20,24,34 10,34 24,20")); // silver over the lower right
    EXPECT_TRUE(Has(checked, "Ellipse 15,25,19,29"));        // the dot
    const auto other = page.Draw<TRadioButtonFormControlObj>(1);
    EXPECT_FALSE(Has(other, "Ellipse 15,25,19,29"));
}

TEST(FormPrint, ButtonFrameOnMonochromeAndPictureInColour)
{
    PrintedForm page("<input type=submit value=Los>");
    auto& button = page.Control<TButtonFormControlObj>(0);
    const int w = button.Width(), h = button.Height();
    const auto mono = page.Draw<TButtonFormControlObj>(0, 1);
    EXPECT_TRUE(Has(mono, "Rectangle 10,20," + std::to_string(10 + w) + "," + std::to_string(20 + h)));
    EXPECT_TRUE(HasPrefix(mono, "ExtTextOut " + std::to_string(10 + (w - 18) / 2) + "," +
                                    std::to_string(20 + (h - 13) / 2) + " clipped"));
    EXPECT_TRUE(button.PrintBitmap.isNull());
    // In colour the real button is rendered once and its picture printed.
    const auto colour = page.Draw<TButtonFormControlObj>(0);
    ASSERT_FALSE(button.PrintBitmap.isNull());
    const std::string blt = "StretchBlt 10,20," + std::to_string(10 + w) + "," + std::to_string(20 + h);
    EXPECT_TRUE(HasPrefix(colour, blt));
    const qint64 picture = button.PrintBitmap.cacheKey();
    page.Draw<TButtonFormControlObj>(0);
    EXPECT_EQ(button.PrintBitmap.cacheKey(), picture);
}

TEST(FormPrint, PasswordPrintsStars)
{
    PrintedForm page("<p><input name=n value=Klartext><input type=password value=geheim>"
                     "<textarea>Zeile eins\r\nZeile zwei</textarea>");
    const auto calls = page.Print();
    auto texts = [&](const std::string& t) {
        return std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.find(t) != std::string::npos; });
    };
    EXPECT_EQ(texts("'Klartext'"), 1);
    EXPECT_EQ(texts("'******'"), 1);
    EXPECT_EQ(texts("geheim"), 0);
    EXPECT_EQ(texts("'Zeile eins'"), 1);
    EXPECT_EQ(texts("'Zeile zwei'"), 1);
}

TEST(FormPrint, ListsPrintTheirRows)
{
    PrintedForm page("<select size=2 multiple><option>eins<option selected>zwei<option>drei</select>"
                     "<select><option>a<option selected>bee</select>");
    const auto list = page.Draw<TListBoxFormControlObj>(0);
    EXPECT_TRUE(HasPrefix(list, "ExtTextOut 14,22 clipped"));
    EXPECT_TRUE(HasPrefix(list, "ExtTextOut 14,35 clipped"));
    EXPECT_FALSE(std::any_of(list.begin(), list.end(), [](const std::string& c) { return c.find("drei") != std::string::npos; }));
    const auto combo = page.Draw<TComboFormControlObj>(1);
    EXPECT_TRUE(std::any_of(combo.begin(), combo.end(), [](const std::string& c) { return c.find("'bee'") != std::string::npos; }));
}

}  // namespace
}  // namespace velmoran
