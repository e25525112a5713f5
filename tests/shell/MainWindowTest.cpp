// The main window: its settings at creation and destruction, the module and template combo
// boxes, the action table with its enabled states, the start page or start dialog, the folder
// dialog and the info box. Every window is run by the scripted modal runner.
#include "controls/EnhCombo.h"
#include "controls/EnhEditBtn.h"
#include "controls/HtmlLabel.h"
#include "framework/ui/DlgIntro.h"
#include "help/HelpRouter.h"
#include "platform/AppServices.h"
#include "platform/RegIni.h"
#include "shell/AboutBox.h"
#include "shell/DlgPath.h"
#include "shell/MainForm.h"
#include "shell/Modules.h"
#include "shell/Settings.h"
#include "shell/ShellState.h"
#include "tests/shell/ShellTestEnvironment.h"
#include "tests/support/ImageCompare.h"
#include "tests/support/ScriptedModals.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "toolbar/TBarDock.h"
#include "toolbar/TBarFloatingWindow.h"
#include "toolbar/TBarItem.h"
#include "toolbar/TBarModalHandler.h"
#include "toolbar/TBarMRUList.h"
#include "toolbar/TBarToolbar.h"
#include "toolbar/TBarView.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace velmoran;
using velmoran::testing::TempFolder;

namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;

// A window whose calculation commands are counted instead of done.
class CountingForm : public TMainForm {
public:
    using TMainForm::TMainForm;

    void FileNewExecute() override { Calls.push_back("new"); }
    void FileOpenExecute() override { Calls.push_back("open"); }
    void FileSaveExecute() override { Calls.push_back("save"); }
    void OpenCalculationFile(const std::string& fileName) override { Calls.push_back("open " + fileName); }
    bool RunEditDialog(int mode, int page, const std::string& = {}) override
    {
        Calls.push_back("edit " + std::to_string(mode) + " " + std::to_string(page));
        return EditAnswer;
    }

    Texts Calls;
    bool EditAnswer = true;
};

// The process's current folder for the life of the object: the start page is looked up there.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder) : saved_(fs::current_path()) { fs::current_path(folder); }
    ~CurrentFolder() { fs::current_path(saved_); }

private:
    fs::path saved_;
};

class MainWindowTest : public velmoran::testing::EmptySettings {
protected:
    MainWindowTest() : here(current.Folder()), shell(Folders(), "de")
    {
        velmoran::testing::App();
        fs::copy_file(fs::path(VELMORAN_DATA_DIR) / "HSG.MTX", program / "HSG.MTX");
        fs::copy_file(fs::path(VELMORAN_DATA_DIR) / "VarTab.tra", program / "VarTab.tra");
        fs::copy(fs::path(VELMORAN_DATA_DIR) / "templates", shell.Folders.TemplatePath, fs::copy_options::recursive);
    }
    ~MainWindowTest() override { form.reset(); }

    TFolders Folders()
    {
        TFolders folders;
        folders.SetProgramFolder(program.Folder());
        folders.SetDataPath(root.Folder() + "Daten");
        folders.SetTemplatePath(root.Folder() + "Vorlagen");
        fs::create_directories(folders.DataPath);
        fs::create_directories(folders.TemplatePath);
        return folders;
    }

    CountingForm& Form(const std::string& commandLineFile = {})
    {
        // One window at a time: the help router allows no second one.
        form.reset();
        form = std::make_unique<CountingForm>(shell, commandLineFile);
        return *form;
    }
    // One idle update and whatever it queued.
    void Idle()
    {
        form->UpdateActions();
        QCoreApplication::processEvents();
    }
    static RegIniFile Settings() { return RegIniFile(kSettingsKey); }

    Action& ActionNamed(const std::string& name)
    {
        for (Action* action : form->Actions().All())
            if (action->objectName().toStdString() == name)
                return *action;
        throw std::runtime_error("no action " + name);
    }

    TempFolder program;
    TempFolder root;
    TempFolder current;
    CurrentFolder here;
    ScriptedPromptService prompts;
    ScriptedModalRunner modals;
    TShellState shell;
    std::unique_ptr<CountingForm> form;
};

// --- the window and its settings ----------------------------------------------------------------

using MainWindow = MainWindowTest;

TEST_F(MainWindow, AStoredRectangleGivesTheBoundsAnUnusableOneACentredWindow)
{
    {
        RegIniFile settings = Settings();
        WriteWindowSettings(settings, {100, 120, 700, 560}, true, true);
    }
    EXPECT_EQ(Form().geometry(), QRect(100, 120, 600, 440));
    form.reset();

    Settings().WriteBinary({}, "MainFormRect", "kaputt");
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((Form().geometry().center() - centre).manhattanLength(), 2);
}

