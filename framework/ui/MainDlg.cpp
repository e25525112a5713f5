// The module dialog base; see MainDlg.h.
#include "framework/ui/MainDlg.h"

#include "controls/DateEdit.h"
#include "framework/ui/EditFloat.h"
#include "framework/ui/VarFrame.h"
#include "platform/Application.h"
#include "platform/ChoiceBoxStyle.h"
#include "platform/ImageList.h"
#include "platform/ModalRunner.h"
#include "platform/QtCanvas.h"
#include "platform/Screen.h"
#include "platform/StringTable.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>

static void InitFrameworkUiResources() { Q_INIT_RESOURCE(framework_ui); }

namespace velmoran {

namespace {

constexpr int kNavigateHeight = 25;
// The size at 96 dpi the pages are laid out for.
constexpr int kDesignWidth = 640;
constexpr int kDesignHeight = 490;
constexpr ColorRef kNavigateColor = RGBRef(0, 0, 128);

QImage NavigationGlyph(const char* name)
{
    InitFrameworkUiResources();
    return QImage(QStringLiteral(":/framework/bitmaps/") + QString::fromLatin1(name) + QStringLiteral(".xpm"))
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TFont NavigationFont()
{
    TFont font;
    font.Name = "Arial";
    font.Size = 9;
    font.Bold = true;
    font.Color = RGBRef(255, 255, 255);
    return font;
}

void SetNavigationBandLook(QWidget& band)
{
    band.setAutoFillBackground(true);
    QPalette colours = band.palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(ColorToQRgb(kNavigateColor)));
    band.setPalette(colours);
}

TExSpeedButton* NewNavigationButton(QWidget& band, const char* name, const QRect& place)
{
    auto* button = new TExSpeedButton(&band);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(place);
    button->SetFlat(true);
    button->SetTransparent(true);
    button->SetFont(NavigationFont());
    return button;
}

TMainDlg::TMainDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MainDlg"));
    setWindowTitle(QStringLiteral("Eingabe"));
    TFont dialogFont;
    setFont(QtFontEngine::MakeQFont(dialogFont.Logical()));

    PageControl1 = new TPageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    pnlNavigate = new QWidget(this);
    pnlNavigate->setObjectName(QStringLiteral("pnlNavigate"));
    SetNavigationBandLook(*pnlNavigate);

    DlgOK = MakeAction("DlgOK", LoadStr(sDlgOK), &TMainDlg::DlgOKExecute);
    DlgCancel = MakeAction("DlgCancel", "&Abbruch", &TMainDlg::DlgCancelExecute);
    DlgNext = MakeAction("DlgNext", "&Weiter", &TMainDlg::DlgNextExecute);
    DlgPrevious = MakeAction("DlgPrevious", "&Zurück", &TMainDlg::DlgPreviousExecute);
    DlgRefresh = MakeAction("DlgRefresh", "Refresh", &TMainDlg::DlgRefreshExecute);
    DlgRefresh->SetVisible(false);

    BtnCalc = MakeButton("BtnCalc", 117, 69, DlgRefresh, false);
    BtnCancel = MakeButton("BtnCancel", 187, 111, DlgCancel, false);
    BtnPrevious = MakeButton("BtnPrevious", 298, 111, DlgPrevious, false);
    BtnNext = MakeButton("BtnNext", 409, 111, DlgNext, true);
    BtnOK = MakeButton("BtnOK", 520, 111, DlgOK, true);
    BtnPrevious->SetGlyph(NavigationGlyph("NavPrevious"));
    BtnNext->SetGlyph(NavigationGlyph("NavNext"));
    BtnOK->SetGlyph(NavigationGlyph("NavNext"));

