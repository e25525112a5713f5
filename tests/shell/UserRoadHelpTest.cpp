// The user's road through help and keys on the real main window, design module and shipped help
// file: F1 on a field, Shift+F1 and a click on a toolbar button, the right-click "Was ist das?"
// menu, a topic for every element that carries a context, and accelerator letters that are
// unique on every level of the menus and dialogs.
#include "tests/shell/CalculationFixture.h"
#include "tests/support/DialogScript.h"

#include "controls/HtmlRadioButton.h"
#include "controls/SpeedButton.h"
#include "framework/ui/DlgIntro.h"
#include "framework/ui/EditFloat.h"
#include "framework/ui/PageControl.h"
#include "framework/ui/VarFrame.h"
#include "help/HelpIndex.h"
#include "help/HelpRouter.h"
#include "help/HelpTopics.h"
#include "help/HelpViewerEngine.h"
#include "help/HelpWindow.h"
#include "help/WhatsThis.h"
#include "hsg/ui/HsgDlg.h"
#include "hsg/ui/HsgHelpTopics.h"
#include "hsg/ui/HsgPar.h"
#include "html/viewer/PageViewer.h"
#include "platform/HelpEngine.h"
#include "platform/QtCanvas.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"
#include "shell/AboutBox.h"
#include "shell/DlgPath.h"
#include "shell/MainHelpTopics.h"
#include "toolbar/TBarItem.h"
#include "toolbar/TBarModalHandler.h"
#include "toolbar/TBarPopupWindow.h"
#include "toolbar/TBarToolbar.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>

#include <filesystem>
#include <map>
#include <set>

using namespace velmoran;

namespace {

namespace fs = std::filesystem;

using Asks = std::vector<std::pair<int, std::int64_t>>;

THelpViewerEngine& Engine()
{
    InstallHelpViewerEngine();
    return dynamic_cast<THelpViewerEngine&>(*CurrentHelpEngine());
}

// The topic file the help window shows, without its folder ("" when it shows nothing).
std::string ShownTopic()
{
    THelpWindow* window = Engine().Window();
    if (!window || !window->isVisible())
        return {};
    return fs::path(window->Viewer()->GetCurrentFile()).filename().string();
}

class UserRoad : public velmoran::testing::CalculationFixture {
protected:
    UserRoad()
    {
        fs::copy(fs::path(VELMORAN_DATA_DIR) / "help", shell.Folders.HelpPath, fs::copy_options::recursive);
        Engine();
        if (THelpWindow* window = Engine().Window())
            window->hide();
    }
    ~UserRoad() override
    {
        if (QApplication::activePopupWidget())
            QApplication::activePopupWidget()->close();
        if (THelpWindow* window = Engine().Window())
            window->hide();
    }

    // The window on the example, shown and active, with the router's requests recorded.
    TMainForm& Window()
    {
        TMainForm& window = Form(Example());
        window.show();
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
        window.HelpRouter->OnHelp = [this](int command, std::int64_t data, bool&) {
            asked.emplace_back(command, data);
            return false;
        };
        return window;
    }
    THSGDlg& Dialog() { return dynamic_cast<THSGDlg&>(Module()); }

    // A toolbar button's centre in its bar's widget coordinates.
    static QPoint ButtonCentre(TBarToolbar& bar, int index)
    {
        TBarItemViewer* viewer = bar.View().FindViewer(bar.Items().Items(index));
        const QPoint origin = ViewPointFromGlobal(bar.View(), bar.mapToGlobal(QPoint(0, 0)));
        const TRect& r = viewer->BoundsRect;
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2) - origin;
    }

    // A left click on a toolbar button as the window system delivers it: the press to the bar, the
    // release to whatever holds the mouse then.
    static void ClickButton(TBarToolbar& bar, QPoint at)
    {
        QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, at);
        QWidget* holder = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : &bar;
        const QPoint global = bar.mapToGlobal(at);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(holder->mapFromGlobal(global)), QPointF(global),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(holder, &release);
        for (int i = 0; i < 4; ++i)  // the click is posted after the toolbar's mode has ended
            QApplication::processEvents();
    }

    Asks asked;
};

