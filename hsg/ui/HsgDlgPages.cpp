// The module dialog's six pages at work: each control stores the user's change into its member of
// the edit copies, a page is filled from the copies when it is entered, and its results are
// recalculated on the copies and shown after the fill and after every change.
//
// A fill sets Filling and clears it however it ends; a design that fails leaves the controls
// filled from the copies and the page's results showing "-", never the numbers of an earlier
// calculation. The results, not the fill, explain the failure, once the page shows what it
// holds, so that the dialog opens and stays open on a calculation that cannot be designed yet (a
// new one has no flow).
#include "hsg/ui/HsgDlg.h"

#include "controls/AlignedGrid.h"
#include "controls/DateEdit.h"
#include "controls/HtmlRadioButton.h"
#include "framework/ui/EditFloat.h"
#include "framework/ui/PageControl.h"
#include "framework/ui/VarFrame.h"
#include "hsg/DesignInputs.h"
#include "hsg/HsgCalculation.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/ScopeExit.h"

#include <QPointer>

#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace velmoran {

namespace {

enum Page { kGeneral, kInflow, kPhosphorus, kNitrogen, kOxygen, kAeration };

constexpr ColorRef kWarning = 0x00FFFF;  // yellow
constexpr double kLowAcidCapacity = 1.5;
constexpr double kLowPh = 6.6;
// The DV codes of the process list's items; item 0 means no denitrification.
constexpr std::array<std::uint8_t, 4> kProcessCodes = {0, 1, 3, 5};
constexpr int kFirstAerationCode = 0, kLastAerationCode = 1;
constexpr int kPrecipitantCount = 4;

void ShowText(QLabel* label, const std::string& text) { label->setText(QString::fromStdString(text)); }
void ShowFixed(QLabel* label, int width, int decimals, double value)
{
    ShowText(label, FormatFixed(width, decimals, value));
}
// A line beside the page's results, in its message box, on what the design left out and why.
void ShowNote(QFrame& box, QLabel& view, const std::string& text)
{
    view.setWordWrap(true);
    ShowText(&view, text);
    view.show();
    box.show();
}

// What became of an input the design adjusts as it goes (written back into the edit copy): the
// field shows the value the design used, and the text says so; empty when it used the value typed.
std::string ShowAdjusted(TVarFrame& frame, double typed, double used, const char* what, int decimals,
                         const char* unit, const char* why)
{
    if (used == typed)
        return {};
    frame.SetValue(used);
    return std::string(what) + " ist von " + FormatFixed(1, decimals, typed) + unit + " auf " +
           FormatFixed(1, decimals, used) + unit + (used > typed ? " angehoben: " : " gesenkt: ") + why;
}

void ShowNotApplicable(std::initializer_list<QLabel*> labels)
{
    for (QLabel* label : labels)
        ShowText(label, "-");
}

// A number as a cell of the grid's value column shows it: one too wide for the cell is a run of
// "#", as the result page shows a number it cannot print, never the digits that happen to fit.
std::string CellNumber(const TAlignedGrid& grid, int row, int width, int decimals, double value)
{
    const std::string text = FormatFixed(width, decimals, value);
    return grid.TextFits(1, row, text) ? text : std::string(static_cast<std::size_t>(width), '#');
}

// The item of the list for a code, -1 when no item has it.
int ItemOfCode(int code, int count) { return code >= 0 && code < count ? code : -1; }
int ItemOfProcess(std::uint8_t code)
{
    for (std::size_t item = 0; item < kProcessCodes.size(); ++item)
        if (kProcessCodes[item] == code)
            return static_cast<int>(item);
    return -1;
}

}  // namespace

// --- storing -------------------------------------------------------------------------------

double THSGDlg::Member(MemberRef member)
{
    switch (member.Part) {
    case RecordPart::Header:
        return module_.EditCommon().Double(member.Offset);
    case RecordPart::Block:
        return module_.EditCommon().Block(0).Double(member.Offset);
    case RecordPart::Hsg:
        break;
    }
    return module_.EditHsg().Double(member.Offset);
}

void THSGDlg::SetMember(MemberRef member, double value)
{
    switch (member.Part) {
    case RecordPart::Header:
        module_.EditCommon().SetDouble(member.Offset, value);
        return;
    case RecordPart::Block:
        module_.EditCommon().Block(0).SetDouble(member.Offset, value);
        return;
    case RecordPart::Hsg:
        module_.EditHsg().SetDouble(member.Offset, value);
        return;
    }
}

