// The framework's dialogs as pictures, compared with recordings in tests/data/pictures: the start
// dialog with a shortened long path (where its panels and buttons stand, how much of the path
// the list shows) and the module dialog's navigation band on a middle page (the transparent
// buttons on the dark blue band, Previous and Next both enabled).
#include "framework/ui/DlgIntro.h"
#include "framework/ui/MainDlg.h"
#include "platform/Screen.h"
#include "tests/support/ImageCompare.h"
#include "tests/support/ScriptedModals.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QLabel>

using namespace velmoran;
using velmoran::testing::ExpectLooksLikeRecorded;

namespace {

class FrameworkPictures : public ::testing::Test {
protected:
    FrameworkPictures() { velmoran::testing::App(); }
    ScopedScreenPixelsPerInch screen{96};
    ScriptedModalRunner runner;
};

}  // namespace

TEST_F(FrameworkPictures, StartDialogWithAShortenedPath)
{
    TDlgIntro dlg;
    const std::vector<std::string> files = {
        "/home/ing/Projekte/Abwasserverband Oberes Tal/Kläranlage Nord/Ausbau zweite Stufe/Bemessung "
        "Winterfall QD 20000.vda",
        "/home/ing/Berechnungen/Ausbau 2030.vda"};
    dlg.SetRecentFiles(&files);
    runner.Expect([&](QWidget& window) {
        window.activateWindow();
        ExpectLooksLikeRecorded(window.grab().toImage(), "pictures/intro-recent.png", "framework",
                                "intro-recent");
    });
    Modals().Run(dlg);
}

TEST_F(FrameworkPictures, NavigationBandOnAMiddlePage)
{
    TMainDlg dlg;
    for (int p = 0; p < 3; ++p) {
        TTabSheet* page = dlg.PageControl1->AddPage("Seite " + std::to_string(p + 1));
        new QLabel(QStringLiteral("Seite %1").arg(p + 1), page);
    }
    dlg.PageControl1->SetActivePageIndex(1);
    dlg.ComputePageRange();
    dlg.UpdateNavigation();
    runner.Expect([&](QWidget& window) {
        const QImage shot = window.grab().toImage();
        const QRect band = dlg.pnlNavigate->geometry();
        ExpectLooksLikeRecorded(shot.copy(band), "pictures/main-dialog-band.png", "framework", "main-dialog-band");
    });
    dlg.ShowModal();
}