// --- "What's this?" -----------------------------------------------------------------------------

// F1 in the flow's edit of the input dialog asks the router for the field's context, and the help
// window opens on its page; the dialog keeps its inputs.
TEST_F(UserRoad, F1OnTheFlowShowsItsTopic)
{
    Window();
    const int flow = HelpContextOf(HsgHelpTopics(), "edQD");
    ASSERT_NE(flow, 0);
    std::string shown;
    modals.Expect([&](QWidget& dialog) {
        QApplication::setActiveWindow(&dialog);
        QWidget* edit = velmoran::testing::Control(dialog, "edQD");
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_F1);
        QApplication::processEvents();
        shown = ShownTopic();
    });
    form->RunEditDialog(1, 2);
    EXPECT_EQ(asked, (Asks{{HELP_CONTEXT, flow}}));
    EXPECT_EQ(shown, "edQD.htm");
    EXPECT_NE(Engine().Window()->Viewer()->DocumentSource().find("Trockenwetterzufluss"), std::string::npos);

    // Esc in the help window closes it.
    QTest::keyClick(Engine().Window()->Viewer(), Qt::Key_Escape);
    EXPECT_FALSE(Engine().Window()->isVisible());
}

// Shift+F1 and a click on "Speichern": the button's topic, and the calculation is not saved (a
// click in context mode never runs a command). Afterwards the button saves again.
TEST_F(UserRoad, ShiftF1AndAClickOnSaveShowsTheTopicAndSavesNothing)
{
    TMainForm& window = Window();
    int saves = 0;
    Dialog().OnCommand = [&](const std::string& command) { saves += SameText(command, "SaveData"); };
    TBarToolbar& fileBar = *window.Bars().ToolbarWindows[0];
    const QPoint save = ButtonCentre(fileBar, 2);
    ASSERT_EQ(fileBar.Items().Items(2)->Caption(), "&Speichern");

    QTest::keyClick(&window, Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(window.WhatsThis->InContextMode());
    ClickButton(fileBar, save);
    EXPECT_FALSE(window.WhatsThis->InContextMode());
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(asked, (Asks{{HELP_CONTEXT, HelpContextOf(MainFormHelpTopics(), "FileSave")}}));
    EXPECT_EQ(ShownTopic(), "FileSave.htm");

    QApplication::setActiveWindow(&window);  // the user comes back from the help window
    ClickButton(fileBar, save);
    EXPECT_EQ(saves, 1);
    Dialog().OnCommand = nullptr;
}

// A right click on a toolbar button opens "Was ist das?"; its item shows the button's topic and
// the button's command does not run.
TEST_F(UserRoad, RightClickWhatIsThisOverAToolbarButton)
{
    TMainForm& window = Window();
    TBarToolbar& fileBar = *window.Bars().ToolbarWindows[0];
    QTest::mouseClick(&fileBar, Qt::RightButton, Qt::NoModifier, ButtonCentre(fileBar, 1));
    QApplication::processEvents();
    QMenu* menu = window.WhatsThis->PopupMenu();
    ASSERT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().at(0)->text(), QString("Was ist das?"));
    menu->actions().at(0)->trigger();
    menu->close();
    QApplication::processEvents();
    EXPECT_EQ(asked, (Asks{{HELP_CONTEXT, HelpContextOf(MainFormHelpTopics(), "FileOpen")}}));
    EXPECT_EQ(ShownTopic(), "FileOpen.htm");
    EXPECT_TRUE(modals.Shown().empty());  // no file dialog

    // An element without a topic of its own shows the window's.
    asked.clear();
    QTest::mouseClick(window.StatusBar, Qt::RightButton, Qt::NoModifier, window.StatusBar->rect().center());
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    menu->actions().at(0)->trigger();
    menu->close();
    EXPECT_EQ(asked, (Asks{{HELP_CONTEXT, HelpContextOf(MainFormHelpTopics(), "MainForm")}}));

    // In a window without any, the menu still opens and its item says there is no help.
    QWidget bare;
    bare.setGeometry(50, 50, 200, 100);
    auto* field = new QLineEdit(&bare);
    field->setGeometry(10, 10, 150, 24);
    bare.show();
    QTest::mouseClick(field, Qt::RightButton, Qt::NoModifier, field->rect().center());
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    menu->actions().at(0)->trigger();
    menu->close();
    EXPECT_EQ(Engine().LastPopupText(), kNoHelpText);
}

