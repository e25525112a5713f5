// TMainDlg: the base of every calculation module. One object is both the module's paged, modal
// input dialog (a page stack with a navigation bar: Cancel, Previous, Next, OK) and the module's
// whole interface towards the main window, which knows modules only through this class: three
// folders, the command entry Exec, value texts, the modified flag and the module's tables. The
// base answers every operation harmlessly; a module overrides what it supports.
//
// The dialog is shown through Modals() only. It closes only by its OK and Cancel actions and the
// window's close button (Cancel); every action first commits the focused float edit, because the
// navigation buttons take no focus and the actions have accelerators, so no focus loss would.
#pragma once

#include "controls/SpeedButton.h"
#include "framework/ModuleCommand.h"
#include "framework/ui/PageControl.h"
#include "platform/Action.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmoran {

class TDataSet;

// The look of the navigation band of the module dialogs and their parameter dialogs: white bold
// captions on dark blue.
TFont NavigationFont();
void SetNavigationBandLook(QWidget& band);
// A flat button of the band with the band's captions, at `place`.
TExSpeedButton* NewNavigationButton(QWidget& band, const char* name, const QRect& place);

class TMainDlg : public QDialog {
public:
    explicit TMainDlg(QWidget* parent = nullptr);
    ~TMainDlg() override;

    TPageControl* PageControl1;
    QWidget* pnlNavigate;
    TExSpeedButton* BtnCalc;
    TExSpeedButton* BtnCancel;
    TExSpeedButton* BtnPrevious;
    TExSpeedButton* BtnNext;
    TExSpeedButton* BtnOK;
    Action* DlgOK;
    Action* DlgCancel;
    Action* DlgNext;
    Action* DlgPrevious;
    Action* DlgRefresh;
    // The dialog's own actions (owned by the dialog).
    std::vector<Action*> DlgActions;

    std::string ModuleName = "*** generic module ***";
    std::string CompanionExt = ".~vd";
    std::string ProgramFolder;
    std::string DataPath;
    std::string ModuleTemplateFolder;
    int CurrentPage = 0;
    int FirstPage = 0;
    int LastPage = 0;
    int Mode = 0;
    bool Filling = false;
    QPointer<QWidget> MessagePanel;
    QPointer<QWidget> MessageView;
    std::vector<std::string> MessageList;
    std::vector<std::string> Keywords;
    std::vector<std::string> FieldNames;
    // The module's tables as the report and the import see them; not owned.
    std::vector<TDataSet*> DataSets;
    bool Modified = false;
    // The help file taken over from the application when the dialog is shown.
    std::string HelpFile;

    virtual void SetProgramFolder(const std::string& folder);
    virtual void SetDataPath(const std::string& folder);
    virtual void SetModuleTemplateFolder(const std::string& folder);
    virtual int LoadCaseIndex(int page);
    virtual void ComputePageRange();
    virtual bool ShowMessages(const std::string& topics);
    virtual bool CheckAll(std::vector<std::string>& list);
    // The index in PageControl1 of the page holding the control, passing over the pages of
    // page controls nested inside a page; -1 when there is none. A page itself is not counted.
    virtual int PageIndexOfControl(const QWidget* control) const;
    virtual void UpdateNavigation();
    virtual void FillPage();
    virtual void ShowPageResults();
    virtual bool Exec(const std::string& command, const ModuleArgument& arg = {});
    virtual std::string GetValueText(const std::string& name);
    // Why SETTODATA would not take into the calculation a value an import writes into the field
    // of that row of one of DataSets (German, to follow the field's quoted name: "ist kein
    // Eingabewert ..."); nothing when it takes it. The import then leaves the field alone and
    // names the line. The base takes every value.
    virtual std::optional<std::string> ImportRefusal(const TDataSet& table, const std::string& field, int row);
    // Asked by OK before the dialog closes: a module refuses input it cannot take (and says why),
    // and the dialog then stays open with everything typed. The base takes every input.
    virtual bool InputAcceptable();
    // Asked by Weiter and Zurück before the page changes: a module may explain input it cannot
    // take and keep the page (false). The base lets every page go.
    virtual bool PageLeaveAcceptable();

    // What puts back the calculation the module holds now (its records, modified flag and the
    // file it was read from), for an opening that replaces it and then fails to read its file;
    // empty where the module cannot keep one. The base keeps none.
    virtual std::function<void()> KeepCalculation();

    // Shows the dialog through Modals(); its result (QDialog::Accepted for OK).
    int ShowModal();

    void DlgOKExecute();
    void DlgCancelExecute();
    void DlgNextExecute();
    void DlgPreviousExecute();
    void DlgRefreshExecute();
    // Shows the page of the named control (and the nested pages holding it) and gives it the
    // focus, at once when the dialog is shown, else when it appears (if it is visible then).
    // A frame counts as one control whose float edit takes the focus.
    void FocusControlByName(const std::string& name);
    // The dialog's control of that name (case-insensitive; the parts of a frame are not
    // searched), or null.
    QWidget* FindControl(const std::string& name) const;
    // The first control of the shown page that Tab reaches (visible and enabled), or null.
    QWidget* FirstInputOfShownPage() const;
    // The control that takes the focus when the shown page is entered: the base gives the first
    // input; a module may give the field of the page whose value it refuses, to be put right.
    virtual QWidget* EntryInput();
    // Gives that control the focus as Tab would (a radio button keeps its choice), an edit's text
    // selected to be typed over; the dialog itself when the page has none. Opening the dialog and
    // Weiter and Zurück do this, so that typing at once goes into the page.
    void FocusFirstInput();
    // Commits the float edit that has the focus, as its focus loss would; a float edit that
    // refuses text that is no number, or a date field that must hold a date and holds none, says
    // so, keeps the focus and gives false.
    bool CommitFocusedEdit();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Whether one of the dialog's actions is being carried out, and how many have started: an
    // action is one attempt of the user, whose failure a module explains once, not again from
    // the commit of the focused edit that comes first.
    bool ActionRunning() const { return actionRunning_; }
    int ActionsStarted() const { return actionsStarted_; }

private:
    void FormCreate();
    void FormShow();
    Action* MakeAction(const char* name, const std::string& caption, void (TMainDlg::*execute)());
    TExSpeedButton* MakeButton(const char* name, int left, int width, Action* action, bool glyphRight);
    void ShowPage(int index);
    // Gives every choice box of the pages a focus mark: some styles show none on them, so that
    // Down changed a choice the user did not see was focused.
    void MarkChoiceBoxFocus();

    QPointer<QWidget> pendingFocus_;
    bool actionRunning_ = false;
    int actionsStarted_ = 0;
};

}  // namespace velmoran