    FormCreate();
}

TMainDlg::~TMainDlg() = default;

Action* TMainDlg::MakeAction(const char* name, const std::string& caption, void (TMainDlg::*execute)())
{
    auto* action = new Action(this);
    action->setObjectName(QString::fromLatin1(name));
    action->SetCaption(caption);
    // Commit before acting: a value typed and confirmed by a button or an accelerator has had
    // no focus loss that would have committed it. A date that is no date stops every action but
    // Cancel, which keeps nothing typed anyway.
    action->OnExecute = [this, execute](Action&) {
        ++actionsStarted_;
        const ScopedValue<bool> running(actionRunning_, true);
        if (execute == &TMainDlg::DlgCancelExecute || CommitFocusedEdit())
            (this->*execute)();
    };
    DlgActions.push_back(action);
    return action;
}

TExSpeedButton* TMainDlg::MakeButton(const char* name, int left, int width, Action* action, bool glyphRight)
{
    TExSpeedButton* button = NewNavigationButton(*pnlNavigate, name, QRect(left, 0, width, kNavigateHeight));
    button->SetGrayedInactive(false);
    button->SetLayout(glyphRight ? TButtonLayout::blGlyphRight : TButtonLayout::blGlyphLeft);
    button->SetAction(action);
    return button;
}

void TMainDlg::FormCreate()
{
    const int dpi = ScreenPixelsPerInch();
    resize(dpi * kDesignWidth / 96, dpi * kDesignHeight / 96);
    // The pages hold their controls where the design size puts them, and the navigation buttons
    // stand at fixed places: a smaller dialog cut off Zurück, Weiter and OK and parts of pages.
    setMinimumSize(size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Keywords = ModuleKeywords();
}

void TMainDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    PageControl1->setGeometry(0, 0, width(), height() - kNavigateHeight);
    pnlNavigate->setGeometry(0, height() - kNavigateHeight, width(), kNavigateHeight);
}

// --- the module interface ---

void TMainDlg::SetProgramFolder(const std::string& folder) { ProgramFolder = folder; }
void TMainDlg::SetDataPath(const std::string& folder) { DataPath = folder; }
void TMainDlg::SetModuleTemplateFolder(const std::string& folder) { ModuleTemplateFolder = folder; }
int TMainDlg::LoadCaseIndex(int) { return 0; }
bool TMainDlg::ShowMessages(const std::string&) { return false; }

bool TMainDlg::CheckAll(std::vector<std::string>& list)
{
    list.push_back(LoadStr(sNoMessages));
    return true;
}

void TMainDlg::FillPage() {}
void TMainDlg::ShowPageResults() {}
bool TMainDlg::Exec(const std::string&, const ModuleArgument&) { return true; }
std::string TMainDlg::GetValueText(const std::string&) { return "####"; }

std::optional<std::string> TMainDlg::ImportRefusal(const TDataSet&, const std::string&, int) { return std::nullopt; }
bool TMainDlg::InputAcceptable() { return true; }
bool TMainDlg::PageLeaveAcceptable() { return true; }
std::function<void()> TMainDlg::KeepCalculation() { return {}; }

void TMainDlg::ComputePageRange()
{
    FirstPage = PageControl1->PageCount();
    LastPage = 0;
    for (int i = 0; i < PageControl1->PageCount(); ++i)
        if (PageControl1->Pages(i)->PageEnabled()) {
            FirstPage = std::min(i, FirstPage);
            LastPage = std::max(i, LastPage);
        }
}

void TMainDlg::UpdateNavigation()
{
    const int shown = PageControl1->ActivePageIndex();
    DlgPrevious->SetEnabled(shown > FirstPage);
    DlgNext->SetEnabled(shown < LastPage);
    DlgOK->SetVisible(Mode == 1 || shown == LastPage);
    CurrentPage = shown;
    FillPage();
    ShowPageResults();
}

int TMainDlg::PageIndexOfControl(const QWidget* control) const
{
    for (const QWidget* w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* page = dynamic_cast<const TTabSheet*>(w); page && &page->PageControl() == PageControl1)
            return page->PageIndex();
    return -1;
}

// --- showing and navigating ---

int TMainDlg::ShowModal() { return Modals().Run(*this); }

void TMainDlg::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TMainDlg::FormShow()
{
    HelpFile = ApplicationHelpFile();
    MarkChoiceBoxFocus();
    ShowPage(CurrentPage);
    // Focus given before the dialog appeared holds if its control can be seen now (a page fill
    // may have switched a nested page away); else the page's first input takes it.
    if (pendingFocus_ && pendingFocus_->isVisibleTo(this) && pendingFocus_->isEnabled())
        pendingFocus_->setFocus();
    else
        FocusFirstInput();
    pendingFocus_ = nullptr;
}

QWidget* TMainDlg::FirstInputOfShownPage() const
{
    QWidget* page = PageControl1->currentWidget();
    if (!page)
        return nullptr;
    // The window's focus chain runs round once from the page: its first control there is the one
    // Tab reaches first.
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain())
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() &&
            w->isVisibleTo(this))
            return w;
    return nullptr;
}

