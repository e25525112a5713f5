// The main window's result pages at work: the refresh that runs the report engine over the
// screen template into the result frame, the messages page, copying, and the links of the
// result and start pages, which become link commands, mail and web calls or local documents.
#include "shell/MainForm.h"

#include "controls/HtmlLabel.h"
#include "framework/ui/MainDlg.h"
#include "html/viewer/Frame.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/Prompt.h"
#include "platform/Shell.h"
#include "platform/StringTable.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"
#include "report/Report.h"
#include "shell/ResultPages.h"
#include "shell/LinkCommands.h"
#include "shell/ShellState.h"
#include "shell/Templates.h"

#include <QStackedWidget>
#include <QStatusBar>

#include <filesystem>

namespace velmoran {

void TMainForm::ConnectResultPages()
{
    TResultLinks links;
    links.Click = [this](const std::string& url, bool& handled) { HandleHotSpot(url, handled, LinkPage::Start); };
    links.ScreenClick = [this](const std::string& url, bool& handled) { HandleScreenHotSpot(url, handled); };
    links.Covered = [this](const std::string& url) {
        StatusBar->showMessage(Contains(url, ":") ? QString::fromStdString(url) : QString());
    };
    links.RightClick = [this] { EditCopyExecute(); };
    ConnectResultLinks(*ScreenViewer, *IntroViewer, std::move(links));
    MsgAll->OnAnchorClick = [this](QWidget*, const std::string& anchor) { RunEditDialog(1, 1, anchor); };
}

TPageViewer* TMainForm::ResultFrame() const
{
    return ResultFrameOf(*ScreenViewer);
}

void TMainForm::RefreshResultPage()
{
    TModules& modules = shell_.Modules;
    if (pcResult->currentWidget() == tsMessage) {
        ResultMessages.clear();
        if (TMainDlg* module = modules.ModuleDialog()) {
            ModuleArgument argument;
            argument.List = &ResultMessages;
            module->Exec("CheckAll", argument);
        }
        // A module that lists no messages has none: the page says so in the module base's words
        // rather than staying a blank grey page.
        if (ResultMessages.empty())
            MsgAll->SetHTMLText(LoadStr(sNoMessages));
        else
            MsgAll->SetHTMLText(ResultMessages);
    } else if (pcResult->currentWidget() == tsResultHTM && modules.Report()) {
        TMemoryStream& output = modules.OutputStream();
        modules.Report()->SetRecord(LoadCase);
        TTemplates& templates = shell_.Templates;
        ExpandTemplate(*modules.Report(), templates.ScreenTemplateStream(), templates.ScreenTemplateName(),
                       output);
        // A page that cannot be shown is told here, so that what the command goes on to do (a
        // link's place on the page, an opening's status line) is done all the same.
        try {
            LoadResult(*ScreenViewer, output, shownResult_, templates.ScreenFile(), templates.ScreenTemplateName());
        } catch (const ETemplateError& error) {
            Prompts().ShowError(error.Message());
        }
    }
    pcResult->show();
    // The page takes the keys at once (Ctrl+Home/End, arrows, Ctrl+C).
    if (pcResult->currentWidget() == tsResultHTM)
        if (TPageViewer* page = ResultFrame())
            page->setFocus(Qt::OtherFocusReason);
}

void TMainForm::ViewResultExecute()
{
    pcResult->setCurrentWidget(tsResultHTM);
    // The overview is the template's whole view again: a menu frame that went to a page that
    // failed comes back with the calculation.
    ShowTemplateFrames(*ScreenViewer, shell_.Templates.ScreenFile());
    RefreshResultPage();
}

void TMainForm::ViewMessagesExecute()
{
    pcResult->setCurrentWidget(tsMessage);
    RefreshResultPage();
}

void TMainForm::EditCopyExecute()
{
    CopyResultSelection(*ScreenViewer);
}

// --- links --------------------------------------------------------------------------------------

bool TMainForm::ExecuteCommand(const std::string& command, LinkPage page)
{
    const TLinkCommand link = ParseLinkCommand(command);
    if (!link.Command)
        return false;
    const std::string& argument = link.Argument;
    switch (*link.Command) {
    case LinkCommand::FileNew:
        RunFileCommandFromLink([&] {
            if (!argument.empty())
                SetModuleIndex(argument);
            FileNewExecute();
        });
        break;
    case LinkCommand::FileOpen:
        RunFileCommandFromLink([&] {
            if (argument.empty())
                FileOpenExecute();
            // Asked first, so that a link does not throw away unsaved changes.
            else if (CheckSaveModified())
                OpenCalculationFile(LinkFile(argument, page));
        });
        break;
    case LinkCommand::FileImport:
        // Without a name there is no file to read: said so, rather than that the file „“ is
        // missing, and before the question, as nothing would change.
        if (argument.empty()) {
            Prompts().ShowError("Die Verknüpfung „FILEIMPORT“ nennt keine Datei, aus der Werte importiert werden: "
                                "Es wurde nichts importiert.");
            break;
        }
        // Asked first, as the menu's import asks: the values replace what is not saved yet.
        if (!CheckSaveModified())
            break;
        ImportValues(LinkFile(argument, page));
        RefreshResultPage();
        break;
    case LinkCommand::FileSave:
        // Bare, it saves as the menu does: "SaveData" without a name would write nowhere and say nothing.
        if (argument.empty())
            FileSaveExecute();
        else if (CalculationLoaded)
            SaveFromLink(LinkFile(argument, page));
        break;
    case LinkCommand::EditDlg: {
        const int dialogPage = StrToInt(argument);
        // Without a calculation the dialog would edit the defaults behind no page.
        if (CalculationLoaded)
            RunEditDialog(1, dialogPage);
        break;
    }
    case LinkCommand::SetMode:
        if (!argument.empty())
            SetModuleIndex(argument);
        break;
    case LinkCommand::SetIndex:
        if (!argument.empty())
            StepResultIndex(argument);
        break;
    case LinkCommand::FilePrint:
        PrintFromLink();
        break;
    case LinkCommand::PrintTemplate:
    case LinkCommand::Calculate:
    case LinkCommand::FileExec:
        break;
    }
    return true;
}

void TMainForm::SetModuleIndex(const std::string& text)
{
    shell_.Modules.ModuleIndex = TryStrToInt(text).value_or(0);
}

void TMainForm::StepResultIndex(const std::string& text)
{
    const std::optional<std::uint8_t> next = NextLoadCase(LoadCase, text);
    if (!next || *next == LoadCase)
        return;
    // A calculation the module refuses (a file holding input it cannot compute from) says so and
    // keeps the other load cases in reach: its page shows "#" for what it could not compute.
    if (TMainDlg* module = shell_.Modules.ModuleDialog()) {
        try {
            module->Exec("Calculate");
        } catch (const EMathError& error) {
            Prompts().ShowError(error.what());
        }
    }
    LoadCase = *next;
    RefreshResultPage();
}

void TMainForm::RunFileCommandFromLink(const std::function<void()>& command)
{
    QWidget* const shown = pcResult->isHidden() ? nullptr : pcResult->currentWidget();
    pcResult->hide();
    pcResult->setCurrentWidget(tsResultHTM);
    try {
        command();
    } catch (...) {
        // An opening that failed (a file gone, unreadable) keeps what the user had in view.
        ShowPageAfterLink(shown);
        throw;
    }
    ShowPageAfterLink(shown);
}

void TMainForm::ShowPageAfterLink(QWidget* shown)
{
    // A command the user cancelled or that failed keeps the calculation: its page comes back.
    // Without one, the start page the link was on stays; nothing of a calculation gone does.
    if (CalculationLoaded) {
        if (pcResult->isHidden())
            RefreshResultPage();
    } else if (shown == tsIntro) {
        pcResult->setCurrentWidget(tsIntro);
        pcResult->show();
    }
}

void TMainForm::HandleScreenHotSpot(const std::string& url, bool& handled)
{
    HandleHotSpot(url, handled, LinkPage::Result);
    if (!handled)
        handled = ShowTemplateLink(url);
}

bool TMainForm::ShowTemplateLink(const std::string& url)
{
    const std::string file = Trim(url.substr(0, url.find_first_of("#?")));
    if (file.empty())
        return false;
    const std::size_t hash = url.find('#');
    const std::string anchor = hash == std::string::npos ? std::string() : url.substr(hash + 1);
    TTemplates& templates = shell_.Templates;
    // Found where the page that links is, as the viewer would find it.
    const std::string full = ScreenViewer->ExpandLinkName(file);
    const bool shown = ScreenViewer->SameDocument(full, templates.ScreenTemplateName()) ||
                       ScreenViewer->SameDocument(full, templates.ScreenFile());
    if (!shown && !SameText(std::filesystem::path(full).extension().string(), ".vst"))
        return false;
    // Into the frame "Main" when the link goes there; else the template takes the whole view.
    const TfvFrame* main = ScreenViewer->GetFrameFromName("Main");
    const std::string& target = ScreenViewer->ClickTarget();
    const TPageViewer* from = ScreenViewer->GetActiveViewer();
    const bool intoMain = main && (SameText(target, "Main") || ((target.empty() || SameText(target, "_self")) &&
                                                                from && main->isAncestorOf(from)));
    // Said in the words of every file that cannot be read, before the view changes.
    if (const std::string reason = UnreadableReason(full); !reason.empty()) {
        Prompts().ShowError(UnreadableMessage(full, reason));
        return true;
    }
    try {
        if (intoMain)
            templates.LoadMainTemplate(full);
        else
            templates.LoadScreenTemplate(full);
    } catch (const std::exception& error) {
        // The view shows the template before as a file again: the results come back into it.
        RefreshResultPage();
        Prompts().ShowError(error.what());
        return true;
    }
    // A frameset linked from the frame "Main" took the whole view: its box names it.
    ShowTemplateLists();
    RefreshResultPage();
    // The place the link names on the page, once the calculation is shown through it.
    if (TPageViewer* page = ResultFrame(); page && !anchor.empty())
        page->PositionToAnchor(anchor);
    return true;
}

std::string TMainForm::LinkFile(const std::string& argument, LinkPage page) const
{
    // As the viewer of the page expands the link's names: beside the page (or its BASE), in the
    // frame the link was clicked in.
    return LinkFileName(argument, [this, page](const std::string& name) {
        return page == LinkPage::Start ? IntroViewer->ExpandFileName(name) : ScreenViewer->ExpandLinkName(name);
    });
}

void TMainForm::HandleHotSpot(const std::string& url, bool& handled, LinkPage page)
{
    // No command while printing, and none from a page that is no longer shown.
    if (PrintRunning() || pcResult->isHidden()) {
        handled = true;
        return;
    }
    // Detection on an upper-case copy; the command gets the link as written, so that file names
    // keep their case.
    const std::string upper = UpperCase(url);
    for (const std::string& keyword : LinkKeywords()) {
        if (!Contains(upper, keyword))
            continue;
        handled = ExecuteCommand(url, page);
        if (handled)
            return;
    }
    switch (LinkTargetOf(url)) {
    case LinkTarget::Desktop:
        velmoran::Shell().Open(url);
        handled = true;
        return;
    case LinkTarget::ProgramDocument: {
        // Said when nothing opens: a click that does nothing looks like a program that hangs.
        std::string refusal;
        if (const std::optional<std::string> file = FileLinkTarget(shell_.Folders.ProgramFolder, url, &refusal)) {
            if (!velmoran::Shell().Open(*file))
                Prompts().ShowError("Die Datei " + Quoted(*file) +
                                    " konnte nicht geöffnet werden: Der Desktop kennt kein Programm, das sie zeigt.");
        } else {
            Prompts().ShowError(refusal);
        }
        handled = true;
        return;
    }
    case LinkTarget::Refused:
        // "javascript:", "smb:", "nfs:" and every other scheme: taken, and nothing opens.
        handled = true;
        return;
    case LinkTarget::Viewer:
        break;
    }
    // Anything else is the viewer's: anchors, pages and pictures. No link starts a program.
}

}  // namespace velmoran