void THSGDlg::BindNumber(TEditFloat* edit, MemberRef member)
{
    edit->OnValidate = [this, member](TEditFloat* sender) {
        SetMember(member, sender->Value());
        NumberChanged(*sender);
    };
}

void THSGDlg::NumberChanged(TEditFloat& edit)
{
    if (Filling)
        return;
    const std::optional<CalculationFailure> failure = RecalculatePage();
    if (!failure)
        return;
    QWidget* field = FieldOnShownPage(failure->Field);
    auto* frame = dynamic_cast<TVarFrame*>(field);
    const bool refusedHere = field == &edit || (frame && frame->Edit == &edit);
    // A new value for the field refused is a new attempt: it is answered again, not only once
    // since the page was entered.
    if (refusedHere)
        explainedMessage_.clear();
    Explain(*failure);
    if (!refusedHere)
        return;
    // The correction belongs where the refused value stands. A Tab or a click that committed the
    // value is still moving the focus on: it comes back once that has finished.
    QPointer<QWidget> refused(field);
    QMetaObject::invokeMethod(
        this,
        [this, refused] {
            if (refused && isVisible() && refused->isVisibleTo(this))
                FocusField(*refused);
        },
        Qt::QueuedConnection);
}

void THSGDlg::BindPages()
{
    THsgPageControls& c = pages_;
    using enum RecordPart;
    QObject::connect(c.edBez, &QLineEdit::textEdited, this, [this](const QString& text) {
        module_.EditCommon().SetString(common::kProjekt, text.toStdString());
        ValueChanged();
    });
    QObject::connect(c.edBearb, &QLineEdit::textEdited, this, [this](const QString& text) {
        module_.EditCommon().SetString(common::kBearbeiter, text.toStdString());
        ValueChanged();
    });
    // The date edit reports the fill's writing too: only the user's change is stored, and only
    // a date (text that is none would read as today).
    c.edDatum->OnChange = [this](QWidget*) {
        if (Filling || !pages_.edDatum->HoldsDate())
            return;
        module_.EditCommon().SetDouble(common::kDatum, pages_.edDatum->GetDate());
        ValueChanged();
    };
    // Checking a button in a fill clicks it too; only the user's click stores.
    c.rbKonz->OnClick = [this](QWidget*) {
        if (Filling)
            return;
        TLoadCaseBlock block = module_.EditCommon().Block(0);
        block.SetWord(block::kFlags, static_cast<std::uint16_t>(block.Word(block::kFlags) & 0x7F));
        ValueChanged();
    };
    c.rbFracht->OnClick = [this](QWidget*) {
        if (Filling)
            return;
        TLoadCaseBlock block = module_.EditCommon().Block(0);
        block.SetWord(block::kFlags, static_cast<std::uint16_t>(block.Word(block::kFlags) | block::kFlagLoads));
        ValueChanged();
    };

    BindNumber(c.edQD, {Block, block::kQD});
    const std::array<MemberRef, 8> concentrations = {{{Block, block::kCBSBzb}, {Block, block::kXTSzb},
                                                      {Block, block::kCTKNzb}, {Block, block::kSNH4zb},
                                                      {Block, block::kSNO3zb}, {Block, block::kCPzb},
                                                      {Hsg, hsg::kSO2zb}, {Block, block::kSKSzb}}};
    const std::array<MemberRef, 8> loads = {{{Block, block::kBDBSBzb}, {Block, block::kBDXTSzb},
                                             {Block, block::kBDTKNzb}, {Block, block::kBDNH4zb},
                                             {Block, block::kBDNO3zb}, {Block, block::kBDPzb},
                                             {Hsg, hsg::kBDO2zb}, {Block, block::kSKSzb}}};
    for (std::size_t row = 0; row < 8; ++row) {
        BindNumber(c.Konz[row], concentrations[row]);
        BindNumber(c.Fracht[row], loads[row]);
    }
    BindNumber(c.edSH, {Hsg, hsg::kSH});

    BindNumber(c.VarTSBB->Edit, {Block, block::kTSBB});
    BindNumber(c.VarT->Edit, {Block, block::kT});
    BindNumber(c.VarEtaPbio->Edit, {Hsg, hsg::kEtaPBio});
    BindNumber(c.VarBeta->Edit, {Block, block::kBeta});
    // A list stores only the user's pick, never a fill's selection.
    QObject::connect(c.cbxFM, &QComboBox::activated, this, [this](int item) {
        module_.EditCommon().SetByte(common::kFT, static_cast<std::uint8_t>(item));
        ValueChanged();
    });

    BindNumber(c.VarSFH->Edit, {Hsg, hsg::kSFH});
    BindNumber(c.VarSNH4ansp->Edit, {Hsg, hsg::kSNH4ANSP});
    BindNumber(c.VarSorgNan->Edit, {Block, block::kSorgNan});
    BindNumber(c.VarSNO3an->Edit, {Block, block::kSNO3an});
    BindNumber(c.VarSO2RF->Edit, {Hsg, hsg::kSO2RF});
    QObject::connect(c.cbxDV, &QComboBox::activated, this, [this](int item) { StoreProcess(item); });

    BindNumber(c.VarCX->Edit, {Block, block::kcx});
    BindNumber(c.VarFC->Edit, {Block, block::kfC});
    BindNumber(c.VarFN->Edit, {Block, block::kfN});

    QObject::connect(c.cbxAT, &QComboBox::activated, this, [this](int item) {
        module_.EditHsg().SetAT(static_cast<std::uint8_t>(item));
        ShowAerationPage(item);
        ValueChanged();
    });
    BindNumber(c.VarHE->Edit, {Header, common::kHE});
    BindNumber(c.VarAlpha->Edit, {Hsg, hsg::kAlpha});
    BindNumber(c.VarAlphaS->Edit, {Hsg, hsg::kAlpha});
    BindNumber(c.VarSSA->Edit, {Hsg, hsg::kSSARW});
    BindNumber(c.VarSSA100->Edit, {Hsg, hsg::kSSA100});
    BindNumber(c.VarOP100->Edit, {Hsg, hsg::kOP100});
}

