// The design module's dialog; see HsgDlg.h.
#include "hsg/ui/HsgDlg.h"

#include "framework/ui/DisplayClasses.h"
#include "framework/ui/EditFloat.h"
#include "framework/ui/Shader.h"
#include "help/HelpTopics.h"
#include "hsg/DesignInputs.h"
#include "hsg/ui/HsgHelpTopics.h"
#include "hsg/ui/HsgPar.h"
#include "hsg/ui/HsgTexts.h"
#include "memtable/DataSet.h"
#include "platform/ModalRunner.h"
#include "platform/Prompt.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLineEdit>

namespace velmoran {

namespace {

constexpr const char* kModuleName = "Bemessung nach HSG";
constexpr const char* kDefaultsNotSaved = "Die Standardwerte konnten nicht gespeichert werden.";
constexpr int kTitleHeight = 30;

// The page names the field's page where the failure names a field; a model parameter has no page
// here but a dialog of its own.
std::string ImpossibleCalculationText(const std::string& error, const std::string& page, bool parameter)
{
    const std::string where =
        !page.empty() ? "Das Feld steht auf der Seite " + Quoted(page) + "."
        : parameter   ? std::string(kWhereParametersChange)
                      : "Bitte prüfen Sie die Eingaben, besonders Zulauf, Frachten und Temperaturen.";
    return "Mit diesen Eingaben ist keine Berechnung möglich:\n" + error + "\n\n" + where;
}

}  // namespace

THSGDlg::THSGDlg(QWidget* parent) : TMainDlg(parent)
{
    setObjectName(QStringLiteral("HSGDlg"));
    ModuleName = kModuleName;
    CompanionExt = std::string(THsgModule::kCompanionExt);
    setWindowTitle(QString::fromUtf8(kModuleName));
    // The caption's "?" asks for help on the next control clicked.
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);

    DlgCancel->SetHint(LoadStr(sHsgHintCancel));
    DlgPrevious->SetHint(LoadStr(sHsgHintPrevious));
    DlgNext->SetHint(LoadStr(sHsgHintNext));
    DlgOK->SetHint(LoadStr(sHsgHintOK));

    for (int page = 0; page < kPageCount; ++page)
        AddPage(page + 1, sHsgPageTitle1 + page);
    BuildHsgPages(*PageControl1, pages_);
    AssignHelpContexts(*this, HsgHelpTopics());
    BindPages();
    PageControl1->SetActivePageIndex(0);

    // A text field takes no more than the table showing it holds: "Bearbeiter(in)" once took 255
    // characters, of which the pages showed 80.
    pages_.edBez->setMaxLength(module_.DataModul().d.FieldByName("Projekt").Size());
    pages_.edBearb->setMaxLength(module_.DataModul().d.FieldByName("Bearbeiter").Size());
    DataSets = module_.DataSets();
    FieldNames = module_.FieldNames();
    TakeModuleState();
}

THSGDlg::~THSGDlg() = default;

void THSGDlg::AddPage(int number, int titleId)
{
    const std::string title = LoadStr(titleId);
    TTabSheet* page = PageControl1->AddPage(title);
    const QString suffix = QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
    auto* band = new TShader(page);
    band->setObjectName(QStringLiteral("shPT") + suffix);
    band->SetFromColor(RGBRef(0, 0, 160));
    band->SetToColor(RGBRef(0, 0, 64));
    band->setFixedHeight(kTitleHeight);
    auto* label = new TPageTitle(band);
    label->setObjectName(QStringLiteral("lbPT") + suffix);
    // One blank keeps the text off the band's edge.
    label->setText(QStringLiteral(" ") + QString::fromStdString(title));
    // The band spans the page's width whatever the dialog's size; the page's body follows below
    // it (BuildHsgPages).
    auto* bandLayout = new QHBoxLayout(band);
    bandLayout->setContentsMargins(4, 0, 4, 0);
    bandLayout->addWidget(label);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(band);
}

void THSGDlg::TakeModuleState()
{
    Modified = module_.Modified();
    ModuleTemplateFolder = module_.ModuleTemplateFolder();
}

void THSGDlg::SetModuleTemplateFolder(const std::string& folder)
{
    module_.SetModuleTemplateFolder(folder);
    TakeModuleState();
}

bool THSGDlg::CheckAll(std::vector<std::string>& list)
{
    list.clear();
    return false;
}

