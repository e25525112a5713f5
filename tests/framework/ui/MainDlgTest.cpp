// The module dialog base: its page range and navigation over enabled pages, the OK button by
// Mode, its size by dpi, the base answers of the module interface, finding a control's page
// (nested page controls passed over) and focusing by name, and the rules of closing: actions
// commit the focused float edit first, Escape and Enter never close. A four-page demo dialog is
// saved at 96 and at 120 dpi for a person to look at.
#include "framework/ui/MainDlg.h"
#include "framework/ui/VarFrame.h"
#include "platform/Application.h"
#include "platform/Screen.h"
#include "platform/core/FormatSettings.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ScriptedModals.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

using namespace velmoran;
using velmoran::testing::ClickControl;
using velmoran::testing::Control;
using velmoran::testing::SaveArtifact;
using velmoran::testing::TypeInto;

namespace {

// A module dialog of four pages, each with two value frames; it counts its page fills.
class DemoDlg : public TMainDlg {
public:
    DemoDlg()
    {
        const char* names[4][2] = {
            {"VarQD", "VarCBSB"}, {"VarTN", "VarNH4"}, {"VarP", "VarSK"}, {"VarTSBB", "VarTW"}};
        for (int p = 0; p < 4; ++p) {
            TTabSheet* page = PageControl1->AddPage("Seite " + std::to_string(p + 1));
            auto* title = new QLabel(QStringLiteral("Seite %1 von 4").arg(p + 1), page);
            title->setObjectName(QStringLiteral("lblSeite%1").arg(p + 1));
            title->setGeometry(16, 8, 200, 20);
            for (int f = 0; f < 2; ++f) {
                auto* frame = new TVarFrame3(page);
                frame->setObjectName(QString::fromLatin1(names[p][f]));
                frame->move(16 + f * 200, 40);
                frame->SetBezeichnung(std::string(names[p][f] + 3) + "<sub>zu</sub>");
                frame->SetHinweis("Tagesmittel");
                frame->SetPrompt(names[p][f] + 3);
                frame->SetEinheit("mg/l");
                frame->SetValue(10.0 * (p + 1) + f);
                frames.push_back(frame);
            }
        }
    }
    void FillPage() override
    {
        ++fills;
        if (OnFill)
            OnFill();
    }
    TVarFrame* Frame(const std::string& name) const { return dynamic_cast<TVarFrame*>(FindControl(name)); }

    std::vector<TVarFrame*> frames;
    int fills = 0;
    std::function<void()> OnFill;
};

class MainDlgTest : public ::testing::Test {
protected:
    MainDlgTest() { velmoran::testing::App(); }
    // What a module's EDIT does before showing: the page range and the navigation.
    void Prepare(int page)
    {
        dlg.PageControl1->SetActivePageIndex(page);
        dlg.ComputePageRange();
        dlg.UpdateNavigation();
    }
    ScopedFormatSettings german{FormatSettings::German()};
    ScriptedModalRunner runner;
    DemoDlg dlg;
};

}  // namespace

TEST_F(MainDlgTest, NavigationSkipsDisabledPages)
{
    dlg.PageControl1->Pages(1)->SetPageEnabled(false);
    dlg.PageControl1->Pages(2)->SetPageEnabled(false);
    Prepare(0);
    EXPECT_EQ(dlg.FirstPage, 0);
    EXPECT_EQ(dlg.LastPage, 3);
    EXPECT_FALSE(dlg.DlgPrevious->Enabled());
    EXPECT_FALSE(dlg.DlgOK->Visible());  // Mode 0: OK only on the last enabled page
    dlg.DlgNextExecute();
    EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 3);
    EXPECT_EQ(dlg.CurrentPage, 3);
    EXPECT_TRUE(dlg.DlgOK->Visible());
    EXPECT_FALSE(dlg.DlgNext->Enabled());
    dlg.DlgPreviousExecute();
    EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 0);
    dlg.Mode = 1;
    dlg.UpdateNavigation();
    EXPECT_TRUE(dlg.DlgOK->Visible());
}