TEST_F(MainWindow, TheBoundsAndSettingsAreWrittenWhenTheWindowGoes)
{
    Form().setGeometry(40, 50, 640, 480);
    form->Actions().SetStartDlg->Execute();
    form.reset();

    const TWindowSettings stored = ReadWindowSettings(Settings(), ScreenRects());
    ASSERT_TRUE(stored.MainFormRect);
    EXPECT_EQ(stored.MainFormRect->Left, 40);
    EXPECT_EQ(stored.MainFormRect->Bottom, 530);
    EXPECT_FALSE(stored.StartDialog);
    EXPECT_TRUE(stored.SpeedBar);
    EXPECT_FALSE(Form().Actions().SetStartDlg->Checked());
}

TEST_F(MainWindow, SpeedBarOffHidesTheToolbarsAndTheToggleIsSaved)
{
    Settings().WriteInteger({}, "SpeedBar", 0);
    Form();
    EXPECT_FALSE(form->ToolbarsVisible());
    EXPECT_FALSE(form->Actions().SetSpeedBar->Checked());

    form->Actions().SetSpeedBar->Execute();
    EXPECT_TRUE(form->ToolbarsVisible());
    form->Actions().SetSpeedBar->Execute();
    EXPECT_FALSE(form->ToolbarsVisible());
    form->Actions().SetSpeedBar->Execute();
    form.reset();
    EXPECT_EQ(Settings().ReadInteger({}, "SpeedBar", -1), 1);
}

TEST_F(MainWindow, TheRecentFilesAreLoadedWithoutGapsAndSavedBack)
{
    Settings().WriteString("Recent Files", "MRU1", "a");
    Settings().WriteString("Recent Files", "MRU3", "b");
    EXPECT_EQ(Form().MRUList->Items().Texts(), (Texts{"a", "b"}));
    EXPECT_EQ(form->MRUList->MaxItems(), 6);

    form->MRUListClick("b");
    EXPECT_EQ(form->Calls, Texts{"open b"});
    form.reset();
    EXPECT_EQ(Settings().ReadString("Recent Files", "MRU2", ""), "b");
    EXPECT_FALSE(Settings().ValueExists("Recent Files", "MRU3"));
}

TEST_F(MainWindow, ShowsTheModuleAndItsTemplatesOnTheHiddenResultPages)
{
    Settings().WriteInteger({}, "StartDialog", 0);
    Form();
    EXPECT_EQ(form->windowTitle().toStdString(), "Velmoran");
    EXPECT_TRUE(form->pcResult->isHidden());
    EXPECT_EQ(form->pcResult->currentWidget(), form->tsResultHTM);
    EXPECT_EQ(form->pcResult->count(), 4);

    EXPECT_EQ(form->cbxModules->Items(), Texts{"Bemessung nach HSG"});
    EXPECT_EQ(form->cbxModules->Text(), "Bemessung nach HSG");
    EXPECT_EQ(form->cbxModules->Style(), TComboBoxStyle::csSimple);
    ASSERT_NE(form->cbxModules->lineEdit(), nullptr);
    EXPECT_TRUE(form->cbxModules->lineEdit()->isReadOnly());
    EXPECT_EQ(form->cbxScreenTpl->Text(), "Standard.vst");
    EXPECT_EQ(form->cbxPrintTpl->Text(), "Standard.vpt");
    EXPECT_EQ(form->HelpRouter->Helpfile(), shell.Folders.HelpPath + "VelmoranHSG.hlp");

    // Showing the window changes no page.
    form->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->pcResult->isHidden());
    EXPECT_EQ(form->pcResult->currentWidget(), form->tsResultHTM);

    AppServices::Instance().SetHint("Neue Berechnung erstellen");
    EXPECT_EQ(form->StatusBar->currentMessage().toStdString(), "Neue Berechnung erstellen");

    fs::create_directories(VELMORAN_ARTIFACTS "/shell");
    EXPECT_TRUE(form->grab().save(VELMORAN_ARTIFACTS "/shell/mainwindow.png"));
    AppServices::Instance().SetHint("");
}

TEST_F(MainWindow, AnotherTemplateChosenInTheComboBoxIsLoaded)
{
    std::ofstream(shell.Folders.TemplatePath + "de/HSG/Kurz.vst") << "<p>kurz</p>";
    Form();
    const Texts names = form->cbxScreenTpl->Items();
    const auto it = std::find(names.begin(), names.end(), "Kurz.vst");
    ASSERT_NE(it, names.end());
    form->cbxScreenTpl->SetItemIndex(static_cast<int>(it - names.begin()));
    form->cbxScreenTplChange();
    EXPECT_EQ(shell.Templates.ScreenTemplateName(), shell.Folders.TemplatePath + "de/HSG/Kurz.vst");
    EXPECT_EQ(form->cbxScreenTpl->Text(), "Kurz.vst");
}