// Every input of the six pages and of the parameter dialog, every menu, command, toolbar button
// and combo box of the main window finds a context through the component's own search; each
// context is in the help file's map, its page is the one the table makes, and the list of all
// topics (linked from the contents) links it.
TEST_F(UserRoad, EveryFieldAndCommandHasATopic)
{
    TMainForm& window = Window();
    const std::string helpFile = shell.Folders.HelpPath + "VelmoranHSG.hlp";
    const auto index = LoadHelpIndex(helpFile);
    ASSERT_TRUE(index);
    const std::string folder = TopicFolderOf(helpFile);
    const std::string list = ReadFileBytes(folder + "/" + kHelpTopicListFile);
    EXPECT_NE(ReadFileBytes(folder + "/" + index->Contents).find(kHelpTopicListFile), std::string::npos);

    std::map<int, const THelpTopic*> pages;
    for (auto table : {MainFormHelpTopics(), HsgHelpTopics()})
        for (const THelpTopic& topic : table)
            if (topic.Title)
                pages.emplace(topic.Context, &topic);
    const auto hasTopic = [&](int context, const std::string& what) {
        SCOPED_TRACE(what);
        ASSERT_NE(context, 0);
        ASSERT_TRUE(pages.count(context));
        const THelpTopic& topic = *pages[context];
        ASSERT_TRUE(index->Map.count(context));
        EXPECT_EQ(index->Map.at(context), HelpTopicFileName(topic));
        EXPECT_EQ(ReadFileBytes(TopicPath(folder, index->Map.at(context))), HelpTopicPage(topic));
        EXPECT_NE(list.find("href=\"" + HelpTopicFileName(topic) + "\""), std::string::npos);
    };

    const auto inputs = [&](QWidget& form) {
        int count = 0;
        for (QWidget* control : form.findChildren<QWidget*>()) {
            const bool input = dynamic_cast<TEditFloat*>(control) || dynamic_cast<QLineEdit*>(control) ||
                               dynamic_cast<QComboBox*>(control) ||
                               dynamic_cast<THtmlRadioButton*>(control) || dynamic_cast<QAbstractButton*>(control) ||
                               control->objectName() == "KSGrid";
            // Inner parts (a combo's or a date field's edit) and navigation buttons aside.
            if (!input || dynamic_cast<QComboBox*>(control->parentWidget()) ||
                dynamic_cast<QLineEdit*>(control->parentWidget()) || control->objectName().isEmpty() ||
                control->objectName().startsWith("Btn"))
                continue;
            hasTopic(window.WhatsThis->ControlContext(control), control->objectName().toStdString());
            ++count;
        }
        return count;
    };
    EXPECT_GE(inputs(Dialog()), 45);
    THSGPar parameters(&Dialog());
    EXPECT_EQ(inputs(parameters), 18);

    int items = 0;
    std::function<void(TBarCustomItem&)> walk = [&](TBarCustomItem& parent) {
        for (int i = 0; i < parent.Count(); ++i) {
            TBarCustomItem& item = *parent.Items(i);
            if (dynamic_cast<TBarSeparatorItem*>(&item) || dynamic_cast<TBarControlItem*>(&item) ||
                !item.Visible())
                continue;
            hasTopic(item.HelpContext(), item.Caption());
            ++items;
            walk(item);
        }
    };
    walk(*window.Bars().MainMenu);
    for (TBarCustomItem* bar : window.Bars().Toolbars())
        walk(*bar);
    EXPECT_GE(items, 40);
    for (const char* combo : {"cbxModules", "cbxScreenTpl", "cbxPrintTpl", "pcResult"})
        hasTopic(window.WhatsThis->ControlContext(window.findChild<QWidget*>(combo)), combo);
}

