// The main window's commands: one Action per command with its caption, hints, shortcut and picture
// from the shared toolbar strip, the sets of actions that a loaded calculation enables, and the
// menus and the four toolbars built from them.
#pragma once

#include "platform/Action.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QObject;
class QWidget;

namespace velmoran {

class TBarCustomItem;
class TBarDock;
class TBarMRUList;
class TBarToolbar;

struct TMainActions {
    // The actions, children of owner, with their texts, shortcuts and pictures.
    explicit TMainActions(QObject* owner);

    Action* FileNew;
    Action* FileOpen;
    Action* FileSave;
    Action* FileSaveAs;
    Action* FileImport;
    Action* FileExport;
    Action* FileSetScreenTemplate;
    Action* FileSetPrinterTemplate;
    Action* FilePrintPreview;
    Action* FilePrint;
    Action* FileExit;
    Action* EditCopy;
    Action* EditMain;
    Action* cmdEditDlg;
    Action* EditParam;
    Action* EditExtra;
    Action* ViewResult;
    Action* ViewMessages;
    Action* ViewSymbols;
    // Enabled by the idle update; no menu item or button is bound to it.
    Action* ViewTools;
    Action* SetSpeedBar;
    Action* SetStartDlg;
    Action* SetPaths;
    Action* HelpContents1;
    Action* HelpTopicSearch1;
    Action* HelpOnHelp1;
    Action* HelpAbout1;
    Action* Homepage;

    // Every action in table order.
    std::vector<Action*> All() const;
    // The actions disabled when the window is made.
    std::vector<Action*> DisabledAtCreation() const;
    // The actions a loaded calculation enables.
    std::vector<Action*> EnabledByCalculation() const;
};

// The controls the bars carry besides the actions' items, and what toolbar buttons run
// directly (so that they work while their action is disabled).
struct TMainBarParts {
    QWidget* Modules = nullptr;
    QWidget* ScreenTemplates = nullptr;
    QWidget* PrintTemplates = nullptr;
    // Shown in the "&Datei" menu and in the drop-down of the Open button.
    TBarMRUList* RecentFiles = nullptr;
    std::function<void()> New, Open, Save, Preview, Print, EditDialog, ScreenTemplate, PrintTemplate,
        HelpContents;
};

// The item trees of the menu bar and the four toolbars.
struct TMainBars {
    TMainBars();
    ~TMainBars();
    TMainBars(const TMainBars&) = delete;
    TMainBars& operator=(const TMainBars&) = delete;

    // The bars in the dock (owned by it): the menu bar and the four toolbars.
    TBarToolbar* MenuBar = nullptr;
    std::vector<TBarToolbar*> ToolbarWindows;
    // The bars' item trees (owned by their bars). The menus "&Datei", "B&earbeiten", "&Ansicht",
    // "E&instellungen", "&Hilfe".
    TBarCustomItem* MainMenu = nullptr;
    // "Datei", "Modus", "Vorlagen", "Hilfe".
    TBarCustomItem* FileToolbar = nullptr;
    TBarCustomItem* ModuleToolbar = nullptr;
    TBarCustomItem* ReportToolbar = nullptr;
    TBarCustomItem* HelpToolBar = nullptr;
    // The four toolbars' captions, in the order above.
    static std::vector<std::string> ToolbarCaptions();
    std::vector<TBarCustomItem*> Toolbars() const;
};

// Builds the menu bar in the menu dock and the four toolbars in the tool dock, their items made
// from the actions and the parts. The one place that makes bars.
std::unique_ptr<TMainBars> BuildMainBars(const TMainActions& actions, const TMainBarParts& parts, TBarDock& menuDock,
                                         TBarDock& toolDock);

}  // namespace velmoran