// With two modules in the list the user picks the second and then the first again: each pick
// switches the module, the first one too, whose index 0 is a choice like any other.
TEST_F(MainWindow, TheUserSwitchesToTheSecondModuleAndBackToTheFirst)
{
    const fs::path library = program / "Testmodul.so";
    fs::copy_file(VELMORAN_TEST_MODULE, library);
    Settings().WriteInteger({}, "StartDialog", 0);
    Form();
    ASSERT_TRUE(shell.Modules.RegisterModule(library.string()));
    // The list as it stands with two modules: a drop-down list on the module in use.
    form->cbxModules->SetItems(shell.Modules.Captions());
    form->cbxModules->SetStyle(TComboBoxStyle::csDropDownList);
    form->cbxModules->SetItemIndex(shell.Modules.ModuleIndex);
    const TMainDlg* design = shell.Modules.ModuleDialog();
    ASSERT_NE(design, nullptr);

    QTest::keyClick(form->cbxModules, Qt::Key_Down);
    EXPECT_EQ(shell.Modules.ModuleIndex, 1);
    EXPECT_NE(shell.Modules.ModuleDialog(), design);
    EXPECT_EQ(form->cbxModules->Text(), "Testmodul");

    QTest::keyClick(form->cbxModules, Qt::Key_Up);
    EXPECT_EQ(shell.Modules.ModuleIndex, 0);
    EXPECT_EQ(shell.Modules.ModuleDialog(), design);
    EXPECT_EQ(form->cbxModules->Text(), "Bemessung nach HSG");
    EXPECT_EQ(form->HelpRouter->Helpfile(), shell.Folders.HelpPath + "VelmoranHSG.hlp");
}

// --- the actions --------------------------------------------------------------------------------

using MainActions = MainWindowTest;

TEST_F(MainActions, CaptionsHintsAndShortcutsFollowTheTable)
{
    struct Row {
        const char* Name;
        const char* Caption;
        const char* Hint;
        TShortCut ShortCut;
    };
    const Row rows[] = {
        {"FileNew", "&Neu", "Neu|Neue Berechnung erstellen", scCtrl | 'N'},
        {"FileOpen", "&Öffnen...", "Öffnen|Eine vorhandene Berechnung öffnen", scCtrl | 'O'},
        {"FileSave", "&Speichern", "Speichern|Aktuelle Berechnung in Datei speichern", scCtrl | 'S'},
        {"FileSetScreenTemplate", "&Bildschirmausgabe...",
         "Bildschirmvorlage|Vorlage für die Bildschirmdarstellung der Ergebnisse wählen", scCtrl | 'B'},
        {"EditCopy", "&Kopieren", "Kopieren|Das markierte Objekt in die Zwischenablage kopieren", scCtrl | 'C'},
        {"FileExit", "&Beenden", "Beenden|Das Programm beenden", scNone},
        {"EditMain", "Auslegungs&daten...", "Eingabedialog|Den Haupt-Eingabedialog aufrufen", scNone},
        {"SetSpeedBar", "Sym&bollleiste", "", scNone},
        {"HelpOnHelp1", "&Hilfe benutzen", "Hilfe benutzen|Anleitung zur Bedienung der Hilfe-Funktion", scNone},
        {"Homepage", "H&omepage", "Homepage|Aufruf der Programm-Homepage im Internet", scNone},
    };
    Form();
    EXPECT_EQ(form->Actions().All().size(), 28u);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const Action& action = ActionNamed(row.Name);
        EXPECT_EQ(action.Caption(), row.Caption);
        EXPECT_EQ(action.Hint(), row.Hint);
        EXPECT_EQ(action.ShortCut(), row.ShortCut);
    }
    EXPECT_FALSE(ActionNamed("Homepage").Visible());
    EXPECT_EQ(ActionNamed("FileSave").Images(), ActionNamed("FileNew").Images());
    EXPECT_NE(ActionNamed("FileSave").ImageIndex(), ActionNamed("FileNew").ImageIndex());
}

TEST_F(MainActions, ACalculationEnablesTheDisabledSetButImport)
{
    Settings().WriteInteger({}, "StartDialog", 0);
    Form();
    Texts disabled;
    for (Action* action : form->Actions().All())
        if (!action->Enabled())
            disabled.push_back(action->objectName().toStdString());
    EXPECT_EQ(disabled, (Texts{"FileSave", "FileSaveAs", "FileImport", "FileExport", "FilePrintPreview", "FilePrint",
                               "EditCopy", "EditMain", "cmdEditDlg", "EditParam", "EditExtra", "ViewResult",
                               "ViewMessages", "ViewTools"}));

    Idle();
    EXPECT_TRUE(ActionNamed("ViewTools").Enabled());
    EXPECT_FALSE(ActionNamed("FileSave").Enabled());

    form->CalculationLoaded = true;
    Idle();
    for (Action* action : form->Actions().All())
        EXPECT_EQ(action->Enabled(), action->objectName() != "FileImport") << action->objectName().toStdString();

    // Without a calculation they are disabled again: nothing of the one before stays in reach.
    form->CalculationLoaded = false;
    Idle();
    EXPECT_FALSE(ActionNamed("FileSave").Enabled());
    EXPECT_FALSE(ActionNamed("EditMain").Enabled());
}