bool THSGDlg::ShowMessages(const std::string& topics)
{
    MessageList = {topics};
    return CheckAll(MessageList);
}

bool THSGDlg::Exec(const std::string& command, const ModuleArgument& arg)
{
    // An arithmetic error leaves through here too: what the module changed before it still
    // shows in the base's members.
    if (OnCommand)
        OnCommand(command);
    const ScopeExit keepInStep([this] { TakeModuleState(); });
    const auto parsed = ParseModuleCommand(command);
    if (!parsed)
        return false;
    switch (*parsed) {
    case ModuleCommand::Edit:
        return EditData(arg.Text, arg.Page, arg.Mode);
    case ModuleCommand::EditParams:
        return EditParameters();
    case ModuleCommand::EditSpecial:
        return false;
    case ModuleCommand::Calculate:
        // Refused, it says so as the dialog does, with the page of the field to put right: the
        // load-case step shows it where the dialog is not open.
        try {
            return module_.Exec(command, arg);
        } catch (const ERefusedInput& refusal) {
            throw EMathError(ExplanationOf({refusal.Field(), refusal.Message()}));
        } catch (const EMathError& error) {
            throw EMathError(ExplanationOf({{}, error.Message()}));
        }
    default:
        return module_.Exec(command, arg);
    }
}

std::string THSGDlg::GetValueText(const std::string& name)
{
    return module_.GetValueText(name);
}

std::optional<std::string> THSGDlg::ImportRefusal(const TDataSet& table, const std::string& field, int row)
{
    return module_.ImportRefusal(table.Name, field, row);
}

std::function<void()> THSGDlg::KeepCalculation()
{
    return [this, kept = module_.Keep()] {
        module_.Restore(kept);
        TakeModuleState();
    };
}

bool THSGDlg::EditData(const std::string& controlName, int page, int mode)
{
    todayShownForNoDate_ = false;
    module_.TakeEditCopies();
    // Every opening starts from the records: a text typed and cancelled before (an emptied field
    // on a page not shown) would refuse Weiter and OK until the program ended.
    DiscardTyping(*this);
    if (page >= 1 && page <= PageControl1->PageCount())
        PageControl1->SetActivePageIndex(page - 1);
    if (!controlName.empty())
        FocusControlByName(controlName);
    Mode = mode;
    DlgOK->SetCaption(mode == 1 ? "&OK" : "&Fertigstellen");
    ComputePageRange();
    UpdateNavigation();
    if (ShowModal() != QDialog::Accepted) {
        // Abbruch keeps nothing it cancelled: the commands that work on the edit copies between
        // two openings (CALCULATE) see the records.
        module_.TakeEditCopies();
        return false;
    }
    KeepShownDate();
    module_.CommitEditCopies();
    return true;
}

std::optional<THSGDlg::CalculationFailure> THSGDlg::CheckCalculation(bool always)
{
    // A new calculation is checked even when nothing was typed: its defaults have no inflow.
    if (!always && Mode != 0 && !module_.EditCopiesDiffer())
        return std::nullopt;
    return Attempt([this] { module_.CheckEditCopies(); });
}

bool THSGDlg::InputAcceptable()
{
    const std::optional<CalculationFailure> failure = CheckCalculation(false);
    if (!failure)
        return true;
    Explain(*failure);
    if (QWidget* control = FieldOnShownPage(failure->Field))
        FocusField(*control);
    return false;
}

bool THSGDlg::PageLeaveAcceptable()
{
    const std::optional<CalculationFailure> failure = CheckCalculation(true);
    QWidget* control = failure ? FieldOnShownPage(failure->Field) : nullptr;
    if (!control)
        return true;
    Explain(*failure);
    FocusField(*control);
    return false;
}

void THSGDlg::Explain(const CalculationFailure& failure)
{
    if (ActionRunning()) {
        if (explainedAction_ == ActionsStarted())
            return;
        explainedAction_ = ActionsStarted();
    } else if (failure.Message == explainedMessage_) {
        return;
    }
    explainedMessage_ = failure.Message;
    Prompts().MessageDlg(ExplanationOf(failure), MsgDlgType::Error, mbOK);
}

