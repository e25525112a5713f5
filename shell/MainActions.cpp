// The main window's action table and the item trees of its menus and toolbars.
#include "shell/MainActions.h"

#include "shell/MainHelpTopics.h"
#include "toolbar/TBarItem.h"
#include "toolbar/TBarMRUList.h"
#include "toolbar/TBarToolbar.h"
#include "toolbar/ToolbarImages.h"

#include <QWidget>

namespace velmoran {

namespace {

struct ActionRow {
    Action* TMainActions::*Member;
    const char* Name;
    const char* Caption;
    // "short|long"; a hint without "|" is both.
    const char* Hint;
    TShortCut ShortCut;
    int Image;
};

constexpr int kNoImage = -1;

constexpr int Image(ToolbarImage image)
{
    return ImageIndexOf(image);
}

const ActionRow kActions[] = {
    {&TMainActions::FileNew, "FileNew", "&Neu", "Neu|Neue Berechnung erstellen", scCtrl | 'N', Image(ToolbarImage::New)},
    {&TMainActions::FileOpen, "FileOpen", "&Öffnen...", "Öffnen|Eine vorhandene Berechnung öffnen", scCtrl | 'O',
     Image(ToolbarImage::Open)},
    {&TMainActions::FileSave, "FileSave", "&Speichern", "Speichern|Aktuelle Berechnung in Datei speichern",
     scCtrl | 'S', Image(ToolbarImage::Save)},
    {&TMainActions::FileSaveAs, "FileSaveAs", "Speichern &unter...",
     "Speichern unter|Aktuelle Berechnung unter einem anderen Namen speichern", scNone, kNoImage},
    {&TMainActions::FileImport, "FileImport", "&Importieren...", "Import|Daten importieren", scNone, kNoImage},
    {&TMainActions::FileExport, "FileExport", "E&xportieren...", "Exportieren|Ergebnisse exportieren", scNone,
     kNoImage},
    {&TMainActions::FileSetScreenTemplate, "FileSetScreenTemplate", "&Bildschirmausgabe...",
     "Bildschirmvorlage|Vorlage für die Bildschirmdarstellung der Ergebnisse wählen", scCtrl | 'B',
     Image(ToolbarImage::ScreenTemplate)},
    {&TMainActions::FileSetPrinterTemplate, "FileSetPrinterTemplate", "&Druckausgabe...",
     "Druckvorlage|Vorlage für den Ausdruck der Ergebnisse wählen", scNone, Image(ToolbarImage::PrintTemplate)},
    {&TMainActions::FilePrintPreview, "FilePrintPreview", "Druckvorschau...",
     "Druckvorschau|Ergebnisse der aktuellen Berechnung in Druckvorschau zeigen", scNone,
     Image(ToolbarImage::PrintPreview)},
    {&TMainActions::FilePrint, "FilePrint", "Drucken...", "Drucken|Ergebnisse der aktuellen Berechnung drucken",
     scNone, Image(ToolbarImage::Print)},
    {&TMainActions::FileExit, "FileExit", "&Beenden", "Beenden|Das Programm beenden", scNone, kNoImage},
    {&TMainActions::EditCopy, "EditCopy", "&Kopieren",
     "Kopieren|Das markierte Objekt in die Zwischenablage kopieren", scCtrl | 'C', Image(ToolbarImage::Copy)},
    {&TMainActions::EditMain, "EditMain", "Auslegungs&daten...", "Eingabedialog|Den Haupt-Eingabedialog aufrufen",
     scNone, Image(ToolbarImage::InputDialog)},
    {&TMainActions::cmdEditDlg, "cmdEditDlg", "", "Eingabedialog|Den Haupt-Eingabedialog aufrufen", scNone,
     Image(ToolbarImage::InputDialog)},
    {&TMainActions::EditParam, "EditParam", "&Parameter...",
     "Parameterdialog|Dialog zur Einstellung der Modellparameter aufrufen", scNone, Image(ToolbarImage::Parameters)},
    {&TMainActions::EditExtra, "EditExtra", "&Membrandaten...", "", scNone, kNoImage},
    {&TMainActions::ViewResult, "ViewResult", "&Ergebnisübersicht",
     "Ergebnisansicht|Ergebnisse der aktuellen Berechnung auf dem Bildschirm darstellen", scNone, kNoImage},
    {&TMainActions::ViewMessages, "ViewMessages", "Meldungen", "", scNone, kNoImage},
    {&TMainActions::ViewSymbols, "ViewSymbols", "Symbolleiste", "Symbolleiste|Symbolleiste ein- oder ausblenden",
     scNone, kNoImage},
    {&TMainActions::ViewTools, "ViewTools", "", "", scNone, kNoImage},
    {&TMainActions::SetSpeedBar, "SetSpeedBar", "Sym&bollleiste", "", scNone, kNoImage},
    {&TMainActions::SetStartDlg, "SetStartDlg", "&Startdialog", "", scNone, kNoImage},
    {&TMainActions::SetPaths, "SetPaths", "&Verzeichnisse...", "", scNone, kNoImage},
    {&TMainActions::HelpContents1, "HelpContents1", "Online-Handbuch", "Online-Handbuch|Online-Handbuch aufrufen",
     scNone, Image(ToolbarImage::HelpContents)},
    {&TMainActions::HelpTopicSearch1, "HelpTopicSearch1", "Hilfe&themen", "", scNone, kNoImage},
    {&TMainActions::HelpOnHelp1, "HelpOnHelp1", "&Hilfe benutzen",
     "Hilfe benutzen|Anleitung zur Bedienung der Hilfe-Funktion", scNone, kNoImage},
    {&TMainActions::HelpAbout1, "HelpAbout1", "I&nfo..", "|Informationen zum Programm und seiner Versionsnummer",
     scNone, kNoImage},
    {&TMainActions::Homepage, "Homepage", "H&omepage", "Homepage|Aufruf der Programm-Homepage im Internet", scNone,
     kNoImage},
};

}  // namespace

TMainActions::TMainActions(QObject* owner)
{
    for (const ActionRow& row : kActions) {
        auto* action = new Action(owner);
        action->setObjectName(QString::fromLatin1(row.Name));
        action->SetCaption(row.Caption);
        action->SetHint(row.Hint);
        action->SetShortCut(row.ShortCut);
        action->SetImages(&ToolbarImages());
        action->SetImageIndex(row.Image);
        action->SetHelpContext(HelpContextOf(MainFormHelpTopics(), row.Name));
        this->*row.Member = action;
    }
    // The program has no home page to open.
    Homepage->SetVisible(false);
    for (Action* action : DisabledAtCreation())
        action->SetEnabled(false);
}

std::vector<Action*> TMainActions::All() const
{
    std::vector<Action*> all;
    for (const ActionRow& row : kActions)
        all.push_back(this->*row.Member);
    return all;
}

std::vector<Action*> TMainActions::DisabledAtCreation() const
{
    std::vector<Action*> set = EnabledByCalculation();
    set.push_back(FileImport);
    set.push_back(ViewTools);
    return set;
}

std::vector<Action*> TMainActions::EnabledByCalculation() const
{
    return {FileSave, FileSaveAs, FilePrint, FileExport, FilePrintPreview, EditCopy,    EditMain,
            EditParam, EditExtra, ViewResult, ViewMessages, cmdEditDlg};
}

// --- the bars --------------------------------------------------------------------------------

namespace {

template <typename Item>
Item* AddItem(TBarCustomItem& parent)
{
    auto* item = new Item(nullptr);
    parent.Add(item);
    return item;
}

TBarCustomItem* AddAction(TBarCustomItem& parent, Action* action)
{
    auto* item = AddItem<TBarItem>(parent);
    item->SetAction(action);
    return item;
}

// A button that runs its command itself rather than its action's, so that it works while the
// action is disabled. It still takes its picture and hints from the action.
template <typename Item = TBarItem>
Item* AddButton(TBarCustomItem& parent, Action* action, const std::function<void()>& run)
{
    auto* item = AddItem<Item>(parent);
    item->SetImages(action->Images());
    item->SetImageIndex(action->ImageIndex());
    item->SetCaption(action->Caption());
    item->SetHint(action->Hint());
    item->SetHelpContext(action->HelpContext());
    item->OnClick = [run](TBarCustomItem&) {
        if (run)
            run();
    };
    return item;
}

// The recent files in a menu; their help topic is the list's.
void AddRecentFiles(TBarCustomItem& parent, TBarMRUList* recentFiles)
{
    auto* recent = AddItem<TBarMRUListItem>(parent);
    recent->SetMRUList(recentFiles);
    recent->SetHelpContext(HelpContextOf(MainFormHelpTopics(), "MRUList"));
}

// The Open button: its button part opens as a plain button does, its arrow drops down the recent
// files, the very list of the "Datei" menu, where choosing one opens it.
void AddOpenButton(TBarCustomItem& parent, Action* action, const std::function<void()>& run,
                   TBarMRUList* recentFiles)
{
    if (!recentFiles) {
        AddButton(parent, action, run);
        return;
    }
    auto* button = AddButton<TBarSubmenuItem>(parent, action, run);
    button->SetDropdownCombo(true);
    button->SetOptions(tboDropdownArrow);
    AddRecentFiles(*button, recentFiles);
}

void AddSeparator(TBarCustomItem& parent)
{
    AddItem<TBarSeparatorItem>(parent);
}

// A submenu; its name finds its help topic.
TBarCustomItem* AddSubmenu(TBarCustomItem& parent, const char* name, const std::string& caption,
                           const std::string& hint)
{
    auto* menu = AddItem<TBarSubmenuItem>(parent);
    menu->SetCaption(caption);
    menu->SetHint(hint);
    menu->SetHelpContext(HelpContextOf(MainFormHelpTopics(), name));
    return menu;
}

// A control in a toolbar: its item comes first, so the bar, which gives every child widget an
// item, finds it there when the control moves in.
void AddControl(TBarToolbar& bar, QWidget* control, const std::string& hint = {})
{
    if (!control)
        return;
    auto* item = AddItem<TBarControlItem>(bar.Items());
    item->SetControl(control);
    item->SetHint(hint);
    control->setParent(&bar);
    control->show();
}

// A bar in the dock, named by its caption, with the program's pictures. Floated by the user, it
// has no close button: the toolbars go and come together through Einstellungen, Symbolleiste.
TBarToolbar* NewBar(TBarDock& dock, const std::string& caption, int row, int position)
{
    auto* bar = new TBarToolbar(&dock);
    bar->SetCloseButton(false);
    bar->setObjectName(QString::fromStdString(caption));
    bar->setWindowTitle(QString::fromStdString(caption));
    bar->Items().SetCaption(caption);
    bar->SetImages(&ToolbarImages());
    bar->SetDockRow(row);
    bar->SetDockPos(position);
    return bar;
}

// A tool bar of the main window, in the tool dock's first row. All stand at the fixed position 0
// rather than at positions of their own, so they follow one another in the order they were made,
// without gaps however wide the window is. A bar that has no room left in its row goes whole to the
// next row (and wraps its own items only when it is alone in a row too short for it), so the
// template boxes never hide behind a chevron, whose menu cannot hold a box.
TBarToolbar* NewToolBar(TBarDock& dock, const std::string& caption)
{
    TBarToolbar* bar = NewBar(dock, caption, 0, 0);
    bar->SetShrinkMode(TBarShrinkMode::tbsmWrap);
    return bar;
}

}  // namespace

TMainBars::TMainBars() = default;
TMainBars::~TMainBars() = default;

std::vector<std::string> TMainBars::ToolbarCaptions()
{
    return {"Datei", "Modus", "Vorlagen", "Hilfe"};
}

std::vector<TBarCustomItem*> TMainBars::Toolbars() const
{
    return {FileToolbar, ModuleToolbar, ReportToolbar, HelpToolBar};
}

std::unique_ptr<TMainBars> BuildMainBars(const TMainActions& a, const TMainBarParts& parts, TBarDock& menuDock,
                                         TBarDock& toolDock)
{
    auto bars = std::make_unique<TMainBars>();

    bars->MenuBar = NewBar(menuDock, "Menü", 0, 0);
    bars->MenuBar->SetMenuBar(true);
    // The menu bar lies flat under the caption, without the raised edge of a toolbar.
    bars->MenuBar->SetBorderStyle(TBarBorderStyle::bsNone);
    bars->MenuBar->SetProcessShortCuts(true);
    bars->MainMenu = &bars->MenuBar->Items();
    TBarCustomItem& menu = *bars->MainMenu;
    TBarCustomItem& file = *AddSubmenu(menu, "mnuDatei", "&Datei", "Dateibefehle");
    AddAction(file, a.FileNew);
    AddAction(file, a.FileOpen);
    AddAction(file, a.FileSave);
    AddAction(file, a.FileSaveAs);
    AddSeparator(file);
    AddAction(file, a.FileImport);
    AddAction(file, a.FileExport);
    AddSeparator(file);
    TBarCustomItem& templates = *AddSubmenu(file, "mnuVorlagen", "&Vorlagen", "");
    AddAction(templates, a.FileSetScreenTemplate);
    AddAction(templates, a.FileSetPrinterTemplate);
    AddAction(file, a.FilePrintPreview);
    AddAction(file, a.FilePrint);
    AddSeparator(file);
    if (parts.RecentFiles) {
        AddRecentFiles(file, parts.RecentFiles);
        AddSeparator(file);
    }
    AddAction(file, a.FileExit);

    TBarCustomItem& edit = *AddSubmenu(menu, "mnuBearbeiten", "B&earbeiten", "Anweisungen zur Bearbeitung");
    AddAction(edit, a.EditCopy);
    AddSeparator(edit);
    AddAction(edit, a.EditMain);
    AddAction(edit, a.EditParam);
    AddAction(edit, a.EditExtra);

    TBarCustomItem& view = *AddSubmenu(menu, "mnuAnsicht", "&Ansicht", "Ansicht einstellen");
    AddAction(view, a.ViewResult);
    AddAction(view, a.ViewMessages);

    TBarCustomItem& settings = *AddSubmenu(menu, "mnuEinstellungen", "E&instellungen", "Programm einstellen");
    AddAction(settings, a.SetSpeedBar);
    AddAction(settings, a.SetStartDlg);
    AddSeparator(settings);
    AddAction(settings, a.SetPaths);

    TBarCustomItem& help = *AddSubmenu(menu, "mnuHilfe", "&Hilfe", "Hilfe|Hilfe- und Informationsfunktionen");
    AddAction(help, a.HelpContents1);
    AddAction(help, a.HelpTopicSearch1);
    AddAction(help, a.HelpOnHelp1);
    AddAction(help, a.Homepage);
    AddSeparator(help);
    AddAction(help, a.HelpAbout1);

    const std::vector<std::string> captions = TMainBars::ToolbarCaptions();
    for (std::size_t i = 0; i < captions.size(); ++i)
        bars->ToolbarWindows.push_back(NewToolBar(toolDock, captions[i]));
    bars->FileToolbar = &bars->ToolbarWindows[0]->Items();
    bars->ModuleToolbar = &bars->ToolbarWindows[1]->Items();
    bars->ReportToolbar = &bars->ToolbarWindows[2]->Items();
    bars->HelpToolBar = &bars->ToolbarWindows[3]->Items();
    TBarCustomItem& fileBar = *bars->FileToolbar;
    AddButton(fileBar, a.FileNew, parts.New);
    AddOpenButton(fileBar, a.FileOpen, parts.Open, parts.RecentFiles);
    AddButton(fileBar, a.FileSave, parts.Save);
    AddSeparator(fileBar);
    AddButton(fileBar, a.FilePrintPreview, parts.Preview);
    AddButton(fileBar, a.FilePrint, parts.Print);
    AddSeparator(fileBar);
    AddAction(fileBar, a.EditCopy);
    AddButton(fileBar, a.cmdEditDlg, parts.EditDialog);
    AddAction(fileBar, a.EditParam);

    AddControl(*bars->ToolbarWindows[1], parts.Modules);

    AddButton(*bars->ReportToolbar, a.FileSetScreenTemplate, parts.ScreenTemplate);
    AddControl(*bars->ToolbarWindows[2], parts.ScreenTemplates, "Bildschirmvorlage aus Liste der vorhandenen Vorlagen wählen");
    AddButton(*bars->ReportToolbar, a.FileSetPrinterTemplate, parts.PrintTemplate);
    AddControl(*bars->ToolbarWindows[2], parts.PrintTemplates, "Druckvorlage aus Liste der vorhandenen Vorlagen wählen");

    AddButton(*bars->HelpToolBar, a.HelpContents1, parts.HelpContents);

    return bars;
}

}  // namespace velmoran
