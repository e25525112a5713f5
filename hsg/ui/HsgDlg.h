// THSGDlg: the design module as the main window sees it. A module dialog of six input pages that
// owns the module's data (one THsgModule), hands it the data commands and carries out the two
// commands that need a window: EDIT, the input dialog over edit copies that are committed with a
// recalculation when they differ, and EDITPARAMS, the model-parameter dialog whose block is
// committed with a recalculation and may also become the module's defaults.
//
// The six pages (HsgPages.h) edit the edit copies: each control stores into its member on the
// user's change and the active page's results are recalculated on the copies and shown at once.
// A refresh whose design fails shows "-" for its results and explains why as OK does, naming the
// field where the design names it: once for each action of the user (OK, Weiter, Zurück), once
// for each value typed into the field it refuses (which takes the focus back, its text selected)
// and once for each other failure since the page was entered. Weiter and Zurück keep a page whose
// own input the design refuses.
//
// The base keeps Modified, ModuleTemplateFolder, DataSets and FieldNames as members of its own
// for the main window to read; this dialog keeps them equal to the module's after every command.
#pragma once

#include "framework/ui/MainDlg.h"
#include "hsg/HsgModule.h"
#include "hsg/ui/HsgPages.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmoran {

class THSGDlg : public TMainDlg {
public:
    static constexpr int kPageCount = 6;

    explicit THSGDlg(QWidget* parent = nullptr);
    ~THSGDlg() override;

    THsgModule& Module() { return module_; }
    // The controls of the six pages.
    THsgPageControls& Pages() { return pages_; }

    void SetModuleTemplateFolder(const std::string& folder) override;
    // The module has no check topics: the list is cleared and the answer is false.
    bool CheckAll(std::vector<std::string>& list) override;
    // Puts the topics into MessageList and checks them: nothing to show, the answer is false.
    bool ShowMessages(const std::string& topics) override;
    // The command entry (compared in upper case). EDIT and EDITPARAMS are carried out here, the
    // data commands by the module; EDITSPECIAL and texts that are no command answer false.
    // Arithmetic errors of the calculation leave Exec for the application's error display.
    bool Exec(const std::string& command, const ModuleArgument& arg = {}) override;
    // Hears every text the command entry receives, as sent, before it is carried out.
    std::function<void(const std::string& command)> OnCommand;
    std::string GetValueText(const std::string& name) override;
    std::optional<std::string> ImportRefusal(const TDataSet& table, const std::string& field, int row) override;
    // Puts the module's calculation back as it is now.
    std::function<void()> KeepCalculation() override;
    // OK and "Fertigstellen": input whose calculation fails is refused with a German message
    // naming the error, and the field and its page where the design names one; the dialog stays
    // on its page with every value typed, the focus on the field when it stands there.
    bool InputAcceptable() override;
    // Weiter and Zurück: input of the page shown that the design refuses keeps the page, with the
    // explanation and the focus on the field. Input refused on another page lets the page go; the
    // page entered explains it where it has results.
    bool PageLeaveAcceptable() override;

    // EDIT: the input dialog on fresh edit copies, opened on page `page` (counted from 1; a page
    // outside 1 ... 6 keeps the page shown last) and on the named control. OK commits the copies
    // when they differ and answers true; Cancel and the close button answer false.
    bool EditData(const std::string& controlName, int page, int mode);
    // EDITPARAMS: the parameter dialog on the current record's block. OK refuses a block the
    // design refuses, in the dialog, naming the field. OK with the check box saves the defaults
    // first (a failure is shown, the rest goes on); OK always commits the block, recalculated where
    // the design computes it. The answer is true.
    bool EditParameters();

