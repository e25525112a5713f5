// The start dialog (its recent-file list, the choice the radio buttons and the list give, its
// size by dpi, Cancel and the close button), the small display classes, and the gradient panel's
// bands painted through the canvas; the dialog with and without recent files and a vertical and a
// horizontal shader are saved for a person to look at.
#include "framework/ui/DisplayClasses.h"
#include "framework/ui/DlgIntro.h"
#include "framework/ui/Shader.h"
#include "platform/Screen.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ScriptedModals.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>

using namespace velmoran;
using velmoran::testing::ClickControl;
using velmoran::testing::Control;
using velmoran::testing::ReadControl;
using velmoran::testing::SaveArtifact;

namespace {

class DlgIntroTest : public ::testing::Test {
protected:
    DlgIntroTest() { velmoran::testing::App(); }
    ScriptedModalRunner runner;
};

const std::vector<std::string> kRecent = {"/home/ing/Berechnungen/Kläranlage Nord.vda",
                                          "/home/ing/Berechnungen/Ausbau 2030.vda",
                                          "/home/ing/Berechnungen/Sonderfall Winter.vda"};

// A click on a line of the list, as the user makes it.
void ClickLine(TTextListBox& list, int row)
{
    const QRect line = list.visualRect(list.model()->index(row, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, line.center());
}

}  // namespace

TEST_F(DlgIntroTest, EmptyRecentListStartsWithANewCalculation)
{
    TDlgIntro dlg;
    const std::vector<std::string> none;
    dlg.SetRecentFiles(&none);
    dlg.SetRecentFiles(nullptr);  // ignored
    runner.Expect([&](QWidget& window) {
        EXPECT_TRUE(dlg.rbNew->isChecked());
        EXPECT_FALSE(dlg.rbRecent->isEnabled());
        EXPECT_FALSE(dlg.lbxRecent->isEnabled());
        EXPECT_EQ(ReadControl(window, "LblGreetings"), "Wie wollen Sie beginnen ?");
        EXPECT_EQ(ReadControl(window, "rbNew"), "Erstellen einer neuen Berechnung");  // no accelerator
        EXPECT_EQ(ReadControl(window, "rbRecent"), "Öffnen einer der &zuletzt bearbeiteten Dateien:");
        EXPECT_EQ(ReadControl(window, "BtnCancel"), "Abbruch");
        SaveArtifact(window, "framework", "intro-empty");
        ClickControl(window, "BtnOK");
    });
    EXPECT_EQ(Modals().Run(dlg), QDialog::Accepted);
    EXPECT_EQ(dlg.Choice, 0);
    EXPECT_EQ(dlg.FileName, "");
}

TEST_F(DlgIntroTest, RecentFilesGiveTheirChoice)
{
    TDlgIntro dlg;
    {
        std::vector<std::string> callers = kRecent;
        dlg.SetRecentFiles(&callers);
    }  // the caller's list is gone: the dialog kept a copy
    EXPECT_EQ(dlg.RecentFiles(), kRecent);
    runner.Expect([&](QWidget& window) {
        EXPECT_TRUE(dlg.lbxRecent->isEnabled());
        EXPECT_TRUE(dlg.rbRecent->isEnabled());
        EXPECT_EQ(dlg.lbxRecent->Items().Count(), 3);
        dlg.lbxRecentClick();  // no line selected: nothing changes
        EXPECT_EQ(dlg.Choice, 0);
        EXPECT_FALSE(dlg.rbRecent->isChecked());
        ClickLine(*dlg.lbxRecent, 1);
        EXPECT_EQ(dlg.Choice, 2);
        EXPECT_EQ(dlg.FileName, kRecent[1]);
        EXPECT_TRUE(dlg.rbRecent->isChecked());
        SaveArtifact(window, "framework", "intro-recent");
        ClickControl(window, "rbOpen");
        EXPECT_EQ(dlg.Choice, 1);
        EXPECT_EQ(dlg.FileName, "");
        ClickControl(window, "rbRecent");  // checking it alone keeps the choice
        EXPECT_EQ(dlg.Choice, 1);
        EXPECT_TRUE(dlg.lbxRecent->isEnabled());
        QTest::keyClick(&window, Qt::Key_Return);  // OK is the default button
    });
    EXPECT_EQ(Modals().Run(dlg), QDialog::Accepted);
}

// The list chooses a file only by the user's click or key: Tab into it chooses nothing (Return
// then starts a new calculation), a click on the line already highlighted chooses it again after
// another choice, and a key that moves the highlight chooses the line it lands on. Its font is
// 9 pixels high.
TEST_F(DlgIntroTest, TheListChoosesOnlyByTheUsersClickOrKey)
{
    TDlgIntro dlg;
    dlg.SetRecentFiles(&kRecent);
    EXPECT_EQ(dlg.lbxRecent->font().pixelSize(), 9);
    EXPECT_FALSE(dlg.lbxRecent->font().bold());
    const auto tabIntoTheList = [&](QWidget& window) {
        window.activateWindow();
        dlg.rbNew->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 6 && !dlg.lbxRecent->hasFocus(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(dlg.lbxRecent->hasFocus());
    };
    runner.Expect([&](QWidget& window) {
        tabIntoTheList(window);
        EXPECT_EQ(dlg.Choice, 0);
        EXPECT_EQ(dlg.FileName, "");
        EXPECT_TRUE(dlg.rbNew->isChecked());
        EXPECT_EQ(dlg.lbxRecent->ItemIndex(), -1);
        QTest::keyClick(dlg.lbxRecent, Qt::Key_Return);
    });
    EXPECT_EQ(Modals().Run(dlg), QDialog::Accepted);
    EXPECT_EQ(dlg.Choice, 0);

    runner.Expect([&](QWidget& window) {
        tabIntoTheList(window);
        QTest::keyClick(dlg.lbxRecent, Qt::Key_Down);  // the first line
        EXPECT_EQ(dlg.Choice, 2);
        EXPECT_EQ(dlg.FileName, kRecent[0]);
        QTest::keyClick(dlg.lbxRecent, Qt::Key_End);
        EXPECT_EQ(dlg.FileName, kRecent[2]);
        ClickControl(window, "rbNew");
        EXPECT_EQ(dlg.Choice, 0);
        ClickLine(*dlg.lbxRecent, 2);  // highlighted already
        EXPECT_EQ(dlg.Choice, 2);
        EXPECT_EQ(dlg.FileName, kRecent[2]);
        EXPECT_TRUE(dlg.rbRecent->isChecked());
        ClickControl(window, "rbOpen");
        dlg.lbxRecent->SetItemIndex(1);  // the program's choice is no click
        EXPECT_EQ(dlg.Choice, 1);
        QTest::keyClick(dlg.lbxRecent, Qt::Key_Return);
    });
    EXPECT_EQ(Modals().Run(dlg), QDialog::Accepted);
    EXPECT_EQ(dlg.Choice, 1);
}

// A path wider than the list loses its middle, so that the list never scrolls sideways; the choice
// is still the whole path.
TEST_F(DlgIntroTest, LongPathsAreShortenedInTheMiddle)
{
    TDlgIntro dlg;
    const std::string longPath = "/home/ing/Projekte/Abwasserverband Oberes Tal/Kläranlage Nord/Ausbau "
                                 "zweite Stufe/Bemessung Winterfall QD 20000.vda";
    const std::vector<std::string> files = {longPath, kRecent[0]};
    dlg.SetRecentFiles(&files);
    const QString shown = QString::fromStdString(dlg.lbxRecent->Items()[0]);
    EXPECT_TRUE(shown.startsWith("/home/"));
    EXPECT_TRUE(shown.endsWith("QD 20000.vda"));
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_EQ(dlg.lbxRecent->Items()[1], kRecent[0]);  // a short one stays whole
    EXPECT_LE(dlg.lbxRecent->HorizontalExtent(), dlg.lbxRecent->width());
    runner.Expect([&](QWidget& window) {
        EXPECT_FALSE(dlg.lbxRecent->horizontalScrollBar()->isVisible());
        ClickLine(*dlg.lbxRecent, 0);
        EXPECT_EQ(dlg.FileName, longPath);
        SaveArtifact(window, "framework", "intro-long-paths");
    });
    Modals().Run(dlg);
}

TEST_F(DlgIntroTest, SizeByDpiAndTheWaysToCancel)
{
    ScopedScreenPixelsPerInch screen(120);
    TDlgIntro dlg;
    EXPECT_EQ(dlg.size(), QSize(400, 308));
    EXPECT_EQ(dlg.lbxRecent->size(), QSize(277, 100));
    EXPECT_EQ(dlg.BtnOK->size(), QSize(75, 25));
    EXPECT_EQ(dlg.lbxRecent->ItemHeight(), 13);
    EXPECT_EQ(dlg.lbxRecent->BorderStyle(), TBorderStyle::bsNone);
    EXPECT_TRUE(dlg.windowFlags() & Qt::Tool);
    runner.Expect([](QWidget& window) { ClickControl(window, "BtnCancel"); }, QDialog::Accepted);
    runner.Expect([](QWidget& window) { window.close(); }, QDialog::Accepted);
    runner.Expect([](QWidget& window) { QTest::keyClick(&window, Qt::Key_Escape); }, QDialog::Accepted);
    EXPECT_EQ(Modals().Run(dlg), QDialog::Rejected);
    EXPECT_EQ(Modals().Run(dlg), QDialog::Rejected);
    EXPECT_EQ(Modals().Run(dlg), QDialog::Rejected);
}

TEST(DisplayClasses, FixedLooks)
{
    velmoran::testing::App();
    TLabelChoice choice;
    EXPECT_EQ(choice.text(), QStringLiteral("Gewählt:"));
    EXPECT_TRUE(choice.font().bold());
    EXPECT_EQ(choice.palette().color(QPalette::WindowText), QColor(128, 0, 0));
    TPageTitle title;
    EXPECT_EQ(title.palette().color(QPalette::WindowText), QColor(255, 255, 255));
}

namespace {

// The shader's picture at its size, through its paint event.
QImage Shot(TShader& shader, const std::string& name)
{
    shader.show();
    return SaveArtifact(shader, "framework", name);
}

}  // namespace

TEST(Shader, BandsFromBlueToBlack)
{
    velmoran::testing::App();
    TShader shader;
    EXPECT_EQ(shader.FromColor(), RGBRef(0, 0, 255));
    EXPECT_EQ(shader.ToColor(), RGBRef(0, 0, 0));
    EXPECT_EQ(shader.Steps(), 20);
    EXPECT_FALSE(shader.Direction());
    shader.resize(60, 100);
    const QImage rows = Shot(shader, "shader-vertical");
    // Bands of 5 pixels stepping by 12.75 (halves to even); band 1 overlaps band 0 in row 5.
    const int expected[][2] = {{2, 255}, {7, 242}, {12, 229}, {17, 217}, {5, 242}, {99, 13}};
    for (const auto& [row, blue] : expected)
        for (int x : {0, 30, 59})
            EXPECT_EQ(rows.pixelColor(x, row), QColor(0, 0, blue)) << "row " << row;

    shader.SetDirection(true);
    shader.resize(100, 40);
    const QImage columns = Shot(shader, "shader-horizontal");
    for (const auto& [column, blue] : expected)
        EXPECT_EQ(columns.pixelColor(column, 20), QColor(0, 0, blue)) << "column " << column;
}

// Bands whose width is no whole number of pixels (100 / 7) still cover the panel: no row or
// column between two bands keeps the background.
TEST(Shader, BandsOfUnevenWidthLeaveNoSeam)
{
    velmoran::testing::App();
    TShader shader;
    shader.SetSteps(7);
    shader.resize(20, 100);
    const QImage rows = shader.grab().toImage();
    for (int y = 0; y < rows.height(); ++y) {
        const QColor c = rows.pixelColor(10, y);
        EXPECT_TRUE(c.red() == 0 && c.green() == 0) << "row " << y << " shows the background";
    }
    shader.SetDirection(true);
    shader.resize(100, 20);
    const QImage columns = shader.grab().toImage();
    for (int x = 0; x < columns.width(); ++x) {
        const QColor c = columns.pixelColor(x, 10);
        EXPECT_TRUE(c.red() == 0 && c.green() == 0) << "column " << x << " shows the background";
    }
}

// Every channel steps on its own, up or down: red falls while green rises.
TEST(Shader, EachChannelStepsOnItsOwn)
{
    velmoran::testing::App();
    TShader shader;
    shader.SetFromColor(RGBRef(200, 0, 0));
    shader.SetToColor(RGBRef(0, 100, 0));
    shader.SetSteps(4);
    shader.resize(20, 40);
    const QImage rows = shader.grab().toImage();
    EXPECT_EQ(rows.pixelColor(10, 5), QColor(200, 0, 0));
    EXPECT_EQ(rows.pixelColor(10, 15), QColor(150, 25, 0));
    EXPECT_EQ(rows.pixelColor(10, 25), QColor(100, 50, 0));
    EXPECT_EQ(rows.pixelColor(10, 35), QColor(50, 75, 0));
}

TEST(Shader, ZeroStepsPaintOneBandAndStoreOne)
{
    velmoran::testing::App();
    TShader shader;
    shader.SetFromColor(RGBRef(0, 128, 0));
    shader.SetSteps(0);
    shader.resize(30, 30);
    const QImage shot = shader.grab().toImage();
    EXPECT_EQ(shader.Steps(), 1);
    EXPECT_EQ(shot.pixelColor(15, 0), QColor(0, 128, 0));
    EXPECT_EQ(shot.pixelColor(15, 29), QColor(0, 128, 0));
}