TEST_F(MainActions, TheSaveButtonWorksWhileTheSaveActionDoesNothing)
{
    Settings().WriteInteger({}, "StartDialog", 0);
    Form();
    EXPECT_FALSE(form->Actions().FileSave->Execute());
    EXPECT_TRUE(form->Calls.empty());

    TBarCustomItem* saveButton = nullptr;
    TBarCustomItem& fileBar = *form->Bars().FileToolbar;
    for (int i = 0; i < fileBar.Count(); ++i)
        if (fileBar.Items(i)->Caption() == "&Speichern")
            saveButton = fileBar.Items(i);
    ASSERT_NE(saveButton, nullptr);
    EXPECT_EQ(saveButton->GetAction(), nullptr);
    saveButton->Click();
    EXPECT_EQ(form->Calls, Texts{"save"});
}

TEST_F(MainActions, ShortcutsReachTheMenuBarsCommands)
{
    Settings().WriteInteger({}, "StartDialog", 0);
    Form().show();
    const auto press = [&](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(form.get(), &event);
        // Qt keeps a key press's modifiers as the keyboard's state until the window system reports
        // a key: Ctrl is let go there, or later toolbar drags in this process float instead of dock.
        QTest::keyRelease(form->windowHandle(), Qt::Key_Control);
    };
    press(Qt::Key_N);
    EXPECT_EQ(form->Calls, Texts{"new"});
    // Saving waits for a calculation.
    press(Qt::Key_S);
    EXPECT_EQ(form->Calls, Texts{"new"});
    EXPECT_TRUE(form->Bars().MenuBar->isVisible());
}

TEST_F(MainActions, TheMenusAndToolbarsAreBuiltFromTheActions)
{
    Form();
    const TMainBars& bars = form->Bars();
    Texts menus;
    for (int i = 0; i < bars.MainMenu->Count(); ++i)
        menus.push_back(bars.MainMenu->Items(i)->Caption());
    EXPECT_EQ(menus, (Texts{"&Datei", "B&earbeiten", "&Ansicht", "E&instellungen", "&Hilfe"}));
    Texts toolbars;
    for (const TBarCustomItem* bar : bars.Toolbars())
        toolbars.push_back(bar->Caption());
    EXPECT_EQ(toolbars, (Texts{"Datei", "Modus", "Vorlagen", "Hilfe"}));

    const auto* moduleItem = dynamic_cast<TBarControlItem*>(bars.ModuleToolbar->Items(0));
    ASSERT_NE(moduleItem, nullptr);
    EXPECT_EQ(moduleItem->Control(), form->cbxModules);
    Texts controlHints;
    for (int i = 0; i < bars.ReportToolbar->Count(); ++i)
        if (dynamic_cast<TBarControlItem*>(bars.ReportToolbar->Items(i)))
            controlHints.push_back(bars.ReportToolbar->Items(i)->Hint());
    EXPECT_EQ(controlHints, (Texts{"Bildschirmvorlage aus Liste der vorhandenen Vorlagen wählen",
                                   "Druckvorlage aus Liste der vorhandenen Vorlagen wählen"}));

    // The recent files are in "&Datei"; no item is bound to ViewTools.
    bool recentInFile = false;
    int viewToolsItems = 0;
    std::function<void(const TBarCustomItem&)> walk = [&](const TBarCustomItem& item) {
        for (int i = 0; i < item.Count(); ++i) {
            const TBarCustomItem& child = *item.Items(i);
            if (const auto* recent = dynamic_cast<const TBarMRUListItem*>(&child))
                recentInFile = recentInFile || (recent->MRUList() == form->MRUList && &item == bars.MainMenu->Items(0));
            if (child.GetAction() == form->Actions().ViewTools)
                ++viewToolsItems;
            walk(child);
        }
    };
    walk(*bars.MainMenu);
    for (const TBarCustomItem* bar : bars.Toolbars())
        walk(*bar);
    EXPECT_TRUE(recentInFile);
    EXPECT_EQ(viewToolsItems, 0);
}

