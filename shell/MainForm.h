// TMainForm: the window the user works in. Two docks at the top carry the menu bar and, below it,
// the toolbars, which may also be dragged to the dock at the left edge; the status bar at the
// bottom shows the long hint of what the mouse is over, and the result pages fill the rest: the
// screen result, the print result, the module's messages and the start page. The window reads its
// settings when it is made and writes them when it goes, keeps the recent files, drives the module
// and template combo boxes from the shell state, enables its actions when idle and offers the start
// page or start dialog once.
#pragma once

#include "platform/Form.h"
#include "shell/MainActions.h"
#include "shell/ResultPages.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QScrollArea;
class QStackedWidget;
class QStatusBar;

namespace velmoran {

class Canvas;
class RegIniFile;
class TAboutBox;
class TBarDock;
class TBarMRUList;
class TDlgPath;
class TEnhComboBox;
class TFrameViewer;
class THelpRouter;
class THtmlLabel;
class TPageViewer;
class TShellState;
class TWhatsThis;

class TMainForm : public Form {
public:
    // Builds the window around the shell state, registers and selects the module and, when
    // commandLineFile is not empty, opens it.
    TMainForm(TShellState& shell, const std::string& commandLineFile, QWidget* parent = nullptr);
    ~TMainForm() override;

    TShellState& Shell() { return shell_; }
    TMainActions& Actions() { return *actions_; }

    // --- the parts of the window ---
    // The menu bar's dock above the toolbars' dock; a toolbar may be dragged to the left dock.
    TBarDock* MenuDock;
    TBarDock* ToolDock;
    TBarDock* LeftDock;
    QStatusBar* StatusBar;
    QStackedWidget* pcResult;
    QWidget* tsResultHTM;
    QWidget* tsPrint;
    QWidget* tsMessage;
    QWidget* tsIntro;
    TFrameViewer* ScreenViewer;
    TPageViewer* ReportViewer;
    QScrollArea* sbMessages;
    THtmlLabel* MsgAll;
    TPageViewer* IntroViewer;
    TEnhComboBox* cbxModules;
    TEnhComboBox* cbxScreenTpl;
    TEnhComboBox* cbxPrintTpl;
    TBarMRUList* MRUList;
    THelpRouter* HelpRouter;
    TWhatsThis* WhatsThis;
    // The menus and toolbars built from the actions.
    TMainBars& Bars() { return *bars_; }

    // The folder dialog, made by the program block after the window (not owned).
    void SetPathDialog(TDlgPath* dialog);

    // --- state ---
    // Whether the module holds a calculation of the user's: one opened, or a new one whose input
    // dialog was confirmed. Without one nothing can be printed, exported or edited, and saving
    // asks for a file.
    bool CalculationLoaded = false;
    // Sets CalculationLoaded. Without a calculation the result page is hidden as at start and the
    // commands that need one are disabled at once, so that nothing of the calculation before
    // stays on screen or within reach.
    void SetCalculationLoaded(bool loaded);
    // True while the start page or start dialog is still to come (no file on the command line).
    bool StartPending = false;
    bool StartDialogSetting() const;
    bool SpeedBarSetting() const;
    bool ToolbarsVisible() const { return toolbarsVisible_; }
    // The start page was shown rather than the start dialog.
    bool IntroShown() const;

    // The idle update: the start page or dialog once, then the actions' enabled states.
    void UpdateActions() override;
    // Shows or hides the four toolbars together.
    void ShowToolbars(bool visible);

    // --- handlers ---
    void SetSpeedBarExecute();
    void SetStartDlgExecute();
    void SetPathsExecute();
    void EditMainExecute();
    void cmdEditDlgExecute();
    void HelpContents1Execute();
    void HelpTopicSearch1Execute();
    void HelpOnHelp1Execute();
    void HelpAbout1Execute();
    void FileSetScreenTemplateExecute();
    void FileSetPrinterTemplateExecute();
    void cbxModulesChange();
    void cbxScreenTplChange();
    void cbxPrintTplChange();
    void MRUListClick(const std::string& fileName);

    // --- the calculation (file commands) ---
    virtual void FileNewExecute();
    virtual void FileOpenExecute();
    virtual void FileSaveExecute();
    virtual void FileSaveAsExecute();
    virtual void FileImportExecute();
    virtual void OpenCalculationFile(const std::string& fileName);
    // The save question; false when the user cancelled or the data asked to be saved were not.
    virtual bool CheckSaveModified();
    // Runs the module's input dialog on that page (at the named control, if any); its answer. A
    // True answer refreshes the result page.
    virtual bool RunEditDialog(int mode, int page, const std::string& controlName = {});
    // Reads the values of an import file (Windows-1252) into the module's tables.
    void ImportValues(const std::string& fileName);
    void EditParamExecute();
    // The file of the current calculation, also named in the caption.
    void SetFileId(const std::string& fileName);