void THSGDlg::StoreProcess(int item)
{
    if (item < 0 || item >= static_cast<int>(kProcessCodes.size()))
        return;
    module_.EditCommon().Block(0).SetByte(block::kProcess, kProcessCodes[static_cast<std::size_t>(item)]);
    module_.EditCommon().SetBits(common::kOptionB, common::kBitDN, 1, item > 0 ? 1 : 0);
    ValueChanged();
}

void THSGDlg::ValueChanged()
{
    if (!Filling)
        ShowPageResults();
}

std::optional<THSGDlg::CalculationFailure> THSGDlg::Attempt(const std::function<void()>& work)
{
    try {
        work();
        return std::nullopt;
    } catch (const ERefusedInput& refusal) {
        return CalculationFailure{refusal.Field(), refusal.Message()};
    } catch (const Exception& error) {
        return CalculationFailure{{}, error.Message()};
    }
}

std::optional<THSGDlg::CalculationFailure> THSGDlg::RunDesign()
{
    return Attempt([this] { HsgDesign(module_.EditCommon(), module_.EditHsg()); });
}

// --- filling -------------------------------------------------------------------------------

void THSGDlg::FillPage()
{
    explainedMessage_.clear();
    Filling = true;
    const ScopeExit filled([this] { Filling = false; });
    loadInput_ = (module_.EditCommon().Block(0).Word(block::kFlags) & block::kFlagLoads) != 0;
    switch (PageControl1->ActivePageIndex()) {
    case kGeneral:
        FillGeneral();
        break;
    case kInflow:
        FillInflow();
        break;
    case kPhosphorus:
        FillPhosphorus();
        break;
    case kNitrogen:
        FillNitrogen();
        break;
    case kOxygen:
        FillOxygen();
        break;
    case kAeration:
        FillAeration();
        break;
    default:
        break;
    }
}

void THSGDlg::FillGeneral()
{
    const TCommonRecord& common = module_.EditCommon();
    pages_.edBez->setText(QString::fromStdString(common.String(common::kProjekt)));
    pages_.edBearb->setText(QString::fromStdString(common.String(common::kBearbeiter)));
    ShowDate(common.Double(common::kDatum));
    pages_.rbFracht->SetChecked(loadInput_);
    pages_.rbKonz->SetChecked(!loadInput_);
}

void THSGDlg::ShowDate(double stored)
{
    pages_.edDatum->SetDate(stored);
    todayShownForNoDate_ = stored == NullDate || !ValidDate(stored);
}

