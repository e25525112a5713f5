// The main window: its parts, its settings, the shell state's modules and templates in the combo
// boxes, the idle update with the start page or start dialog, and the help and info commands.
#include "shell/MainForm.h"

#include "controls/EnhCombo.h"
#include "controls/HtmlLabel.h"
#include "framework/ui/DlgIntro.h"
#include "framework/ui/MainDlg.h"
#include "help/HelpRouter.h"
#include "help/HelpTopics.h"
#include "help/WhatsThis.h"
#include "platform/AppServices.h"
#include "platform/Application.h"
#include "platform/HelpEngine.h"
#include "platform/ModalRunner.h"
#include "platform/QtCanvas.h"
#include "platform/RegIni.h"
#include "platform/core/ScopeExit.h"
#include "shell/AboutBox.h"
#include "shell/DlgPath.h"
#include "shell/MainHelpTopics.h"
#include "shell/ResultPages.h"
#include "shell/Settings.h"
#include "shell/ShellState.h"
#include "toolbar/TBarDock.h"
#include "toolbar/TBarMRUList.h"
#include "toolbar/TBarModalHandler.h"
#include "toolbar/TBarPopupWindow.h"
#include "toolbar/TBarToolbar.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMetaObject>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

#include <filesystem>

namespace velmoran {

namespace {

// The size the window has when no bounds are stored.
constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 580;
constexpr const char* kRecentFilesSection = "Recent Files";
constexpr const char* kStartPage = "intro.htm";

TEnhComboBox* Combo(QWidget* parent, const char* name, const char* hint, int width)
{
    auto* combo = new TEnhComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    if (*hint)
        combo->setToolTip(QString::fromUtf8(hint));
    combo->resize(width, combo->sizeHint().height());
    // Shown by the toolbar that carries it.
    combo->hide();
    return combo;
}

// A toolbar or the menu bar is one control to the "What's this?" component: the button or menu
// title under the point gives the context.
void ToolbarItemContext(QObject* item, QPoint global, int& context)
{
    auto* bar = dynamic_cast<TBarCustomToolbar*>(item);
    if (!bar)
        return;
    const QPoint p = ViewPointFromGlobal(bar->View(), global);
    if (TBarItemViewer* viewer = bar->View().ViewerFromPoint(TPoint{p.x(), p.y()});
        viewer && viewer->Item().HelpContext() != 0)
        context = viewer->Item().HelpContext();
}

}  // namespace

TMainForm::TMainForm(TShellState& shell, const std::string& commandLineFile, QWidget* parent)
    : Form(parent), shell_(shell)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowIcon(ProgramIcon());
    resize(kDefaultWidth, kDefaultHeight);

    actions_ = std::make_unique<TMainActions>(this);
    CreateParts();
    BindActions();
    // The status line speaks in the font of the menus and toolbars above it.
    if (const LogicalFont* menuFont = TBarMenuFont())
        StatusBar->setFont(QtFontEngine::MakeQFont(*menuFont));
    ApplySettings();
    ConnectShell();

    // The pages as the user first sees them: no tabs, the screen result chosen, all hidden until
    // a result, the messages or the start page are shown.
    pcResult->setCurrentWidget(tsResultHTM);
    pcResult->hide();

    ConnectResultPages();
    ConnectPrintResult();
    // The viewers' load errors (a link to a page that is gone) reach the user in German.
    SetExceptionText(ViewerErrorText);
    // The window is complete: context help starts.
    WhatsThis->Loaded();
    if (!commandLineFile.empty()) {
        // Last: the result page the file makes is the one the window shows when it appears.
        OpenCommandLineFile(commandLineFile);
        StartPending = false;
    } else {
        StartPending = true;
    }
}

TMainForm::~TMainForm()
{
    SetExceptionText({});
    SaveSettings();
    // The shell state outlives the window: it must not call into what is gone.
    shell_.Modules.OnModuleIndex = nullptr;
    shell_.Templates.SetViewers(nullptr, nullptr);
    // A module library made its dialog with this window as owner; the module list owns it.
    for (const auto& module : shell_.Modules.ModuleList())
        if (module->Dialog && module->Dialog->parent() == this)
            module->Dialog->setParent(nullptr);
    shell_.Modules.Owner = nullptr;
}

// --- parts ------------------------------------------------------------------------------------