std::string THSGDlg::ExplanationOf(const CalculationFailure& failure)
{
    const QWidget* control = ControlOfField(failure.Field);
    const int page = control ? PageIndexOfControl(control) : -1;
    return ImpossibleCalculationText(failure.Message, page >= 0 ? LoadStr(sHsgPageTitle1 + page) : "",
                                     IsParameter(failure.Field));
}

QWidget* THSGDlg::ControlOfField(const std::string& field)
{
    const bool loads = (module_.EditCommon().Block(0).Word(block::kFlags) & block::kFlagLoads) != 0;
    const bool surface = module_.EditHsg().AT() == 1;
    const std::pair<const char*, const char*> controls[] = {
        {"QD", "edQD"},
        {"SH", "edSH"},
        {"CBSBzb", loads ? "edBDBSBzb" : "edCBSBzb"},
        {"XTSzb", loads ? "edBDXTSzb" : "edXTSzb"},
        {"CTKNzb", loads ? "edBDTKNzb" : "edCTKNzb"},
        {"SNH4zb", loads ? "edBDNH4zb" : "edSNH4zb"},
        {"SNO3zb", loads ? "edBDNO3zb" : "edSNO3zb"},
        {"CPzb", loads ? "edBDPzb" : "edCPzb"},
        {"SO2zb", loads ? "edBDO2zb" : "edSO2zb"},
        {"BDBSBzb", "edBDBSBzb"},
        {"BDXTSzb", "edBDXTSzb"},
        {"BDTKNzb", "edBDTKNzb"},
        {"BDNH4zb", "edBDNH4zb"},
        {"BDNO3zb", "edBDNO3zb"},
        {"BDPzb", "edBDPzb"},
        {"BDO2zb", "edBDO2zb"},
        {"SKSzb", loads ? "edKSzb" : "edSKSzb"},
        {"TSBB", "VarTSBB"},
        {"FT", "cbxFM"},
        {"T", "VarT"},
        {"EtaPBio", "VarEtaPbio"},
        {"Beta", "VarBeta"},
        {"SFH", "VarSFH"},
        {"SNH4ANSP", "VarSNH4ansp"},
        {"SorgNan", "VarSorgNan"},
        {"SNO3an", "VarSNO3an"},
        {"SO2RF", "VarSO2RF"},
        {"cx", "VarCX"},
        {"fC", "VarFC"},
        {"fN", "VarFN"},
        {"Alpha", surface ? "VarAlphaS" : "VarAlpha"},
        {"HE", "VarHE"},
        {"SSARW", "VarSSA"},
        {"SSA100", "VarSSA100"},
    };
    for (const auto& [member, name] : controls)
        if (field == member)
            return FindControl(name);
    return nullptr;
}

QWidget* THSGDlg::FieldOnShownPage(const std::string& field)
{
    QWidget* control = ControlOfField(field);
    return control && PageIndexOfControl(control) == PageControl1->ActivePageIndex() ? control : nullptr;
}

void THSGDlg::FocusField(const QWidget& control)
{
    // After the message the dialog is the window to type in again, with or without a window
    // manager that would make it so.
    activateWindow();
    FocusControlByName(control.objectName().toStdString());
    // What is typed next replaces the value refused.
    if (auto* edit = dynamic_cast<QLineEdit*>(focusWidget()))
        edit->selectAll();
}

bool THSGDlg::EditParameters()
{
    THSGPar dialog(this);
    dialog.SetParameterBlock(module_.CurrentHsg().ParameterBlock());
    // Parameters the design refuses are refused at OK, in the dialog: they never reach the records
    // or the defaults files.
    dialog.OnCheck = [this, &dialog](const THSGPar::Block& block) {
        return module_.RefusedParameters(block, dialog.chkStdParam->isChecked());
    };
    if (Modals().Run(dialog) != mrOk)
        return true;
    if (dialog.chkStdParam->isChecked()) {
        const SaveResult saved = module_.SaveDefaultParameters(dialog.ParameterBlock());
        if (!saved)
            Prompts().MessageDlg(std::string(kDefaultsNotSaved) + "\n" + saved.Message, MsgDlgType::Error, mbOK);
    }
    try {
        module_.ApplyParameters(dialog.ParameterBlock());
    } catch (const EMathError&) {
        // The calculation was refused with the parameters before too, leaving as much uncomputed
        // (a new one has no flow yet): the parameters are taken with what the design computed, and
        // the page shows as missing what it could not.
    }
    return true;
}

}  // namespace velmoran