void THSGDlg::KeepShownDate()
{
    const double stored = module_.EditCommon().Double(common::kDatum);
    if (!todayShownForNoDate_ || (stored != NullDate && ValidDate(stored)))
        return;
    const bool otherChanges = module_.EditCopiesDiffer();
    module_.EditCommon().SetDouble(common::kDatum, pages_.edDatum->GetDate());
    if (otherChanges)
        return;  // OK checked them as they are
    // Only the date is new: it goes in with a calculation, which a calculation that cannot be
    // designed yet (no inflow) does not allow; that one stays as it was.
    try {
        module_.CheckEditCopies();
    } catch (const Exception&) {
        module_.EditCommon().SetDouble(common::kDatum, stored);
    }
}

void THSGDlg::FillInflow()
{
    MessagePanel = pages_.MsgBoxZB;
    MessageView = pages_.MsgZB;
    const TConstLoadCaseBlock block = std::as_const(module_).EditCommon().Block(0);
    const THSGRecord& hsgRecord = module_.EditHsg();
    pages_.edQD->SetValue(block.Double(block::kQD));
    if (loadInput_) {
        pages_.pcKF->SetActivePageIndex(pages_.tsFracht->PageIndex());
        const std::array<double, 8> loads = {block.Double(block::kBDBSBzb), block.Double(block::kBDXTSzb),
                                             block.Double(block::kBDTKNzb), block.Double(block::kBDNH4zb),
                                             block.Double(block::kBDNO3zb), block.Double(block::kBDPzb),
                                             hsgRecord.Double(hsg::kBDO2zb),   block.Double(block::kSKSzb)};
        for (std::size_t row = 0; row < loads.size(); ++row)
            pages_.Fracht[row]->SetValue(loads[row]);
    } else {
        pages_.pcKF->SetActivePageIndex(pages_.tsKonz->PageIndex());
        const std::array<std::pair<const char*, double>, 7> concentrations = {{
            {"#####0", block.Double(block::kCBSBzb)},
            {"#####0", block.Double(block::kXTSzb)},
            {"###0.0", block.Double(block::kCTKNzb)},
            {"###0.0", block.Double(block::kSNH4zb)},
            {"###0.0", block.Double(block::kSNO3zb)},
            {"###0.0", block.Double(block::kCPzb)},
            {"###0.0", hsgRecord.Double(hsg::kSO2zb)},
        }};
        // A value that is no number shows as the edit shows it: an empty field, not "NAN".
        for (std::size_t row = 0; row < concentrations.size(); ++row) {
            const auto [format, value] = concentrations[row];
            if (std::isfinite(value))
                pages_.Konz[row]->SetAsString(FormatFloat(format, value));
            else
                pages_.Konz[row]->SetValue(value);
        }
        pages_.Konz[7]->SetValue(block.Double(block::kSKSzb));
    }
    pages_.edSH->SetValue(hsgRecord.Double(hsg::kSH));
}

void THSGDlg::FillPhosphorus()
{
    MessagePanel = pages_.MsgBoxV1;
    MessageView = pages_.MsgV1;
    // The results explain a failure, once the page shows what it holds.
    RunDesign();
    const TConstLoadCaseBlock block = std::as_const(module_).EditCommon().Block(0);
    pages_.VarTSBB->SetValue(block.Double(block::kTSBB));
    pages_.VarT->SetValue(block.Double(block::kT));
    pages_.VarEtaPbio->SetValue(module_.EditHsg().Double(hsg::kEtaPBio));
    pages_.cbxFM->setCurrentIndex(ItemOfCode(module_.EditCommon().ByteAt(common::kFT), kPrecipitantCount));
    pages_.VarBeta->SetValue(block.Double(block::kBeta));
}

void THSGDlg::FillNitrogen()
{
    RunDesign();
    MessageView = pages_.MsgV2;
    const TConstLoadCaseBlock block = std::as_const(module_).EditCommon().Block(0);
    const THSGRecord& hsgRecord = module_.EditHsg();
    pages_.VarSFH->SetValue(hsgRecord.Double(hsg::kSFH));
    pages_.VarSNH4ansp->SetValue(hsgRecord.Double(hsg::kSNH4ANSP));
    pages_.VarSorgNan->SetValue(block.Double(block::kSorgNan));
    // The box reads the same four bits as the nitrate fields. A code it has no item for shows no
    // item, as the precipitant box does: the item left from before ("Keine Denitrifikation" beside
    // a denitrified share) would be a process the calculation does not hold.
    pages_.cbxDV->setCurrentIndex(
        ItemOfProcess(static_cast<std::uint8_t>(block.Bits(block::kProcess, block::kShiftDV, block::kCountDV))));
    ShowNitrogenFrames();
    pages_.VarSNO3an->SetValue(block.Double(block::kSNO3an));
    pages_.VarSO2RF->SetValue(hsgRecord.Double(hsg::kSO2RF));
}