namespace {

// A point of a bar's view (a toolbar's or a popup's) on the screen.
QPoint ScreenPointOfView(const TBarView& view, QPoint inView)
{
    const QPoint origin = view.Window()->mapToGlobal(QPoint(0, 0));
    return origin + inView - ViewPointFromGlobal(view, origin);
}

// A left click where the window system sends it: to the widget holding the mouse, else the given
// one; the click a toolbar posts runs too.
void ClickOnScreen(QWidget& under, QPoint global)
{
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QWidget* receiver = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : &under;
        const QPointF local = receiver->mapFromGlobal(QPointF(global));
        QMouseEvent event(type, local, local, QPointF(global), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &event);
    }
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

}  // namespace

// The Open button is a split button: its button part asks for a file as before, its arrow drops
// down the recent files, the very list of the "Datei" menu, and choosing one opens that file,
// which becomes the newest.
TEST_F(MainActions, TheOpenButtonDropsDownTheRecentFiles)
{
    Settings().WriteInteger({}, "StartDialog", 0);
    Settings().WriteString("Recent Files", "MRU1", "/home/ing/Nord.vda");
    Settings().WriteString("Recent Files", "MRU2", "/home/ing/Süd.vda");
    Form().show();
    QApplication::setActiveWindow(form.get());
    QCoreApplication::processEvents();
    TBarToolbar& fileBar = *form->Bars().ToolbarWindows[0];
    auto* open = dynamic_cast<TBarSubmenuItem*>(fileBar.Items().Items(1));
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->DropdownCombo());
    EXPECT_TRUE(open->EffectiveOptions() & tboDropdownArrow);
    EXPECT_EQ(open->Hint(), "Öffnen|Eine vorhandene Berechnung öffnen");
    ASSERT_EQ(open->Count(), 1);
    const auto* recent = dynamic_cast<TBarMRUListItem*>(open->Items(0));
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->MRUList(), form->MRUList);

    fileBar.View().ValidatePositions();
    const TRect r = fileBar.View().FindViewer(open)->BoundsRect;
    const int middle = (r.Top + r.Bottom) / 2;
    ClickOnScreen(fileBar, ScreenPointOfView(fileBar.View(), QPoint(r.Left + 4, middle)));
    EXPECT_EQ(form->Calls, Texts{"open"});

    ClickOnScreen(fileBar, ScreenPointOfView(fileBar.View(), QPoint(r.Right - 6, middle)));
    TBarView* dropDown = fileBar.View().OpenViewerView();
    ASSERT_NE(dropDown, nullptr);
    Texts shown;
    std::vector<TRect> lines;
    for (int i = 0; i < dropDown->ViewerCount(); ++i)
        if (const TBarItemViewer* line = dropDown->Viewers(i); line->Show) {
            shown.push_back(line->Item().Caption());
            lines.push_back(line->BoundsRect);
        }
    ASSERT_EQ(shown, (Texts{"&1 Nord", "&2 Süd"}));
    EXPECT_EQ(form->Calls, Texts{"open"});  // dropping down runs nothing

    const TRect second = lines[1];
    ClickOnScreen(*dropDown->Window(), ScreenPointOfView(*dropDown, QPoint((second.Left + second.Right) / 2,
                                                                            (second.Top + second.Bottom) / 2)));
    EXPECT_EQ(form->Calls, (Texts{"open", "open /home/ing/Süd.vda"}));
    EXPECT_EQ(form->MRUList->Items().Texts(), (Texts{"/home/ing/Süd.vda", "/home/ing/Nord.vda"}));
    EXPECT_EQ(fileBar.View().OpenViewerView(), nullptr);
}

// The tool bars follow one another without gaps however wide the window is, and a bar without
// room in its row goes whole to the next row: at 480 pixels both template boxes are still there.
TEST_F(MainActions, TheToolbarsStayTogetherAndWrapWholeInANarrowWindow)
{
    Form();
    form->show();
    const std::vector<TBarToolbar*>& bars = form->Bars().ToolbarWindows;
    for (const int width : {1280, 800, 480}) {
        form->resize(width, 400);
        QCoreApplication::processEvents();
        for (std::size_t i = 1; i < bars.size(); ++i) {
            const TBarToolbar& before = *bars[i - 1];
            const TBarToolbar& bar = *bars[i];
            if (bar.EffectiveDockRow == before.EffectiveDockRow)
                EXPECT_EQ(bar.geometry().left(), before.geometry().right() + 1) << width << " " << i;
            else
                EXPECT_EQ(bar.geometry().left(), 0) << width << " " << i;
            EXPECT_LE(bar.geometry().right(), width - 1) << width << " " << i;
        }
        for (QWidget* box : {static_cast<QWidget*>(form->cbxScreenTpl), static_cast<QWidget*>(form->cbxPrintTpl)})
            EXPECT_TRUE(box->isVisible()) << width;
    }
    EXPECT_GT(bars[2]->EffectiveDockRow, bars[0]->EffectiveDockRow);
}