    // Fills the shown page from the edit copies (Filling is set meanwhile, and cleared however the
    // fill ends); pages 3 and 4 run the design first.
    void FillPage() override;
    // Recalculates the shown page's results on the edit copies and shows them.
    void ShowPageResults() override;
    // The field of the shown page whose value its results refused, when the page is entered (a
    // number that is none from a file), else the page's first input.
    QWidget* EntryInput() override;
    // After a store into the edit copies: refreshes the results unless a fill is running.
    void ValueChanged();
    // After the user committed a number: as ValueChanged; when the design refuses that very
    // field, it says so again and the field takes the focus back, its text selected.
    void NumberChanged(TEditFloat& edit);

private:
    // Where a float control's member lies: the header of the common edit copy, its block 0, or
    // the module's edit copy.
    enum class RecordPart { Header, Block, Hsg };
    struct MemberRef {
        RecordPart Part;
        std::size_t Offset;
    };

    void AddPage(int number, int titleId);
    // Connects every control's change to the store into its member.
    void BindPages();
    void BindNumber(TEditFloat* edit, MemberRef member);
    double Member(MemberRef member);
    void SetMember(MemberRef member, double value);
    // Why the calculation of the edit copies fails: the member the design refused (empty when the
    // failure names none) and the message.
    struct CalculationFailure {
        std::string Field;
        std::string Message;
    };
    // The failure of the whole calculation on copies of the edit copies; none when it succeeds.
    // Unchanged copies of a stored calculation (Mode 1) are not checked unless `always`.
    std::optional<CalculationFailure> CheckCalculation(bool always);
    // Runs work; why it failed, or none when it ended normally.
    static std::optional<CalculationFailure> Attempt(const std::function<void()>& work);
    std::optional<CalculationFailure> RunDesign();
    // Recalculates and shows the shown page's results; why the calculation failed, unexplained.
    std::optional<CalculationFailure> RecalculatePage();
    // The German explanation of a failure, once an action of the user or once a message since
    // the page was entered.
    void Explain(const CalculationFailure& failure);
    // That explanation: the failure, and the page of the field it names or where to look.
    std::string ExplanationOf(const CalculationFailure& failure);
    // The control that edits the member on the pages, or null.
    QWidget* ControlOfField(const std::string& field);
    // The control of the field when it stands on the page shown, or null.
    QWidget* FieldOnShownPage(const std::string& field);
    // Gives the control the focus, its text selected, in the window to type in again.
    void FocusField(const QWidget& control);

    void FillGeneral();
    // Shows the stored date; no date (or one the field cannot show) shows as today.
    void ShowDate(double stored);
    // On OK: a calculation without a date keeps the date its field showed, so that the page and
    // the printout say what the dialog said. A date the user never saw is not invented.
    void KeepShownDate();
    void FillInflow();
    void FillPhosphorus();
    void FillNitrogen();
    void FillOxygen();
    void FillAeration();
    // Each shows "-" where its design fails, and tells why.
    std::optional<CalculationFailure> ShowPhosphorusResults();
    std::optional<CalculationFailure> ShowNitrogenResults();
    std::optional<CalculationFailure> ShowOxygenResults();
    std::optional<CalculationFailure> ShowAerationResults();
    void ShowAcidCapacity(bool designed);
    // The aeration page of code AT; a code without a page shows neither.
    void ShowAerationPage(int at);
    // The visibility of the process-dependent frames and of the air-flow panel.
    void ShowPhosphorusFrames();
    void ShowNitrogenFrames();

    void StoreProcess(int item);
    // The base's copies of the module's state, brought up to date.
    void TakeModuleState();

    THsgModule module_;
    THsgPageControls pages_;
    // Whether block 0 says the inflow was entered as daily loads; read by every fill.
    bool loadInput_ = false;
    // The field the shown page's results refused last (empty: none).
    std::string refusedOnPage_;
    // The message explained last since the page was entered, and the action that explained one.
    std::string explainedMessage_;
    int explainedAction_ = -1;
    // The date field showed today for a calculation without a date since the dialog opened.
    bool todayShownForNoDate_ = false;
};

}  // namespace velmoran