// "Weiter" with no enabled page after the shown one, and "Zurück" with none before it, are shut
// and change nothing when run all the same (an accelerator runs the action directly).
TEST_F(MainDlgTest, NoLaterOrEarlierEnabledPage)
{
    dlg.PageControl1->Pages(0)->SetPageEnabled(false);
    dlg.PageControl1->Pages(2)->SetPageEnabled(false);
    dlg.PageControl1->Pages(3)->SetPageEnabled(false);
    Prepare(1);
    EXPECT_EQ(dlg.FirstPage, 1);
    EXPECT_EQ(dlg.LastPage, 1);
    EXPECT_FALSE(dlg.DlgNext->Enabled());
    EXPECT_FALSE(dlg.DlgPrevious->Enabled());
    EXPECT_TRUE(dlg.DlgOK->Visible());
    const int fills = dlg.fills;
    dlg.DlgNextExecute();
    EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 1);
    dlg.DlgPreviousExecute();
    EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 1);
    EXPECT_EQ(dlg.fills, fills);
    // On the last page itself "Weiter" finds nothing either.
    dlg.PageControl1->Pages(3)->SetPageEnabled(true);
    Prepare(3);
    dlg.DlgNextExecute();
    EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 3);
    EXPECT_EQ(dlg.CurrentPage, 3);
}

TEST_F(MainDlgTest, PageStateIsThePagesOwn)
{
    dlg.setEnabled(false);  // a disabled dialog leaves its pages' flags alone
    EXPECT_TRUE(dlg.PageControl1->Pages(2)->PageEnabled());
    for (int i = 0; i < 4; ++i)
        dlg.PageControl1->Pages(i)->SetPageEnabled(false);
    dlg.ComputePageRange();
    EXPECT_EQ(dlg.FirstPage, 4);
    EXPECT_EQ(dlg.LastPage, 0);
}

TEST_F(MainDlgTest, BaseAnswersOfTheModuleInterface)
{
    TMainDlg bare;
    EXPECT_TRUE(bare.Exec("InitData"));
    EXPECT_TRUE(bare.Exec("CheckAll"));
    EXPECT_TRUE(bare.Exec("no command at all"));
    EXPECT_EQ(bare.GetValueText("x"), "####");
    EXPECT_FALSE(bare.ShowMessages("Alles"));
    std::vector<std::string> list{"vorher"};
    EXPECT_TRUE(bare.CheckAll(list));
    EXPECT_EQ(list, (std::vector<std::string>{"vorher", "Keine Meldungen.<br>"}));
    EXPECT_EQ(bare.LoadCaseIndex(3), 0);
    EXPECT_EQ(bare.Keywords.size(), 11u);
    EXPECT_EQ(bare.Keywords.front(), "INITDATA");
    EXPECT_EQ(bare.ModuleName, "*** generic module ***");
    EXPECT_EQ(bare.CompanionExt, ".~vd");
    EXPECT_EQ(bare.windowTitle(), QStringLiteral("Eingabe"));
    EXPECT_EQ(bare.DlgCancel->Caption(), "&Abbruch");
    EXPECT_FALSE(bare.DlgRefresh->Visible());
    EXPECT_EQ(bare.BtnNext->geometry(), QRect(409, 0, 111, 25));
    EXPECT_EQ(bare.BtnNext->Layout(), TButtonLayout::blGlyphRight);
    EXPECT_EQ(bare.BtnNext->Glyph().size(), QSize(9, 9));  // our own arrows
    EXPECT_EQ(bare.BtnPrevious->Glyph().size(), QSize(9, 9));
    EXPECT_EQ(bare.BtnCalc->geometry(), QRect(117, 0, 69, 25));
}

TEST_F(MainDlgTest, SizeFollowsTheScreensDpiAndShowsAsPicture)
{
    for (const int dpi : {96, 120}) {
        ScopedScreenPixelsPerInch screen(dpi);
        DemoDlg demo;
        const QSize expected = dpi == 96 ? QSize(640, 490) : QSize(800, 612);
        EXPECT_EQ(demo.size(), expected);
        demo.PageControl1->SetActivePageIndex(0);
        demo.ComputePageRange();
        demo.UpdateNavigation();
        QImage shot;
        runner.Expect([&](QWidget& window) {
            shot = SaveArtifact(window, "framework", "main-dialog-" + std::to_string(dpi) + "dpi");
        });
        demo.ShowModal();
        EXPECT_EQ(shot.size(), expected);
        // The navigation band along the bottom is dark blue.
        EXPECT_EQ(shot.pixelColor(5, shot.height() - 5), QColor(0, 0, 128));
    }
}

TEST_F(MainDlgTest, CurrentPageIsKeptBetweenShowings)
{
    SetApplicationHelpFile("help/hsg.hlp");
    Prepare(0);
    runner.Expect([](QWidget& window) {
        ClickControl(window, "BtnNext");
        ClickControl(window, "BtnNext");
    });
    dlg.ShowModal();
    EXPECT_EQ(dlg.CurrentPage, 2);
    EXPECT_EQ(dlg.HelpFile, "help/hsg.hlp");  // taken over when shown
    SetApplicationHelpFile("");
    runner.Expect([&](QWidget&) { EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 2); });
    dlg.ShowModal();
}