// The menu bar has a dock of its own above the toolbars' dock; a toolbar dragged by its grip to the
// window's left edge docks there upright, and dragged back to the top it lies across again. The
// menu bar stays where it is.
TEST_F(MainActions, AToolbarDockedAtTheLeftEdgeStandsUprightAndGoesBackToTheTop)
{
    Form();
    form->resize(900, 500);
    form->show();
    QCoreApplication::processEvents();
    TBarToolbar& menuBar = *form->Bars().MenuBar;
    TBarToolbar& fileBar = *form->Bars().ToolbarWindows[0];
    ASSERT_EQ(menuBar.CurrentDock(), form->MenuDock);
    ASSERT_EQ(fileBar.CurrentDock(), form->ToolDock);
    EXPECT_LT(form->MenuDock->geometry().bottom(), form->ToolDock->geometry().top());
    EXPECT_EQ(form->LeftDock->width(), 0);
    EXPECT_GT(fileBar.width(), fileBar.height());

    // Mouse input as the window system sends it during a drag: to the form, which holds the mouse.
    const auto drag = [this](TBarToolbar& bar, QPoint to) {
        bar.BeginMoving(bar.mapToGlobal(QPoint(3, 3)));
        for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, form->mapFromGlobal(to), to, Qt::LeftButton,
                              type == QEvent::MouseMove ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(form.get(), &event);
        }
        QCoreApplication::processEvents();
    };
    const QPoint leftEdge = form->LeftDock->mapToGlobal(QPoint(1, form->LeftDock->height() / 2));
    drag(fileBar, leftEdge);
    ASSERT_EQ(fileBar.CurrentDock(), form->LeftDock);
    EXPECT_GT(fileBar.height(), fileBar.width());
    EXPECT_EQ(form->LeftDock->width(), fileBar.width());
    EXPECT_EQ(menuBar.CurrentDock(), form->MenuDock);

    const QPoint top = form->ToolDock->mapToGlobal(QPoint(400, form->ToolDock->height() / 2));
    drag(fileBar, top);
    ASSERT_EQ(fileBar.CurrentDock(), form->ToolDock);
    EXPECT_GT(fileBar.width(), fileBar.height());
    EXPECT_EQ(form->LeftDock->width(), 0);
    EXPECT_EQ(menuBar.CurrentDock(), form->MenuDock);
    EXPECT_EQ(form->MenuDock->DockVisibleList().size(), 1u);
}

// A toolbar the user floated has no close button of its own: the toolbars go and come together
// through Einstellungen, Symbolleiste, and its tool window with it, at once. The menu bar lies flat.
TEST_F(MainActions, AFloatedToolbarGoesAndComesWithTheToolbarSwitch)
{
    Form();
    form->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Bars().MenuBar->BorderStyle(), TBarBorderStyle::bsNone);
    TBarToolbar& fileBar = *form->Bars().ToolbarWindows[0];
    fileBar.SetHideWhenInactive(false);
    fileBar.SetFloating(true);
    QWidget* floating = fileBar.FloatParent();
    ASSERT_NE(floating, nullptr);
    ASSERT_TRUE(floating->isVisible());
    for (const TBarToolbar* bar : form->Bars().ToolbarWindows)
        EXPECT_FALSE(bar->CloseButton());
    EXPECT_TRUE(fileBar.FloatParent()->CloseButtonRect().isEmpty());

    ASSERT_TRUE(form->Actions().SetSpeedBar->Checked());
    form->Actions().SetSpeedBar->Execute();
    EXPECT_FALSE(floating->isVisible());
    form->Actions().SetSpeedBar->Execute();
    EXPECT_TRUE(floating->isVisible());
}

TEST_F(MainActions, TheInputDialogWithoutACalculationStartsOneFirst)
{
    Settings().WriteInteger({}, "StartDialog", 0);
    Form();
    shell.FileId = "alt.vda";
    form->Actions().EditMain->SetEnabled(true);
    form->EditAnswer = false;
    form->EditMainExecute();
    EXPECT_EQ(form->Calls, Texts{"edit 1 1"});
    EXPECT_TRUE(shell.FileId.empty());
    EXPECT_FALSE(form->CalculationLoaded);

    form->EditAnswer = true;
    form->EditMainExecute();
    EXPECT_TRUE(form->CalculationLoaded);
    form->EditMainExecute();
    EXPECT_EQ(form->Calls, (Texts{"edit 1 1", "edit 1 1", "edit 1 1"}));
}

// --- the start page and the start dialog ---------------------------------------------------------

using StartDialog = MainWindowTest;