    // --- the result pages and their links ---
    virtual void RefreshResultPage();
    void ViewResultExecute();
    void ViewMessagesExecute();
    void EditCopyExecute();
    // The viewer the result page goes into: that of frame "Main", else the frame viewer's active one.
    TPageViewer* ResultFrame() const;
    // The page a link is on: its relative file names are found beside that page.
    enum class LinkPage { Result, Start };
    // Runs a link command; false when the text starts with none of the link keywords. A relative
    // file name in it (FILEOPEN, FILEIMPORT, FILESAVE) is found as the page's viewer finds the
    // names of its links: beside the page, in the frame the link was clicked in.
    bool ExecuteCommand(const std::string& command, LinkPage page = LinkPage::Result);
    // A click on a link of the result or start page; handled is set when the viewer must not
    // follow the link itself.
    void HandleHotSpot(const std::string& url, bool& handled, LinkPage page = LinkPage::Result);
    // A click on a link of the screen result: as HandleHotSpot, and a link that names a screen
    // template (a ".vst" file, or the template shown) shows the calculation through it.
    void HandleScreenHotSpot(const std::string& url, bool& handled);
    void StepResultIndex(const std::string& text);
    void SetModuleIndex(const std::string& text);
    // The record number of the load case shown (0 ... 3).
    std::uint8_t LoadCase = 0;
    // The module's messages, rebuilt by every refresh of the messages page.
    std::vector<std::string> ResultMessages;

    // --- the print result: printing, preview and export ---
    // Expands the print template into OutputStream and loads it into ReportViewer; false, with
    // the error shown, when that failed (nothing of the failed build is printed or exported).
    bool BuildPrintReport();
    virtual void FileExportExecute();
    virtual void FilePrintExecute();
    // The preview window on the print result, run modally; nothing of it stays afterwards.
    virtual void FilePrintPreviewExecute();
    // "FILEPRINT": every page, without the print dialog or the progress window.
    void PrintFromLink();
    // The header and footer drawn on every printed page of the print result.
    void ReportViewerPrintHeader(Canvas& canvas, int pageNumber, int width, int height, bool& stopPrinting);
    void ReportViewerPrintFooter(Canvas& canvas, int pageNumber, int width, int height, bool& stopPrinting);
    // The PDF file proposed for the current calculation: DataPath, its base name, ".pdf".
    std::string PrintFileName() const;
    // True while a print of the print result runs; the window then takes no commands and
    // cannot be closed.
    bool PrintRunning() const;
    // The module's own extra dialog ("EditSpecial").
    virtual void EditExtraExecute();

protected:
    bool CloseQuery() override;
    // A window that closes ends the program: its help windows close with it.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateParts();
    void CreateResultPages();
    void CreateCombos();
    void BindActions();
    void ApplySettings();
    void SaveSettings();
    void ConnectShell();
    void ShowModuleIndex(int index);
    void ShowTemplateLists();
    // Runs a change of the screen or print template (false: nothing was chosen) and shows what
    // is in use afterwards.
    void ChangeTemplate(const std::function<bool()>& load, bool screen);
    void ShowStartPageOrDialog();
    void RunStartDialog();
    void ConnectResultPages();
    void ConnectPrintResult();
    void OpenCommandLineFile(const std::string& fileName);
    // The open command without its dialog: a file that is no calculation is refused with that
    // message; one that cannot be read leaves the calculation in hand as it was.
    void LoadCalculationFile(const std::string& fileName, const std::string& refusal);
    // A link's new or open command, with the result page hidden while it runs.
    void RunFileCommandFromLink(const std::function<void()>& command);
    // After a link's new or open command, however it ended: the calculation still loaded shows
    // its page again; without one the start page stays when the link was on it (`shown`).
    void ShowPageAfterLink(QWidget* shown);
    // Shows the calculation through the screen template a link of the screen result names; false
    // when the link names no screen template.
    bool ShowTemplateLink(const std::string& url);
    // The file a link command's argument names on that page (see LinkFileName).
    std::string LinkFile(const std::string& argument, LinkPage page) const;
    // Shows why a calculation was read or saved without its lock, in a box of its own, unless
    // that was shown before in this program run.
    void ShowLockNote(const std::string& note);
    // Sends "SaveData" for that file (a copy keeps the modified flag); false, with a message,
    // when the module could not save.
    bool SaveCalculationTo(const std::string& fileName, bool copy = false);
    // "FILESAVE" with a name: only a calculation file, and another calculation's file only after
    // the user agreed to overwrite it; a save made says where it wrote.
    bool SaveFromLink(const std::string& fileName);
    bool SaveCalculation();
    bool SaveCalculationAs();

    TShellState& shell_;
    std::unique_ptr<TMainActions> actions_;
    std::unique_ptr<TMainBars> bars_;
    std::unique_ptr<RegIniFile> regIni_;
    QPointer<TDlgPath> pathDialog_;
    bool toolbarsVisible_ = true;
    // Set while code fills the combo boxes, so that their change handlers stay quiet.
    bool fillingCombos_ = false;
    // The page of results shown last: it stays where the next cannot be shown. Nothing of a
    // calculation that went comes back.
    TResultPage shownResult_;
};

}  // namespace velmoran