TEST_F(MainDlgTest, PageIndexOfNestedControlsIsTheDialogsPage)
{
    TTabSheet* outer = dlg.PageControl1->Pages(2);
    auto* nested = new TPageControl(outer);
    nested->setObjectName(QStringLiteral("pcInner"));
    nested->setGeometry(16, 120, 400, 150);
    nested->AddPage("a");
    auto* inner = new TVarFrame2(nested->AddPage("b"));
    inner->setObjectName(QStringLiteral("VarInner"));
    EXPECT_EQ(dlg.PageIndexOfControl(inner), 2);
    EXPECT_EQ(dlg.PageIndexOfControl(outer), -1);  // a page itself is not counted
    EXPECT_EQ(dlg.PageIndexOfControl(&dlg), -1);

    Prepare(0);
    dlg.FocusControlByName("varinner");
    EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 2);
    EXPECT_EQ(nested->ActivePageIndex(), 1);  // the nested page shows as well
    dlg.UpdateNavigation();
    runner.Expect([&](QWidget& window) { EXPECT_EQ(window.focusWidget(), inner->Edit); });
    dlg.ShowModal();

    // A page fill that switches the nested page away leaves the hidden edit unfocused: the page's
    // first input takes the focus instead.
    dlg.FocusControlByName("VarInner");
    dlg.OnFill = [&] { nested->SetActivePageIndex(0); };
    dlg.UpdateNavigation();
    runner.Expect([&](QWidget& window) {
        EXPECT_EQ(window.focusWidget(), dlg.Frame("VarP")->Edit);
        EXPECT_NE(QApplication::focusWidget(), inner->Edit);
    });
    dlg.ShowModal();
}

TEST_F(MainDlgTest, FocusByNameFindsFramesAndIgnoresTheRest)
{
    Prepare(0);
    dlg.FocusControlByName("lblSeite4");  // a label takes no focus: nothing changes
    dlg.FocusControlByName("unbekannt");
    dlg.FocusControlByName("Edit");       // the frames' parts are not the dialog's controls
    EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 0);
    dlg.FocusControlByName("vartsbb");
    EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 3);
    dlg.UpdateNavigation();
    runner.Expect([&](QWidget& window) {
        EXPECT_EQ(window.focusWidget(), dlg.Frame("VarTSBB")->Edit);
        dlg.FocusControlByName("VarTW");  // while shown: at once
        EXPECT_EQ(window.focusWidget(), dlg.Frame("VarTW")->Edit);
    });
    dlg.ShowModal();
}

TEST_F(MainDlgTest, ActionsCommitTheFocusedEditFirst)
{
    Prepare(0);
    runner.Expect([&](QWidget& window) {
        TypeInto(*dlg.Frame("VarQD"), "Edit", QStringLiteral("123,5"));
        ClickControl(window, "BtnNext");  // a speed button takes no focus
        EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 1);
        TypeInto(*dlg.Frame("VarNH4"), "Edit", QStringLiteral("7,25"));
        QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);  // the accelerator of "&Weiter"
        EXPECT_EQ(dlg.PageControl1->ActivePageIndex(), 2);
    });
    dlg.ShowModal();
    EXPECT_EQ(dlg.Frame("VarQD")->Value(), 123.5);
    EXPECT_EQ(dlg.Frame("VarNH4")->Value(), 7.25);
}

TEST_F(MainDlgTest, ClosesOnlyByOkCancelAndTheCloseButton)
{
    Prepare(3);
    runner.Expect([&](QWidget& window) {
        TEditFloat* edit = dlg.Frame("VarTW")->Edit;
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Escape);
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_TRUE(window.isVisible());
        TypeInto(*dlg.Frame("VarTW"), "Edit", QStringLiteral("3"));
        ClickControl(window, "BtnOK");
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(dlg.ShowModal(), QDialog::Accepted);
    EXPECT_EQ(dlg.Frame("VarTW")->Value(), 3);
    runner.Expect([](QWidget& window) { ClickControl(window, "BtnCancel"); }, QDialog::Accepted);
    EXPECT_EQ(dlg.ShowModal(), QDialog::Rejected);
    runner.Expect([](QWidget& window) { window.close(); }, QDialog::Accepted);
    EXPECT_EQ(dlg.ShowModal(), QDialog::Rejected);
}