void THSGDlg::FillOxygen()
{
    const TConstLoadCaseBlock block = std::as_const(module_).EditCommon().Block(0);
    pages_.VarCX->SetValue(block.Double(block::kcx));
    pages_.VarFC->SetValue(block.Double(block::kfC));
    pages_.VarFN->SetValue(block.Double(block::kfN));
}

void THSGDlg::FillAeration()
{
    MessagePanel = pages_.MsgBoxKS;
    MessageView = pages_.MsgKS;
    const THSGRecord& hsgRecord = module_.EditHsg();
    const int at = hsgRecord.AT();
    pages_.cbxAT->setCurrentIndex(ItemOfCode(at, kLastAerationCode + 1));
    ShowAerationPage(at);
    pages_.VarSSA->SetValue(hsgRecord.Double(hsg::kSSARW));
    pages_.VarSSA100->SetValue(hsgRecord.Double(hsg::kSSA100));
    pages_.VarHE->SetValue(module_.EditCommon().Double(common::kHE));
    pages_.VarAlpha->SetValue(hsgRecord.Double(hsg::kAlpha));
    pages_.VarOP100->SetValue(hsgRecord.Double(hsg::kOP100));
    pages_.VarAlphaS->SetValue(hsgRecord.Double(hsg::kAlpha));
}

void THSGDlg::ShowAerationPage(int at)
{
    const bool known = at >= kFirstAerationCode && at <= kLastAerationCode;
    pages_.pcAeration->setVisible(known);
    if (known)
        pages_.pcAeration->SetActivePageIndex(at);
}

// --- live results --------------------------------------------------------------------------

void THSGDlg::ShowPageResults()
{
    // Said once the page shows "-" where it has no numbers: never beside another calculation's.
    const std::optional<CalculationFailure> failure = RecalculatePage();
    refusedOnPage_ = failure ? failure->Field : std::string();
    if (failure)
        Explain(*failure);
}

QWidget* THSGDlg::EntryInput()
{
    QWidget* field = FieldOnShownPage(refusedOnPage_);
    if (auto* frame = dynamic_cast<TVarFrame*>(field))
        field = frame->Edit;
    if (field && field->isVisibleTo(this) && field->isEnabled())
        return field;
    return TMainDlg::EntryInput();
}

std::optional<THSGDlg::CalculationFailure> THSGDlg::RecalculatePage()
{
    std::optional<CalculationFailure> failure;
    switch (PageControl1->ActivePageIndex()) {
    case kInflow:
        failure = Attempt([this] { ConvertConcentrationsLoads(module_.EditCommon(), module_.EditHsg()); });
        if (MessagePanel)
            MessagePanel->setVisible(ShowMessages("ZB;T1"));
        break;
    case kPhosphorus:
        failure = ShowPhosphorusResults();
        break;
    case kNitrogen:
        failure = ShowNitrogenResults();
        break;
    case kOxygen:
        failure = ShowOxygenResults();
        break;
    case kAeration:
        failure = ShowAerationResults();
        break;
    default:
        break;
    }
    return failure;
}

void THSGDlg::ShowPhosphorusFrames()
{
    pages_.VarBeta->setVisible(module_.EditCommon().ByteAt(common::kFT) > 0);
}

void THSGDlg::ShowNitrogenFrames()
{
    const unsigned dv = module_.EditCommon().Block(0).Bits(block::kProcess, block::kShiftDV, block::kCountDV);
    pages_.VarSNO3an->setVisible(dv > 0);
    pages_.VarSO2RF->setVisible(dv == 1);
}

