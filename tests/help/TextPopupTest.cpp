// The text pop-up of our help engine and the numbers that reach it: the lines break between
// words only and are painted with the font they were measured with, so "Zu diesem Element ist
// keine Hilfe vorhanden." never loses a letter to the next line; a context number beyond 32 bits
// on the router's pop-up path names no topic instead of wrapping round to another one.
#include "help/HelpPopup.h"
#include "help/HelpRouter.h"
#include "help/HelpViewerEngine.h"
#include "platform/AppServices.h"
#include "platform/Application.h"
#include "tests/help/RecordingHelpEngine.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ScriptedPrompts.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

namespace velmoran {
namespace {

const std::string kDemoHelpFile = VELMORAN_TEST_DATA "/help/Demo.hlp";

QStringList Words(const QString& text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// Every line is whole words of the text, in order, and fits the text's room.
void ExpectBrokenBetweenWords(const THelpPopup& popup, const QString& text)
{
    const QFontMetricsF metrics(popup.TextFont());
    QStringList shown;
    for (const QString& line : popup.Lines()) {
        EXPECT_LE(metrics.horizontalAdvance(line), popup.TextRect().width()) << line.toStdString();
        EXPECT_FALSE(line.startsWith(QLatin1Char(' ')) || line.endsWith(QLatin1Char(' '))) << line.toStdString();
        shown += Words(line);
    }
    EXPECT_EQ(shown, Words(text));
}

TEST(TextPopup, NoHelpTextBreaksBetweenWordsAndPaintsWhatWasMeasured)
{
    ScriptedPromptService prompts;
    THelpViewerEngine engine;
    THHPopup request;
    request.pszFont = "Liberation Sans, 8";  // what the router asks for
    request.pt = QPoint(40, 50);
    QWidget* window = engine.htmlHelp(nullptr, "", HH_DISPLAY_TEXT_POPUP, 0, &request);
    auto* popup = dynamic_cast<THelpPopup*>(window);
    ASSERT_NE(popup, nullptr);
    const QString text = QString::fromUtf8(kNoHelpText);
    ExpectBrokenBetweenWords(*popup, text);
    EXPECT_EQ(popup->Lines().size(), 1);  // the short text fits on one line
    EXPECT_FALSE(popup->TextFont().kerning());

    // The window paints exactly these lines with that font at the text's place: a picture drawn
    // here the same way is the same picture, and nothing is drawn into the right margin.
    const QImage shot = testing::SaveArtifact(*popup, "help", "keine-hilfe");
    QImage expected(popup->size(), QImage::Format_RGB32);
    {
        QPainter painter(&expected);
        painter.fillRect(expected.rect(), shot.pixelColor(1, 1));
        painter.setPen(shot.pixelColor(0, 0));
        painter.drawRect(expected.rect().adjusted(0, 0, -1, -1));
        painter.setFont(popup->TextFont());
        painter.setPen(Qt::black);
        const QFontMetricsF metrics(popup->TextFont());
        qreal top = popup->TextRect().top();
        for (const QString& line : popup->Lines()) {
            painter.drawText(QPointF(popup->TextRect().left(), top + metrics.ascent()), line);
            top += std::ceil(metrics.height());
        }
    }
    EXPECT_EQ(shot, expected.convertToFormat(QImage::Format_RGB32));
    for (int y = 1; y < shot.height() - 1; ++y)
        for (int x = popup->TextRect().right() + 3; x < shot.width() - 1; ++x)
            ASSERT_EQ(shot.pixelColor(x, y), shot.pixelColor(1, 1)) << "ink at " << x << "," << y;
    popup->close();
}

TEST(TextPopup, LongTextsAndLongWords)
{
    const QFontMetricsF metrics(THelpPopup::DefaultFont());
    // A long text fills lines up to the room and breaks at blanks; "\n" keeps its line break.
    const QString text = QStringLiteral("Die t\u00e4gliche Zulaufmenge bei Trockenwetter ist die Menge, die an einem "
                                        "Tag ohne Regen zufliesst, gemittelt \u00fcber ein Jahr.\nZweite Zeile.");
    const QStringList lines = BreakIntoLines(text, metrics, THelpPopup::kMaxTextWidth);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.back(), QStringLiteral("Zweite Zeile."));
    for (int i = 0; i + 2 < lines.size(); ++i) {
        EXPECT_LE(metrics.horizontalAdvance(lines[i]), THelpPopup::kMaxTextWidth);
        // The next word would not have fitted.
        const QString next = Words(lines[i + 1]).front();
        EXPECT_GT(metrics.horizontalAdvance(lines[i] + QLatin1Char(' ') + next), THelpPopup::kMaxTextWidth);
    }
    // A word wider than the room stays whole on its own line, and the window grows to hold it.
    const QString word(60, QLatin1Char('W'));
    EXPECT_EQ(BreakIntoLines(QStringLiteral("kurz ") + word + QStringLiteral(" kurz"), metrics, 100),
              (QStringList{QStringLiteral("kurz"), word, QStringLiteral("kurz")}));
    THelpPopup popup(word, THelpPopup::DefaultFont());
    EXPECT_GE(popup.TextRect().width(), metrics.horizontalAdvance(word));
    // A bad font description falls back to the default.
    EXPECT_EQ(THelpPopup::FontOf("kaputt"), THelpPopup::DefaultFont());
    EXPECT_EQ(THelpPopup::FontOf("Liberation Serif, 10").pixelSize(), 13);
}

// A pop-up request names its font as "Face, points". No face or no size (0 or less) gives no
// usable font: the pop-up takes its default one, readable, rather than an unnamed face or a font
// one pixel high. The smallest real size, 1 point, is taken as asked.
TEST(TextPopup, AFontWithoutFaceOrSizeFallsBackToTheDefault)
{
    for (const char* bad : {"Arial,0", ",10", " , 10", "Arial,-3", "Arial,", "Arial,x"})
        EXPECT_EQ(THelpPopup::FontOf(bad), THelpPopup::DefaultFont()) << bad;
    const QFont tiny = THelpPopup::FontOf("Arial,1");
    EXPECT_EQ(tiny.family(), QStringLiteral("Arial"));
    EXPECT_EQ(tiny.pixelSize(), 1);
    EXPECT_NE(tiny, THelpPopup::DefaultFont());

    // The pop-up the engine shows for such a request measures and paints with the default font.
    ScriptedPromptService prompts;
    THelpViewerEngine engine;
    THHPopup request;
    request.pszFont = "Arial,0";
    request.pt = QPoint(40, 50);
    auto* popup = dynamic_cast<THelpPopup*>(engine.htmlHelp(nullptr, "", HH_DISPLAY_TEXT_POPUP, 0, &request));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->TextFont(), THelpPopup::DefaultFont());
    EXPECT_EQ(popup->Lines().size(), 1);
    popup->close();
}

TEST(TextPopup, RouterRefusesContextNumbersBeyond32Bits)
{
    SetApplicationHelpFile("/hilfe/Velmoran.hlp");
    testing::RecordingHelpEngine engine;
    THelpRouter router;
    router.SetHelpType(THelpType::htHTMLhelp);
    const std::int64_t wide = (std::int64_t{1} << 32) + 100;
    for (const std::int64_t context : {wide, -wide, std::int64_t{100}}) {
        EXPECT_TRUE(AppServices::Instance().HelpCommand(HELP_CONTEXTPOPUP, context));
        ASSERT_TRUE(engine.Last().HasPopup);
        // 2^32 + 100 must not reach topic 100; topic 0 has no pop-up, so the engine says so.
        EXPECT_EQ(engine.Last().Popup.idString, context == 100 ? 100 : 0) << context;
    }
    SetApplicationHelpFile("");
}

}  // namespace
}  // namespace velmoran
