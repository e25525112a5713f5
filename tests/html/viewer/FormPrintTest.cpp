// The printed look of form controls on the recording canvas: the marks of check boxes (white when
// disabled too) and radio buttons, buttons as a frame with their caption on a monochrome device and
// as their cached picture on a colour one, edits whose password prints as stars, and a scrolled
// text area with its memo's rows from the row it shows first. Pages use the test font.
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
#include <QTextCursor>

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

// A text area shown in a viewer, its memo scrolled, then printed on the recording canvas.
class ShownTextArea {
public:
    ShownTextArea(const std::string& content, int cols)
    {
        testing::App();
        viewer.resize(400, 300);
        viewer.LoadDocumentString("<textarea rows=3 cols=" + std::to_string(cols) + ">" + content + "</textarea>");
        viewer.show();
        QApplication::processEvents();
        viewer.PaintPanel()->repaint();
        TSectionList& doc = static_cast<TSectionListDocument&>(viewer.Document()).Sections();
        if (doc.FormControlList.size() == 1) {
            Area = dynamic_cast<TTextAreaFormControlObj*>(doc.FormControlList[0]);
            Memo = Area ? qobject_cast<QPlainTextEdit*>(Area->GetWinControl()) : nullptr;
        }
    }
    // The row that ends up at the top of the view.
    int ScrollTo(int row)
    {
        Memo->verticalScrollBar()->setValue(row);
        QApplication::processEvents();
        return Memo->verticalScrollBar()->value();
    }
    // The row-th line of the screen from the view's top, read off the memo under that point.
    std::string ShownRow(int row) const
    {
        const int height = Memo->fontMetrics().lineSpacing();
        QTextCursor cursor = Memo->cursorForPosition(QPoint(4, row * height + height / 2 + 1));
        cursor.movePosition(QTextCursor::StartOfLine);
        cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        return cursor.selectedText().trimmed().toStdString();
    }
    // The texts printed, in order, without the blanks around them.
    std::vector<std::string> PrintedRows()
    {
        TestFontEngine fonts;
        RecordingCanvas canvas(fonts);
        Area->DrawForPrint(canvas, 10, 20);
        std::vector<std::string> rows;
        for (const std::string& call : canvas.Calls())
            if (call.rfind("ExtTextOut", 0) == 0) {
                const auto open = call.find('\'');
                const std::string text = call.substr(open + 1, call.rfind('\'') - open - 1);
                rows.push_back(QString::fromStdString(text).trimmed().toStdString());
            }
        return rows;
    }

    TPageViewer viewer;
    TTextAreaFormControlObj* Area = nullptr;
    QPlainTextEdit* Memo = nullptr;
};

// A text area scrolled on the screen prints the rows its memo lays out, from the row the memo
// shows at its top. The memo wraps its paragraphs at its view in the screen font: a print that
// wrapped them again at the printed box in the printer's font started at another row as soon as a
// paragraph wrapped differently there. The rows expected are read off the screen.
TEST(FormPrint, ATextAreaPrintsTheRowsItsMemoShowsFromItsTopRow)
{
    std::string lines, paragraphs;
    for (int i = 0; i < 12; ++i)
        lines += "Reihe " + std::to_string(i) + "\r\n";
    for (int i = 0; i < 8; ++i)
        paragraphs += "Absatz " + std::to_string(i) + " mit ein paar Worten mehr, als eine Reihe fasst\r\n";
    struct Case {
        std::string content;
        int cols;
        std::string top;  // the row printed first, when known beforehand
    };
    for (const Case& c : {Case{lines, 20, "Reihe 4"}, Case{paragraphs, 16, {}}}) {
        ShownTextArea area(c.content, c.cols);
        ASSERT_NE(area.Memo, nullptr);
        ASSERT_GE(area.ScrollTo(4), 4);
        const auto rows = area.PrintedRows();
        ASSERT_GE(rows.size(), 2u) << c.cols;
        EXPECT_EQ(rows[0], area.ShownRow(0)) << c.cols;
        EXPECT_EQ(rows[1], area.ShownRow(1)) << c.cols;
        if (!c.top.empty()) {
            EXPECT_EQ(rows[0], c.top);
        }
    }
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
