// The design module's dialog; see HsgDlg.h.
#include "hsg/ui/HsgDlg.h"

#include "framework/ui/DisplayClasses.h"
#include "framework/ui/Shader.h"
#include "help/HelpTopics.h"
#include "hsg/ui/HsgHelpTopics.h"
#include "hsg/ui/HsgPar.h"
#include "hsg/ui/HsgTexts.h"
#include "platform/ModalRunner.h"
#include "platform/Prompt.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ScopeExit.h"

#include <QBoxLayout>
#include <QCheckBox>

namespace velmoran {

namespace {

constexpr const char* kModuleName = "Bemessung nach HSG";
constexpr const char* kDefaultsNotSaved = "Die Standardwerte konnten nicht gespeichert werden.";
constexpr int kTitleHeight = 30;

std::string ImpossibleCalculationText(const std::string& error)
{
    return "Mit diesen Eingaben ist keine Berechnung möglich:\n" + error +
           "\n\nBitte prüfen Sie die Eingaben, besonders Zulauf, Frachten und Temperaturen.";
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
    default:
        return module_.Exec(command, arg);
    }
}

std::string THSGDlg::GetValueText(const std::string& name)
{
    return module_.GetValueText(name);
}

bool THSGDlg::EditData(const std::string& controlName, int page, int mode)
{
    todayShownForNoDate_ = false;
    module_.TakeEditCopies();
    if (page >= 1 && page <= PageControl1->PageCount())
        PageControl1->SetActivePageIndex(page - 1);
    if (!controlName.empty())
        FocusControlByName(controlName);
    Mode = mode;
    DlgOK->SetCaption(mode == 1 ? "&OK" : "&Fertigstellen");
    ComputePageRange();
    UpdateNavigation();
    if (ShowModal() != QDialog::Accepted)
        return false;
    KeepShownDate();
    module_.CommitEditCopies();
    return true;
}

bool THSGDlg::InputAcceptable()
{
    try {
        // A new calculation is checked even when nothing was typed: its defaults have no inflow.
        if (Mode == 0 || module_.EditCopiesDiffer())
            module_.CheckEditCopies();
        return true;
    } catch (const Exception& error) {
        Prompts().MessageDlg(ImpossibleCalculationText(error.Message()), MsgDlgType::Error, mbOK);
        return false;
    }
}

bool THSGDlg::EditParameters()
{
    THSGPar dialog(this);
    dialog.SetParameterBlock(module_.CurrentHsg().ParameterBlock());
    if (Modals().Run(dialog) != mrOk)
        return true;
    if (dialog.chkStdParam->isChecked()) {
        const SaveResult saved = module_.SaveDefaultParameters(dialog.ParameterBlock());
        if (!saved)
            Prompts().MessageDlg(std::string(kDefaultsNotSaved) + "\n" + saved.Message, MsgDlgType::Error, mbOK);
    }
    module_.ApplyParameters(dialog.ParameterBlock());
    return true;
}

}  // namespace velmoran