void TMainForm::CreateParts()
{
    const auto newDock = [this](TBarDockPosition position, const char* name, TAlign align) {
        auto* dock = new TBarDock(this, position);
        dock->setObjectName(QString::fromLatin1(name));
        SetAlign(*dock, align);
        return dock;
    };
    MenuDock = newDock(TBarDockPosition::dpTop, "MenuDock", TAlign::alTop);
    ToolDock = newDock(TBarDockPosition::dpTop, "ToolDock", TAlign::alTop);
    LeftDock = newDock(TBarDockPosition::dpLeft, "LeftDock", TAlign::alLeft);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->resize(width(), StatusBar->sizeHint().height());
    SetAlign(*StatusBar, TAlign::alBottom);
    AppServices::Instance().RegisterHintChanges(
        StatusBar, [this] { StatusBar->showMessage(QString::fromStdString(AppServices::Instance().Hint())); });

    CreateResultPages();
    CreateCombos();

    MRUList = new TBarMRUList(this);
    MRUList->setObjectName(QStringLiteral("MRUList"));
    MRUList->SetMaxItems(6);
    MRUList->Prefix = "MRU";
    MRUList->OnClick = [this](TBarMRUList&, const std::string& fileName) {
        if (!PrintRunning())
            MRUListClick(fileName);
    };

    HelpRouter = new THelpRouter(this);
    HelpRouter->setObjectName(QStringLiteral("HelpRouter"));
    // It serves the calculation dialog too: one there would live as long as this one, yet only one serves at a time.
    WhatsThis = new TWhatsThis(this);
    WhatsThis->setObjectName(QStringLiteral("WhatsThis"));
    WhatsThis->F1Action = TF1Action::goContext;
    WhatsThis->Options = {wtMenuRightClick, wtNoContextHelp, wtNoContextMenu, wtInheritFormContext, wtUseTag,
                          wtUseAppKey};
    WhatsThis->SetPopupCaption(kWhatsThisCaption);
    // Help on the menu's own item (Shift+F1 and a click on it) has a page of its own.
    WhatsThis->SetPopupHelpContext(HelpContextOf(MainFormHelpTopics(), "WasIstDas"));
    // Not left empty: a toolbar's buttons have no widgets, so each would answer with the bar's help.
    WhatsThis->OnGetContext = [](TWhatsThis&, QObject* item, bool isMenu, int& context, int x, int y) {
        if (!isMenu)
            ToolbarItemContext(item, QPoint(x, y), context);
    };
    ShowTopicsForContexts(*WhatsThis);
    AssignHelpContexts(*this, MainFormHelpTopics());
}

void TMainForm::CreateResultPages()
{
    const TResultPages pages = velmoran::CreateResultPages(*this, shell_.Folders.ProgramFolderNoSlash);
    pcResult = pages.pcResult;
    tsResultHTM = pages.tsResultHTM;
    tsPrint = pages.tsPrint;
    tsMessage = pages.tsMessage;
    tsIntro = pages.tsIntro;
    ScreenViewer = pages.ScreenViewer;
    ReportViewer = pages.ReportViewer;
    sbMessages = pages.sbMessages;
    IntroViewer = pages.IntroViewer;
    SetAlign(*pcResult, TAlign::alClient);

    MsgAll = new THtmlLabel;
    MsgAll->setObjectName(QStringLiteral("MsgAll"));
    MsgAll->SetAlign(TAlign::alTop);
    MsgAll->SetAutoSizing(true);
    MsgAll->SetAutoSizeType(TAutoSizeType::asVertical);
    MsgAll->SetVAlignment(TVAlignment::tvaTop);
    sbMessages->setWidget(MsgAll);
}

void TMainForm::CreateCombos()
{
    cbxModules = Combo(this, "cbxModules", "", 180);
    cbxScreenTpl = Combo(this, "cbxScreenTpl", "Bildschirmvorlage aus Liste der vorhandenen Vorlagen wählen", 130);
    cbxPrintTpl = Combo(this, "cbxPrintTpl", "Druckvorlage aus Liste der vorhandenen Vorlagen wählen", 130);
    cbxModules->OnChange = [this](QWidget*) {
        if (!PrintRunning())
            cbxModulesChange();
    };
    cbxScreenTpl->OnChange = [this](QWidget*) {
        if (!PrintRunning())
            cbxScreenTplChange();
    };
    cbxPrintTpl->OnChange = [this](QWidget*) {
        if (!PrintRunning())
            cbxPrintTplChange();
    };
}