TEST_F(StartDialog, AppearsOnceAndNotAgainWhileOpen)
{
    Settings().WriteString("Recent Files", "MRU1", "/daten/a.vda");
    Form();
    modals.Expect([this](QWidget& window) {
        auto& dialog = dynamic_cast<TDlgIntro&>(window);
        EXPECT_EQ(dialog.RecentFiles(), Texts{"/daten/a.vda"});
        // An idle update inside the dialog's loop must not open another.
        Idle();
        Idle();
    });
    Idle();
    Idle();
    EXPECT_EQ(modals.Shown().size(), 1u);
    EXPECT_FALSE(form->StartPending);
    EXPECT_TRUE(form->Calls.empty());
}

TEST_F(StartDialog, TheChoiceRunsItsCommand)
{
    const auto choose = [this](int choice, const std::string& fileName) {
        modals.Expect(
            [choice, fileName](QWidget& window) {
                auto& dialog = dynamic_cast<TDlgIntro&>(window);
                dialog.Choice = choice;
                dialog.FileName = fileName;
            },
            QDialog::Accepted);
        Form();
        Idle();
        return form->Calls;
    };
    EXPECT_EQ(choose(0, ""), Texts{"new"});
    EXPECT_EQ(choose(1, ""), Texts{"open"});
    EXPECT_EQ(choose(2, "/daten/a.vda"), Texts{"open /daten/a.vda"});
    EXPECT_EQ(choose(2, ""), Texts{});
}

TEST_F(StartDialog, TheStartPageFromTheCurrentFolderComesInstead)
{
    std::ofstream(current / "intro.htm") << "<html><body><h1>Willkommen</h1></body></html>";
    Form();
    Idle();
    EXPECT_TRUE(form->IntroShown());
    EXPECT_FALSE(form->pcResult->isHidden());
    EXPECT_TRUE(modals.Shown().empty());
}

TEST_F(StartDialog, TickedLaterItComesAtTheNextIdleUpdate)
{
    Settings().WriteInteger({}, "StartDialog", 0);
    Form();
    Idle();
    EXPECT_TRUE(modals.Shown().empty());
    EXPECT_TRUE(form->pcResult->isHidden());

    form->Actions().SetStartDlg->Execute();
    modals.Expect([](QWidget&) {});
    Idle();
    EXPECT_EQ(modals.Shown().size(), 1u);
}

TEST_F(StartDialog, AFileOnTheCommandLineIsOpenedInsteadOfEitherStart)
{
    Form("/daten/b.vda");
    EXPECT_FALSE(form->StartPending);
    Idle();
    EXPECT_TRUE(modals.Shown().empty());
}

// --- the folder dialog ---------------------------------------------------------------------------

using FolderDialog = MainWindowTest;

TEST_F(FolderDialog, OKStoresTheFoldersWithAndWithoutTheirSlash)
{
    Form();
    form->SetPathDialog(new TDlgPath(shell.Folders, form.get()));
    const std::string wanted = root.Folder() + "x";
    modals.Expect(
        [&](QWidget& window) {
            auto& dialog = dynamic_cast<TDlgPath&>(window);
            EXPECT_EQ(dialog.edDataPath->Text(), shell.Folders.DataPathNoSlash);
            EXPECT_EQ(dialog.edTemplPath->Text(), shell.Folders.TemplatePathNoSlash);
            EXPECT_EQ(dialog.windowTitle().toStdString(), "Verzeichnisse");
            dialog.edDataPath->SetText(wanted);
            dialog.edTemplPath->SetText("");
        },
        QDialog::Accepted);
    const std::string templates = shell.Folders.TemplatePath;
    form->Actions().SetPaths->Execute();
    EXPECT_EQ(shell.Folders.DataPath, wanted + "/");
    EXPECT_EQ(shell.Folders.DataPathNoSlash, wanted);
    // An emptied field keeps its folder.
    EXPECT_EQ(shell.Folders.TemplatePath, templates);
}