// --- what the pictures showed ----------------------------------------------------------------

// The status line speaks in the menus' font; an opened calculation's page has the keyboard.
// (A pressed menu title repainted whole is seen only in a real X server: offscreen, Qt repaints
// the whole bar.)
TEST_F(UserRoad, WhatThePicturesShowed)
{
    TMainForm& window = Window();
    ASSERT_NE(TBarMenuFont(), nullptr);
    EXPECT_EQ(window.StatusBar->font(), QtFontEngine::MakeQFont(*TBarMenuFont()));

    EXPECT_EQ(QApplication::focusWidget(), window.ResultFrame());
}

// --- accelerators ---------------------------------------------------------------------------------

// The accelerator letter of a caption ("&&" is a plain "&"), lower case; 0 when it has none.
char32_t Accelerator(const std::string& caption)
{
    const QString text = QString::fromStdString(caption);
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower().unicode();
    }
    return 0;
}

// Collects the accelerators of one level; a letter met twice is a failure naming both captions.
class Level {
public:
    explicit Level(std::string name) : name_(std::move(name)) {}
    void Add(const std::string& caption)
    {
        const char32_t key = Accelerator(caption);
        if (!key)
            return;
        const auto [at, fresh] = seen_.emplace(key, caption);
        EXPECT_TRUE(fresh) << name_ << ": \"" << at->second << "\" und \"" << caption << "\"";
    }
    int Count() const { return static_cast<int>(seen_.size()); }

private:
    std::string name_;
    std::map<char32_t, std::string> seen_;
};

void WalkMenu(TBarCustomItem& menu, const std::string& name)
{
    Level level(name);
    for (int i = 0; i < menu.Count(); ++i) {
        TBarCustomItem& item = *menu.Items(i);
        if (!item.Visible())
            continue;
        level.Add(item.Caption());
        if (item.Count() > 0)
            WalkMenu(item, name + " > " + item.Caption());
    }
}

// The captions a window shows with accelerators: buttons, labels, group boxes, speed buttons and
// HTML radio buttons. The window's pages count as one level with the controls around them.
void WalkWindow(QWidget& window, Level& level)
{
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (auto* button = dynamic_cast<QAbstractButton*>(control))
            level.Add(button->text().toStdString());
        else if (auto* label = dynamic_cast<QLabel*>(control); label && label->buddy())
            level.Add(label->text().toStdString());
        else if (auto* group = dynamic_cast<QGroupBox*>(control))
            level.Add(group->title().toStdString());
        else if (auto* speed = dynamic_cast<TExSpeedButton*>(control))
            level.Add(speed->Caption());
        else if (auto* radio = dynamic_cast<THtmlRadioButton*>(control))
            level.Add(radio->Caption());
    }
}

TEST_F(UserRoad, MenuAndDialogAcceleratorsAreUniqueOnEveryLevel)
{
    TMainForm& window = Window();
    WalkMenu(*window.Bars().MainMenu, "Menüleiste");

    // The input dialog: each page with the navigation band (its actions carry the captions).
    THSGDlg& dialog = Dialog();
    for (int page = 0; page < dialog.PageControl1->PageCount(); ++page) {
        Level level("Eingabedialog Seite " + std::to_string(page + 1));
        WalkWindow(*dialog.PageControl1->Pages(page), level);
        WalkWindow(*dialog.pnlNavigate, level);
    }
    {
        THSGPar parameters(&dialog);
        Level level("Parameter");
        WalkWindow(parameters, level);
        EXPECT_GE(level.Count(), 4);
    }
    {
        TDlgIntro intro(&window);
        Level level("Startdialog");
        WalkWindow(intro, level);
    }
    {
        TDlgPath paths(shell.Folders, &window);
        Level level("Verzeichnisse");
        WalkWindow(paths, level);
    }
    {
        TAboutBox about(&window);
        Level level("Info");
        WalkWindow(about, level);
    }
}

}  // namespace