std::optional<THSGDlg::CalculationFailure> THSGDlg::ShowPhosphorusResults()
{
    THsgPageControls& c = pages_;
    if (MessageView)
        MessageView->hide();
    c.MsgBoxV1->hide();
    ShowPhosphorusFrames();
    ShowNotApplicable({c.stPF, c.stFM});
    const double removalTyped = module_.EditHsg().Double(hsg::kEtaPBio);
    if (std::optional<CalculationFailure> failure = RunDesign()) {
        ShowNotApplicable({c.stCPzb, c.stXPBM, c.stSPO4an});
        return failure;
    }
    const std::string lowered =
        ShowAdjusted(*c.VarEtaPbio, removalTyped, module_.EditHsg().Double(hsg::kEtaPBio),
                     "Die biologische Phosphorentfernung", 1, " %",
                     "Mehr Phosphor, als der Zulauf bringt, lässt sich nicht entfernen.");
    if (!lowered.empty())
        ShowNote(*c.MsgBoxV1, *c.MsgV1, lowered);
    const TConstLoadCaseBlock block = std::as_const(module_).EditCommon().Block(0);
    const bool precipitation = module_.EditCommon().ByteAt(common::kFT) > 0;
    ShowFixed(c.stCPzb, 5, 2, block.Double(block::kCPzb));
    ShowFixed(c.stXPBM, 5, 2, block.Double(block::kXPBM));
    if (precipitation)
        ShowFixed(c.stPF, 5, 2, block.Double(block::kXPF));
    if (precipitation)
        ShowFixed(c.stFM, 5, 1, block.Double(block::kFM));
    // The biomass binds more phosphorus than the inflow brings: the design goes on without the
    // effluent phosphate, and the page says why it shows none.
    if (const std::optional<std::string> why = EffluentPhosphateNotComputed(module_.EditCommon(), module_.EditHsg())) {
        ShowText(c.stSPO4an, "#");
        ShowNote(*c.MsgBoxV1, *c.MsgV1, *why);
        return std::nullopt;
    }
    ShowFixed(c.stSPO4an, 5, 2, block.Double(block::kSPO4an));
    return std::nullopt;
}

std::optional<THSGDlg::CalculationFailure> THSGDlg::ShowNitrogenResults()
{
    THsgPageControls& c = pages_;
    if (MessageView)
        MessageView->hide();
    c.MsgBoxV2->hide();
    ShowNitrogenFrames();
    ShowNotApplicable({c.resRF, c.resUESC, c.resUESF, c.resUES});
    const double safetyTyped = module_.EditHsg().Double(hsg::kSFH);
    if (std::optional<CalculationFailure> failure = RunDesign()) {
        ShowNotApplicable({c.resTTS, c.resVBB, c.resVDV, c.resVN, c.resVD, c.resXNBM, c.resSNH4N, c.resSNO3D});
        return failure;
    }
    const TConstLoadCaseBlock block = std::as_const(module_).EditCommon().Block(0);
    const double volume = module_.EditCommon().Double(common::kVBB);
    const double tts = block.Double(block::kTTS);
    ShowFixed(c.resTTS, 5, 2, tts);
    ShowFixed(c.resVBB, 5, 0, volume);
    ShowFixed(c.resVDV, 5, 0, 100 * block.Double(block::kVdV));
    ShowFixed(c.resVN, 5, 0, volume - block.Double(block::kVD));
    ShowFixed(c.resVD, 5, 0, block.Double(block::kVD));
    if (block.Bits(block::kProcess, block::kShiftDV, block::kCountDV) == 1)
        ShowFixed(c.resRF, 5, 0, 100 * block.Double(block::kRF));
    ShowFixed(c.resXNBM, 5, 1, block.Double(block::kXNBM));
    ShowFixed(c.resSNH4N, 5, 1, block.Double(block::kSNH4n));
    ShowFixed(c.resSNO3D, 5, 1, block.Double(block::kSNO3d));
    if (tts > 0) {
        const double carbon = block.Double(block::kMH) + module_.EditHsg().Double(hsg::kMA) + block.Double(block::kMI);
        const double precipitation = block.Double(block::kMF);
        ShowFixed(c.resUESC, 5, 1, carbon / tts);
        ShowFixed(c.resUESF, 5, 1, precipitation / tts);
        ShowFixed(c.resUES, 5, 1, (carbon + precipitation) / tts);
    }
    std::string notes =
        ShowAdjusted(*c.VarSFH, safetyTyped, module_.EditHsg().Double(hsg::kSFH), "Der Sicherheitsfaktor", 2, "",
                     "Unter 1 würde das Schlammalter kürzer bemessen, als die Nitrifikanten brauchen.");
    // Nothing to denitrify: the page says why it shows no denitrification volume.
    if (const std::optional<std::string> why = NothingToDenitrify(module_.EditCommon(), module_.EditHsg()))
        notes += (notes.empty() ? "" : "\n") + *why;
    if (!notes.empty())
        ShowNote(*c.MsgBoxV2, *c.MsgV2, notes);
    return std::nullopt;
}