void TMainForm::BindActions()
{
    TMainActions& a = *actions_;
    // No command runs while the print result is printing.
    const auto guarded = [this](std::function<void()> run) {
        return [this, run = std::move(run)] {
            if (!PrintRunning())
                run();
        };
    };
    const auto bind = [guarded](Action* action, std::function<void()> run) {
        action->OnExecute = [run = guarded(std::move(run))](Action&) { run(); };
    };
    bind(a.FileNew, [this] { FileNewExecute(); });
    bind(a.FileOpen, [this] { FileOpenExecute(); });
    bind(a.FileSave, [this] { FileSaveExecute(); });
    bind(a.FileSaveAs, [this] { FileSaveAsExecute(); });
    bind(a.FileImport, [this] { FileImportExecute(); });
    bind(a.FileExport, [this] { FileExportExecute(); });
    bind(a.FileSetScreenTemplate, [this] { FileSetScreenTemplateExecute(); });
    bind(a.FileSetPrinterTemplate, [this] { FileSetPrinterTemplateExecute(); });
    bind(a.FilePrintPreview, [this] { FilePrintPreviewExecute(); });
    bind(a.FilePrint, [this] { FilePrintExecute(); });
    bind(a.FileExit, [this] { close(); });
    bind(a.EditCopy, [this] { EditCopyExecute(); });
    bind(a.EditMain, [this] { EditMainExecute(); });
    bind(a.cmdEditDlg, [this] { cmdEditDlgExecute(); });
    bind(a.EditParam, [this] { EditParamExecute(); });
    bind(a.EditExtra, [this] { EditExtraExecute(); });
    bind(a.ViewResult, [this] { ViewResultExecute(); });
    bind(a.ViewMessages, [this] { ViewMessagesExecute(); });
    bind(a.SetSpeedBar, [this] { SetSpeedBarExecute(); });
    bind(a.SetStartDlg, [this] { SetStartDlgExecute(); });
    bind(a.SetPaths, [this] { SetPathsExecute(); });
    bind(a.HelpContents1, [this] { HelpContents1Execute(); });
    bind(a.HelpTopicSearch1, [this] { HelpTopicSearch1Execute(); });
    bind(a.HelpOnHelp1, [this] { HelpOnHelp1Execute(); });
    bind(a.HelpAbout1, [this] { HelpAbout1Execute(); });

    TMainBarParts parts;
    parts.Modules = cbxModules;
    parts.ScreenTemplates = cbxScreenTpl;
    parts.PrintTemplates = cbxPrintTpl;
    parts.RecentFiles = MRUList;
    parts.New = guarded([this] { FileNewExecute(); });
    parts.Open = guarded([this] { FileOpenExecute(); });
    parts.Save = guarded([this] { FileSaveExecute(); });
    parts.Preview = guarded([this] { FilePrintPreviewExecute(); });
    parts.Print = guarded([this] { FilePrintExecute(); });
    parts.EditDialog = guarded([this] { cmdEditDlgExecute(); });
    parts.ScreenTemplate = guarded([this] { FileSetScreenTemplateExecute(); });
    parts.PrintTemplate = guarded([this] { FileSetPrinterTemplateExecute(); });
    parts.HelpContents = guarded([this] { HelpContents1Execute(); });
    bars_ = BuildMainBars(a, parts, *MenuDock, *ToolDock);
}

// --- settings ---------------------------------------------------------------------------------

