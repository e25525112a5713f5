// The model-parameter dialog; see HsgPar.h.
#include "hsg/ui/HsgPar.h"

#include "controls/SpeedButton.h"
#include "framework/RecordBytes.h"
#include "framework/RecordMembers.h"
#include "framework/ui/EditFloat.h"
#include "framework/ui/MainDlg.h"
#include "framework/ui/PageControl.h"
#include "help/HelpTopics.h"
#include "help/WhatsThis.h"
#include "hsg/ui/HsgHelpTopics.h"
#include "platform/Prompt.h"
#include "platform/QtCanvas.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace velmoran {

namespace {

constexpr int kWidth = 440;
constexpr int kPageHeight = 330;
constexpr int kCheckHeight = 28;
constexpr int kNavigateHeight = 25;
constexpr int kRowHeight = 26;
constexpr int kGroupTop = 20;
constexpr int kButtonWidth = 82;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// A group box of `rows` rows at `top` on the page.
QGroupBox* AddGroup(QWidget& page, const char* name, const char* caption, int top, int rows)
{
    auto* group = new QGroupBox(Text(caption), &page);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(8, top, kWidth - 16, kGroupTop + rows * kRowHeight + 8);
    return group;
}

}  // namespace

THSGPar::THSGPar(QWidget* parent) : TVParamDlg(parent)
{
    setObjectName(QStringLiteral("HSGPar"));
    setWindowTitle(QStringLiteral("Parameter"));
    // The caption's "?" (where the window manager draws one) and the band's own button both start
    // context help.
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setFixedSize(kWidth, kPageHeight + kCheckHeight + kNavigateHeight);
    TFont dialogFont;
    setFont(QtFontEngine::MakeQFont(dialogFont.Logical()));

    pcParam = new TPageControl(this);
    pcParam->setObjectName(QStringLiteral("pcParam"));
    pcParam->setGeometry(0, 0, kWidth, kPageHeight);
    QWidget& page1 = *pcParam->AddPage();
    QWidget& page2 = *pcParam->AddPage();

    using namespace hsg;
    QGroupBox* hetero = AddGroup(page1, "gbHeterotroph", "Heterotrophe Organismen", 8, 3);
    edBH = AddRow(*hetero, 0, "edBH", "Zerfallsrate", "1/d", kBh);
    edYh = AddRow(*hetero, 1, "edYh", "Ertragsfaktor", "kg/kg", kYh);
    edATH = AddRow(*hetero, 2, "edATH", "Temperaturkonstante", "", kaTh);
    QGroupBox* auto_ = AddGroup(page1, "gbAutotroph", "Autotrophe Organismen", hetero->geometry().bottom() + 8, 6);
    edBa = AddRow(*auto_, 0, "edBa", "Zerfallsrate", "1/d", kBa);
    edYa = AddRow(*auto_, 1, "edYa", "Ertragsfaktor", "kg/kg", kYa);
    edATA = AddRow(*auto_, 2, "edATA", "Temperaturkonstante Wachstum", "", kaTa);
    edMueA = AddRow(*auto_, 3, "edMueA", "Max. Wachstumsrate bei 15 Grad C", "", kMUEaMax);
    edATD = AddRow(*auto_, 4, "edATD", "Temperaturkonstante Zerfall", "", kaTd);
    edKN = AddRow(*auto_, 5, "edKN", "Halbwertskonzentration", "mg/l", kkN);
    QGroupBox* other = AddGroup(page2, "gbSonstiges", "Sonstiges", 8, 8);
    edIIN = AddRow(*other, 0, "edIIN", "N-Anteil in Inertmasse", "", kfXNI);
    edIBP = AddRow(*other, 1, "edIBP", "P-Anteil in aktiver Biomasse", "", kfXPBM);
    edfP = AddRow(*other, 2, "edfP", "Nicht abbaub. Anteil in Zulauf-Feststoffen", "", kfP);
    edIBN = AddRow(*other, 3, "edIBN", "N-Anteil in aktiver Biomasse", "", kfXNBM);
    edFI = AddRow(*other, 4, "edFI", "Anteil inerter Zerfallsprodukte", "", kfI);
    edFOVS = AddRow(*other, 5, "edFOVS", "Koeffizient Substratatmung", "", kfOVs);
    edFOVE = AddRow(*other, 6, "edFOVE", "Koeffizient endogene Atmung", "", kfOVe);
    edFOVD = AddRow(*other, 7, "edFOVD", "Koeffizient Nitrat-Atmung", "", kfOVd);

    chkStdParam = new QCheckBox(Text("Als Standardwerte verwenden"), this);
    chkStdParam->setObjectName(QStringLiteral("chkStdParam"));
    chkStdParam->setGeometry(12, kPageHeight + 4, kWidth - 24, kCheckHeight - 8);

    pnlNavigate = new QWidget(this);
    pnlNavigate->setObjectName(QStringLiteral("pnlNavigate"));
    pnlNavigate->setGeometry(0, kPageHeight + kCheckHeight, kWidth, kNavigateHeight);
    SetNavigationBandLook(*pnlNavigate);

    auto* help = new QToolButton(pnlNavigate);
    help->setObjectName(QStringLiteral("BtnContextHelp"));
    help->setText(QStringLiteral("?"));
    help->setAutoRaise(true);
    help->setFocusPolicy(Qt::NoFocus);
    help->setGeometry(2, 1, 23, kNavigateHeight - 2);
    help->setFont(QtFontEngine::MakeQFont(NavigationFont().Logical()));
    QPalette light = help->palette();
    light.setColor(QPalette::ButtonText, Qt::white);
    help->setPalette(light);
    BtnContextHelp = help;
    // While the dialog lives its component is the active one; the one below comes back after it.
    WhatsThis = new TWhatsThis(this);
    WhatsThis->SetWTToolbarButton(help);
    WhatsThis->SetPopupCaption(kWhatsThisCaption);
    WhatsThis->Loaded();

    const int right = kWidth - 4;
    BtnOK = AddButton("BtnOK", "&OK", right - kButtonWidth, &THSGPar::BtnOKClick);
    BtnNext = AddButton("BtnNext", "&Weiter", right - 2 * kButtonWidth, &THSGPar::BtnNextClick);
    BtnPrevious = AddButton("BtnPrevious", "&Zurück", right - 3 * kButtonWidth, &THSGPar::BtnPreviousClick);
    BtnCancel = AddButton("BtnCancel", "&Abbruch", right - 4 * kButtonWidth, &THSGPar::BtnCancelClick);

    pcParam->SetActivePageIndex(0);
    UpdateButtons();
    AssignHelpContexts(*this, HsgHelpTopics());
    ShowTopicsForContexts(*WhatsThis);
}