QWidget* TMainDlg::EntryInput() { return FirstInputOfShownPage(); }

void TMainDlg::FocusFirstInput()
{
    QWidget* first = EntryInput();
    if (!first) {
        setFocus();
        return;
    }
    first->setFocus(Qt::TabFocusReason);
    if (auto* edit = dynamic_cast<QLineEdit*>(first))
        edit->selectAll();
}

void TMainDlg::MarkChoiceBoxFocus()
{
    // The module's pages are all there once the dialog shows; a box of a style of its own keeps it.
    for (QComboBox* box : findChildren<QComboBox*>())
        if (!box->isEditable() && box->style() == QApplication::style())
            box->setStyle(ChoiceBoxStyle());
}

void TMainDlg::ShowPage(int index)
{
    if (index >= 0 && index < PageControl1->PageCount())
        PageControl1->SetActivePageIndex(index);
}

void TMainDlg::DlgOKExecute()
{
    if (InputAcceptable())
        done(QDialog::Accepted);
}

void TMainDlg::DlgCancelExecute() { done(QDialog::Rejected); }
void TMainDlg::DlgRefreshExecute() { ShowPageResults(); }

void TMainDlg::DlgNextExecute()
{
    if (!PageLeaveAcceptable())
        return;
    const int last = PageControl1->PageCount() - 1;
    int i = PageControl1->ActivePageIndex();
    do
        ++i;
    while (i < last && !PageControl1->Pages(i)->PageEnabled());
    if (i <= last && PageControl1->Pages(i)->PageEnabled()) {
        ShowPage(i);
        UpdateNavigation();
        FocusFirstInput();
    }
}

void TMainDlg::DlgPreviousExecute()
{
    if (!PageLeaveAcceptable())
        return;
    int i = PageControl1->ActivePageIndex();
    do
        --i;
    while (i > 0 && !PageControl1->Pages(i)->PageEnabled());
    if (i >= 0 && PageControl1->Pages(i)->PageEnabled()) {
        ShowPage(i);
        UpdateNavigation();
        FocusFirstInput();
    }
}

void TMainDlg::keyPressEvent(QKeyEvent* event)
{
    // Escape and Enter never close the module dialog: only its actions and the close button do.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TMainDlg::CommitFocusedEdit()
{
    if (!velmoran::CommitFocusedEdit(*this))
        return false;
    auto* date = dynamic_cast<TCustomDateEdit*>(focusWidget());
    return !date || !date->CheckOnExit || date->ConfirmDate();
}

// --- focusing by name ---

namespace {

QWidget* FindNamed(const QWidget& parent, const std::string& name)
{
    for (QObject* child : parent.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        if (SameText(widget->objectName().toStdString(), name))
            return widget;
        if (dynamic_cast<TVarFrame*>(widget))
            continue;  // a frame is one control: its parts are not the dialog's
        if (QWidget* found = FindNamed(*widget, name))
            return found;
    }
    return nullptr;
}

}  // namespace

QWidget* TMainDlg::FindControl(const std::string& name) const
{
    return name.empty() ? nullptr : FindNamed(*this, name);
}

void TMainDlg::FocusControlByName(const std::string& name)
{
    QWidget* control = FindControl(name);
    if (!control)
        return;
    auto* frame = dynamic_cast<TVarFrame*>(control);
    if (!frame && control->focusPolicy() == Qt::NoFocus)
        return;
    const int page = PageIndexOfControl(control);
    if (page < 0)
        return;
    ShowPage(page);
    // The nested pages on the way up show as well.
    for (QWidget* w = control->parentWidget(); w && w != this; w = w->parentWidget())
        if (auto* sheet = dynamic_cast<TTabSheet*>(w); sheet && &sheet->PageControl() != PageControl1)
            sheet->PageControl().SetActivePageIndex(sheet->PageIndex());
    QWidget* target = frame ? frame->Edit : control;
    if (isVisible()) {
        if (target->isVisibleTo(this))
            target->setFocus();
    } else {
        pendingFocus_ = target;
    }
}

}  // namespace velmoran