void TMainForm::ApplySettings()
{
    SetAcceptDroppedFiles(true);
    OnDropFiles = [this](Form&, const std::vector<std::string>& files) {
        // Asked first, so that a dropped file does not throw away unsaved changes.
        if (!files.empty() && CheckSaveModified())
            OpenCalculationFile(files.front());
    };

    const TWindowSettings settings = ReadWindowSettings();
    if (settings.MainFormRect) {
        const TRect& r = *settings.MainFormRect;
        setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
    actions_->SetStartDlg->SetChecked(settings.StartDialog);
    actions_->SetSpeedBar->SetChecked(settings.SpeedBar);
    ShowToolbars(settings.SpeedBar);

    regIni_ = std::make_unique<RegIniFile>(kSettingsKey);
    MRUList->LoadFromRegIni(*regIni_, kRecentFilesSection);

    setWindowTitle(QStringLiteral("Velmoran"));
}

void TMainForm::SaveSettings()
{
    // Another window of the program may have saved its recent files since this one read them:
    // written back as read at start, the list of the window closing last was all that was left.
    MRUList->MergeFromRegIni(*regIni_, kRecentFilesSection);
    const QRect bounds = geometry();
    WriteWindowSettings(*regIni_, {bounds.left(), bounds.top(), bounds.left() + bounds.width(),
                                   bounds.top() + bounds.height()},
                        StartDialogSetting(), SpeedBarSetting());
    MRUList->SaveToRegIni(*regIni_, kRecentFilesSection);
    SyncSettings(*regIni_);
}

bool TMainForm::StartDialogSetting() const
{
    return actions_->SetStartDlg->Checked();
}

bool TMainForm::SpeedBarSetting() const
{
    return actions_->SetSpeedBar->Checked();
}

// --- modules and templates --------------------------------------------------------------------

void TMainForm::ConnectShell()
{
    TModules& modules = shell_.Modules;
    modules.Owner = this;
    modules.OnModuleIndex = [this](int index) { ShowModuleIndex(index); };
    shell_.Templates.SetViewers(ScreenViewer, ReportViewer);

    modules.RegisterModule(modules.ModuleFolder() + "HSG.MTX");
    {
        const ScopedValue filling(fillingCombos_, true);
        cbxModules->SetItems(modules.Captions());
        // One module gives nothing to choose: an open list with its one line.
        cbxModules->SetStyle(modules.ModuleList().size() < 2 ? TComboBoxStyle::csSimple
                                                             : TComboBoxStyle::csDropDownList);
        if (QLineEdit* edit = cbxModules->lineEdit())
            edit->setReadOnly(true);
    }
    modules.SelectModule(0);
}

void TMainForm::ShowModuleIndex(int index)
{
    {
        const ScopedValue filling(fillingCombos_, true);
        cbxModules->SetItemIndex(index);
    }
    ShowTemplateLists();
    HelpRouter->SetHelpfile(shell_.Modules.HelpFile());
    HelpRouter->SetHelpType(shell_.Modules.HelpType() == ModuleHelpType::Mixed ? THelpType::htMixedMode
                                                                               : THelpType::htWinhelp);
}

void TMainForm::ShowTemplateLists()
{
    const ScopedValue filling(fillingCombos_, true);
    const auto show = [](TEnhComboBox& combo, const TTemplateList& list) {
        combo.SetItems(list.Items);
        combo.SetItemIndex(list.ItemIndex);
    };
    show(*cbxScreenTpl, shell_.Templates.ScreenTemplates());
    show(*cbxPrintTpl, shell_.Templates.PrintTemplates());
}

void TMainForm::cbxModulesChange()
{
    if (fillingCombos_ || cbxModules->ItemIndex() < 0)
        return;
    shell_.Modules.SelectModule(cbxModules->ItemIndex());
    RefreshResultPage();
}

void TMainForm::cbxScreenTplChange()
{
    if (fillingCombos_ || cbxScreenTpl->ItemIndex() < 0)
        return;
    ChangeTemplate([this] {
        shell_.Templates.ChooseScreenEntry(cbxScreenTpl->ItemIndex());
        return true;
    }, true);
}

void TMainForm::cbxPrintTplChange()
{
    if (fillingCombos_ || cbxPrintTpl->ItemIndex() < 0)
        return;
    ChangeTemplate([this] {
        shell_.Templates.ChoosePrintEntry(cbxPrintTpl->ItemIndex());
        return true;
    }, false);
}

void TMainForm::FileSetScreenTemplateExecute()
{
    ChangeTemplate([this] { return shell_.Templates.PickScreenTemplate(); }, true);
}

void TMainForm::FileSetPrinterTemplateExecute()
{
    ChangeTemplate([this] { return shell_.Templates.PickPrintTemplate(); }, false);
}

// A template that cannot serve is told after the boxes name the templates in use again and the
// result page is made anew with the screen template it keeps, so that the message stands over
// what stays rather than over the failed template or a bare one.
void TMainForm::ChangeTemplate(const std::function<bool()>& load, bool screen)
{
    std::exception_ptr failure;
    bool changed = false;
    try {
        changed = load();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!changed && !failure)
        return;
    ShowTemplateLists();
    if (screen && !pcResult->isHidden())
        RefreshResultPage();
    if (failure)
        RunGuarded([&] { std::rethrow_exception(failure); });
}

void TMainForm::MRUListClick(const std::string& fileName)
{
    if (CheckSaveModified())
        OpenCalculationFile(fileName);
}

// --- idle update and start ----------------------------------------------------------------------

void TMainForm::UpdateActions()
{
    Form::UpdateActions();
    if (StartPending && StartDialogSetting())
        ShowStartPageOrDialog();
    for (Action* action : actions_->EnabledByCalculation())
        action->SetEnabled(CalculationLoaded);
    actions_->ViewTools->SetEnabled(true);
}

void TMainForm::SetCalculationLoaded(bool loaded)
{
    CalculationLoaded = loaded;
    if (loaded)
        return;
    shownResult_ = {};
    pcResult->hide();
    pcResult->setCurrentWidget(tsResultHTM);
    for (Action* action : actions_->EnabledByCalculation())
        action->SetEnabled(false);
}

bool TMainForm::IntroShown() const
{
    return !pcResult->isHidden() && pcResult->currentWidget() == tsIntro;
}

void TMainForm::ShowStartPageOrDialog()
{
    // Cleared first: an idle update inside the dialog's own loop must not open it again.
    StartPending = false;
    if (std::filesystem::is_regular_file(kStartPage)) {
        LoadPage(*IntroViewer, std::filesystem::absolute(kStartPage).string());
        pcResult->setCurrentWidget(tsIntro);
        pcResult->show();
        return;
    }
    // The idle update shows no window itself: the dialog follows once it has finished.
    QMetaObject::invokeMethod(this, [this] { RunStartDialog(); }, Qt::QueuedConnection);
}

void TMainForm::RunStartDialog()
{
    TDlgIntro dialog(this);
    dialog.SetRecentFiles(&MRUList->Items().Texts());
    if (Modals().Run(dialog) != QDialog::Accepted)
        return;
    switch (dialog.Choice) {
    case 0:
        FileNewExecute();
        break;
    case 1:
        FileOpenExecute();
        break;
    case 2:
        if (!dialog.FileName.empty())
            OpenCalculationFile(dialog.FileName);
        break;
    default:
        break;
    }
}

// --- toolbars, settings and folders -------------------------------------------------------------

void TMainForm::ShowToolbars(bool visible)
{
    toolbarsVisible_ = visible;
    if (bars_)
        for (TBarToolbar* bar : bars_->ToolbarWindows)
            static_cast<QWidget*>(bar)->setVisible(visible);
}

void TMainForm::SetSpeedBarExecute()
{
    Action& action = *actions_->SetSpeedBar;
    action.SetChecked(!action.Checked());
    ShowToolbars(action.Checked());
}

void TMainForm::SetStartDlgExecute()
{
    Action& action = *actions_->SetStartDlg;
    action.SetChecked(!action.Checked());
}

void TMainForm::SetPathDialog(TDlgPath* dialog)
{
    pathDialog_ = dialog;
}

void TMainForm::SetPathsExecute()
{
    if (pathDialog_)
        pathDialog_->Execute();
}

// --- editing ------------------------------------------------------------------------------------

void TMainForm::EditMainExecute()
{
    if (CalculationLoaded) {
        RunEditDialog(1, 1);
        return;
    }
    // No calculation yet: the input dialog starts a new one, as the new command would.
    if (!CheckSaveModified())
        return;
    SetFileId({});
    if (TMainDlg* module = shell_.Modules.ModuleDialog())
        module->Exec("InitData", {shell_.Folders.ProgramFolder + "Velmoran.vdt"});
    SetCalculationLoaded(false);
    SetCalculationLoaded(RunEditDialog(1, 1));
}

void TMainForm::cmdEditDlgExecute()
{
    // The toolbar button works without a calculation too: it then starts one, since input confirmed
    // on no calculation could be neither shown nor saved, and would be lost.
    if (!CalculationLoaded) {
        EditMainExecute();
        return;
    }
    RunEditDialog(1, 1);
}

// --- help and info ------------------------------------------------------------------------------

void TMainForm::HelpContents1Execute()
{
    AppServices::Instance().HelpCommand(HELP_CONTENTS, 0);
}

void TMainForm::HelpTopicSearch1Execute()
{
    AppServices::Instance().HelpCommand(HELP_CONTENTS, 0);
}

void TMainForm::HelpOnHelp1Execute()
{
    AppServices::Instance().HelpCommand(HELP_HELPONHELP, 0);
}

void TMainForm::HelpAbout1Execute()
{
    TAboutBox box(this);
    box.lbModules->SetHTMLText(ModuleListText(shell_.Modules.ModuleList()));
    Modals().Run(box);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    Form::closeEvent(event);
    if (event->isAccepted())
        AppServices::Instance().HelpCommand(HELP_QUIT, 0);
}

bool TMainForm::CloseQuery()
{
    if (PrintRunning())
        return false;
    if (!shell_.FileId.empty())
        MRUList->Add(shell_.FileId);
    return CheckSaveModified();
}

}  // namespace velmoran