std::optional<THSGDlg::CalculationFailure> THSGDlg::ShowOxygenResults()
{
    THsgPageControls& c = pages_;
    if (std::optional<CalculationFailure> failure = RunDesign()) {
        ShowNotApplicable({c.lbOVc, c.lbOVn, c.lbOVd, c.lbOV, c.lbOVh, c.lbOCh});
        return failure;
    }
    const TConstLoadCaseBlock block = std::as_const(module_).EditCommon().Block(0);
    const double carbon = block.Double(block::kOVcb);
    const double nitrification = block.Double(block::kOVn);
    const double denitrification = block.Double(block::kOVd);
    ShowFixed(c.lbOVc, 5, 0, carbon);
    ShowFixed(c.lbOVn, 5, 0, nitrification);
    ShowFixed(c.lbOVd, 5, 0, denitrification);
    ShowFixed(c.lbOV, 5, 0, carbon + nitrification + denitrification);
    ShowFixed(c.lbOVh, 5, 1, block.Double(block::kOVh));
    ShowFixed(c.lbOCh, 5, 1, block.Double(block::kOCh));
    return std::nullopt;
}

std::optional<THSGDlg::CalculationFailure> THSGDlg::ShowAerationResults()
{
    THsgPageControls& c = pages_;
    if (MessagePanel)
        MessagePanel->setVisible(ShowMessages("PH"));
    c.pnlQLN->setVisible(module_.EditHsg().AT() == 0);
    std::optional<CalculationFailure> failure = RunDesign();
    if (!failure) {
        ShowFixed(c.lbOCRW, 6, 1, module_.EditHsg().Double(hsg::kOChRW));
        ShowFixed(c.lbQLN, 6, 0, module_.EditHsg().Double(hsg::kQLN));
    } else {
        ShowNotApplicable({c.lbOCRW, c.lbQLN});
    }
    ShowAcidCapacity(!failure);
    return failure;
}

void THSGDlg::ShowAcidCapacity(bool designed)
{
    TAlignedGrid& grid = *pages_.KSGrid;
    const ColorRef normal = grid.Color();
    grid.BrushCell(1, kKSRowEffluent)->SetColor(normal);
    grid.BrushCell(1, kKSRowPh)->SetColor(normal);
    if (!designed) {
        for (int row = 0; row < kKSRows; ++row)
            grid.SetCells(1, row, "-");
        return;
    }
    const TCommonRecord& common = module_.EditCommon();
    const TConstLoadCaseBlock block = common.Block(0);
    const THSGRecord& hsgRecord = module_.EditHsg();
    const double beta = block.Double(block::kBeta);
    const double precipitated = block.Double(block::kXPF);
    const double effluent = block.Double(block::kSKSan);
    const std::array<double, kKSRowEffluent + 1> balance = {
        block.Double(block::kSKSzb),
        (block.Double(block::kCTKNzb) - block.Double(block::kSNH4zb)) * 0.07,
        -(block.Double(block::kXNBM) + block.Double(block::kSorgNan)) * 0.07,
        -block.Double(block::kSNH4n) * 0.14,
        0.07 * block.Double(block::kSNO3d),
        -hsgRecord.Double(hsg::kfKS) / 61 * beta * precipitated + 0.03 * precipitated,
        effluent,
    };
    for (std::size_t row = 0; row < balance.size(); ++row)
        grid.SetCells(1, static_cast<int>(row), CellNumber(grid, static_cast<int>(row), 5, 2, balance[row]));
    if (effluent < kLowAcidCapacity)
        grid.BrushCell(1, kKSRowEffluent)->SetColor(kWarning);
    if (!PhApplies(common, 0, hsgRecord)) {
        grid.SetCells(1, kKSRowPh, "-");
        return;
    }
    const double ph = block.Double(block::kpH);
    grid.SetCells(1, kKSRowPh, CellNumber(grid, kKSRowPh, 4, 2, ph));
    if (ph < kLowPh)
        grid.BrushCell(1, kKSRowPh)->SetColor(kWarning);
}

}  // namespace velmoran