// Enter typed into the dialog's window, with the focus in a folder field, presses OK.
TEST_F(FolderDialog, EnterInTheWindowPressesOK)
{
    TDlgPath dialog(shell.Folders);
    const std::string wanted = root.Folder() + "z";
    modals.Expect([&](QWidget& window) {
        auto& paths = dynamic_cast<TDlgPath&>(window);
        paths.edDataPath->SetText(wanted);
        QApplication::setActiveWindow(&window);
        paths.edDataPath->setFocus();
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        EXPECT_EQ(paths.result(), QDialog::Accepted);
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(shell.Folders.DataPathNoSlash, wanted);
}

TEST_F(FolderDialog, AFolderPickedWithTheButtonStaysWhenTheDialogIsCancelled)
{
    TDlgPath dialog(shell.Folders);
    const std::string picked = root.Folder() + "y";
    prompts.AnswerFolder(picked);
    modals.Expect([&](QWidget&) {
        dialog.edTemplPath->ClickBtn(dialog.edTemplPath->EditButton());
        EXPECT_EQ(dialog.edTemplPath->Text(), picked);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(shell.Folders.TemplatePath, picked + "/");
    EXPECT_EQ(shell.Folders.TemplatePathNoSlash, picked);
    ASSERT_EQ(prompts.FolderRequests().size(), 1u);
    EXPECT_EQ(prompts.FolderRequests()[0].Title, "Verzeichnis für Bildschirm- und Druckvorlagen");
}

// A folder picker closed with "Abbrechen" leaves the field and the folder as they were.
TEST_F(FolderDialog, ACancelledFolderPickerLeavesTheFolderAsItWas)
{
    TDlgPath dialog(shell.Folders);
    const std::string before = shell.Folders.DataPathNoSlash;
    prompts.AnswerFolder(std::nullopt);
    modals.Expect([&](QWidget&) {
        dialog.edDataPath->ClickBtn(dialog.edDataPath->EditButton());
        EXPECT_EQ(dialog.edDataPath->Text(), before);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(shell.Folders.DataPathNoSlash, before);
    EXPECT_EQ(prompts.FolderRequests().size(), 1u);
}

// --- the info box --------------------------------------------------------------------------------

using AboutBox = MainWindowTest;

TEST_F(AboutBox, ListsEveryModuleWithItsVersion)
{
    const fs::path library = program / "ModulA.so";
    fs::copy_file(VELMORAN_TEST_MODULE, library);
    Settings().WriteInteger({}, "StartDialog", 0);
    Form();
    ASSERT_TRUE(shell.Modules.RegisterModule(library.string()));

    std::string shown;
    modals.Expect([&](QWidget& window) {
        auto& box = dynamic_cast<TAboutBox&>(window);
        shown = box.lbModules->HTMLText();
        // As the user sees it: the icon, the product name large and bold, the modules below.
        QApplication::processEvents();
        velmoran::testing::ExpectLooksLikeRecorded(window.grab().toImage(), "pictures/about-box.png", "shell",
                                                   "about-box");
    });
    form->Actions().HelpAbout1->Execute();
    EXPECT_EQ(shown, "Bemessung nach HSG, Version 1.0<br>Testmodul, Version 2.5<br>");
}

// A cut between two plain characters keeps all 255; a cut right after a whole character of two
// bytes keeps that character (it was dropped once, as if cut in two).
TEST_F(AboutBox, ACutBetweenWholeCharactersKeepsAll255)
{
    std::vector<std::unique_ptr<TModuleDescriptor>> modules;
    for (int i = 0; i < 12; ++i) {
        modules.push_back(std::make_unique<TModuleDescriptor>());
        modules.back()->Caption = "Bemessung fuer Strasse " + std::to_string(i);
        modules.back()->Version = "Version 1.0";
    }
    const std::string plain = ModuleListText(modules);
    EXPECT_EQ(plain.size(), 255u);
    // 253 plain bytes, then "ä" in bytes 254 and 255.
    modules.clear();
    modules.push_back(std::make_unique<TModuleDescriptor>());
    modules.back()->Caption = std::string(253, 'x') + "\xC3\xA4" + "yyyy";
    modules.back()->Version = "1";
    const std::string umlaut = ModuleListText(modules);
    EXPECT_EQ(umlaut, std::string(253, 'x') + "\xC3\xA4");
    // A character of three bytes cut after its second goes whole.
    modules.back()->Caption = std::string(253, 'x') + "\xE2\x80\x9E" + "yyyy";
    EXPECT_EQ(ModuleListText(modules), std::string(253, 'x'));
    // A character of four bytes (an emoji) cut after its third goes whole too: three of its bytes
    // would still be a broken character.
    modules.back()->Caption = std::string(252, 'x') + "\xF0\x9F\x98\x80" + "yyyy";
    EXPECT_EQ(ModuleListText(modules), std::string(252, 'x'));
}

TEST_F(AboutBox, TheListIsCutTo255CharactersWithoutSplittingACharacter)
{
    std::vector<std::unique_ptr<TModuleDescriptor>> modules;
    for (int i = 0; i < 12; ++i) {
        modules.push_back(std::make_unique<TModuleDescriptor>());
        modules.back()->Caption = "Bemessung für Straße " + std::to_string(i);
        modules.back()->Version = "Version 1.0";
    }
    const std::string text = ModuleListText(modules);
    EXPECT_LE(text.size(), 255u);
    EXPECT_GE(text.size(), 253u);
    EXPECT_TRUE(QString::fromUtf8(text.c_str()).toUtf8().toStdString() == text);
    EXPECT_EQ(text.rfind("Bemessung für Straße 0, Version 1.0<br>", 0), 0u);
}

}  // namespace