TEditFloat* THSGPar::AddRow(QGroupBox& group, int row, const char* name, const char* label, const char* unit,
                            std::size_t offset)
{
    const int top = kGroupTop + row * kRowHeight;
    auto* caption = new QLabel(Text(label), &group);
    caption->setGeometry(10, top + 3, 260, 18);
    auto* edit = new TEditFloat(&group);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(276, top, 72, 22);
    caption->setBuddy(edit);
    auto* units = new QLabel(Text(unit), &group);
    units->setGeometry(354, top + 3, 56, 18);
    // Text that is no number is refused where it was typed, never stored as 0; "Zerfallsrate"
    // stands in two groups, so the group names the field too.
    edit->CheckOnExit = true;
    edit->FieldName = std::string(label) + " (" + group.title().toStdString() + ")";
    edit->OnValidate = [this, offset](TEditFloat* sender) { SetMember(offset, sender->Value()); };
    bindings_.push_back({edit, offset});
    return edit;
}

TExSpeedButton* THSGPar::AddButton(const char* name, const char* caption, int left, void (THSGPar::*click)())
{
    TExSpeedButton* button = NewNavigationButton(*pnlNavigate, name, QRect(left, 0, kButtonWidth, kNavigateHeight));
    button->SetCaption(caption);
    // A value typed and confirmed by a click has had no focus loss that would have stored it; text
    // that is no number stops the click there. Cancel keeps nothing typed anyway.
    button->OnClick = [this, click](QWidget*) {
        if (click == &THSGPar::BtnCancelClick || CommitFocusedEdit(*this))
            (this->*click)();
    };
    return button;
}

double THSGPar::Member(std::size_t offset) const
{
    return LoadDoubleLE(block_.data() + (offset - hsg::kParameterBlock));
}

void THSGPar::SetMember(std::size_t offset, double value)
{
    StoreDoubleLE(block_.data() + (offset - hsg::kParameterBlock), value);
}

void THSGPar::SetParameterBlock(std::span<const std::uint8_t, hsg::kParameterBlockSize> block)
{
    std::ranges::copy(block, block_.begin());
}

void THSGPar::showEvent(QShowEvent* event)
{
    chkStdParam->setChecked(false);
    for (const Binding& binding : bindings_)
        binding.Edit->SetValue(Member(binding.Offset));
    TVParamDlg::showEvent(event);
}

void THSGPar::BtnNextClick()
{
    pcParam->SetActivePageIndex(std::min(pcParam->ActivePageIndex() + 1, pcParam->PageCount() - 1));
    UpdateButtons();
}

void THSGPar::BtnPreviousClick()
{
    pcParam->SetActivePageIndex(std::max(pcParam->ActivePageIndex() - 1, 0));
    UpdateButtons();
}

void THSGPar::BtnOKClick()
{
    if (OnCheck) {
        if (const std::optional<ERefusedInput> refusal = OnCheck(block_)) {
            Refuse(*refusal);
            return;
        }
    }
    done(mrOk);
}

void THSGPar::Refuse(const ERefusedInput& refusal)
{
    Prompts().MessageDlg("Mit diesen Parametern ist keine Berechnung möglich:\n" + refusal.Message(),
                         MsgDlgType::Error, mbOK);
    const MemberInfo* member = FindMember(HsgRecordMembers(), refusal.Field());
    const auto binding =
        member ? std::ranges::find(bindings_, member->Offset, &Binding::Offset) : bindings_.end();
    if (binding == bindings_.end())
        return;
    for (int page = 0; page < pcParam->PageCount(); ++page)
        if (pcParam->Pages(page)->isAncestorOf(binding->Edit))
            pcParam->SetActivePageIndex(page);
    UpdateButtons();
    // After the message the dialog is the window to type in again; what is typed next replaces
    // the value refused.
    activateWindow();
    binding->Edit->setFocus(Qt::OtherFocusReason);
    binding->Edit->selectAll();
}
void THSGPar::BtnCancelClick() { done(mrCancel); }

void THSGPar::UpdateButtons()
{
    BtnPrevious->setEnabled(pcParam->ActivePageIndex() > 0);
    BtnNext->setEnabled(pcParam->ActivePageIndex() < pcParam->PageCount() - 1);
}

}  // namespace velmoran
