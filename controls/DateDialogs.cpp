// The drop-down calendar, the date dialog and the repeating navigation button.
#include "controls/DateDialogs.h"

#include "controls/ControlResources.h"
#include "controls/StringUtils.h"
#include "platform/ModalRunner.h"
#include "platform/QtCanvas.h"
#include "platform/Screen.h"
#include "platform/StringTable.h"
#include "platform/SystemColors.h"
#include "platform/core/Text.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <memory>

namespace velmoran {

namespace {

// Lengths of the 96 ppi layout on the screen.
int Scaled(int value)
{
    const int ppi = ScreenPixelsPerInch();
    return ppi == 96 ? value : static_cast<int>(std::lround(value * ppi / 96.0));
}

LogicalFont ScaledFont(const TFont& font)
{
    LogicalFont logical = font.Logical();
    logical.Height = Scaled(logical.Height);
    return logical;
}

QColor ToQColor(ColorRef color)
{
    const ColorRef rgb = ColorToRGB(color);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

void Fill(QWidget* widget, ColorRef color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

std::array<TExTimerSpeedButton*, 4> MakeNavigationButtons(QWidget* parent)
{
    static const char* const kBitmaps[] = {"PREV2", "PREV1", "NEXT1", "NEXT2"};
    static const char* const kNames[] = {"Previous Year", "Previous Month", "Next Month", "Next Year"};
    const std::array<std::string, 4> hints = CalendarButtonHints();
    std::array<TExTimerSpeedButton*, 4> buttons{};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i] = new TExTimerSpeedButton(parent);
        buttons[i]->setObjectName(QString::fromLatin1(kNames[i]));
        buttons[i]->SetGlyph(ControlBitmap(kBitmaps[i]));
        buttons[i]->SetHint(hints[i]);
    }
    return buttons;
}

void ConnectNavigation(const std::array<TExTimerSpeedButton*, 4>& buttons, TExCalendar* calendar)
{
    buttons[0]->OnClick = [calendar](QWidget*) { calendar->PrevYear(); };
    buttons[1]->OnClick = [calendar](QWidget*) { calendar->PrevMonth(); };
    buttons[2]->OnClick = [calendar](QWidget*) { calendar->NextMonth(); };
    buttons[3]->OnClick = [calendar](QWidget*) { calendar->NextYear(); };
}

// Page Up/Down step a month, with Ctrl a year; true when the key was one of them.
bool PageKey(QKeyEvent* event, TExCalendar* calendar)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->key() == Qt::Key_PageUp)
        ctrl ? calendar->PrevYear() : calendar->PrevMonth();
    else if (event->key() == Qt::Key_PageDown)
        ctrl ? calendar->NextYear() : calendar->NextMonth();
    else
        return false;
    return true;
}

// The non-empty ones of the first four hints go to the navigation buttons.
template <typename Window>
void ApplyHints(Window& window, const std::vector<std::string>& hints)
{
    for (int i = 0; i < std::min(static_cast<int>(hints.size()), 4); ++i)
        if (!hints[static_cast<std::size_t>(i)].empty())
            window.NavigationButton(i)->SetHint(hints[static_cast<std::size_t>(i)]);
}

}  // namespace

TExTimerSpeedButton::TExTimerSpeedButton(QWidget* parent) : TExSpeedButton(parent)
{
    SetStyle(TButtonStyle::bsWin31);
    SetAllowTimer(true);
}

std::array<std::string, 4> CalendarButtonHints()
{
    return {LoadStr(sCalendarPrevYear), LoadStr(sCalendarPrevMonth), LoadStr(sCalendarNextMonth),
            LoadStr(sCalendarNextYear)};
}

std::string CalendarTitle(TDateTime date)
{
    int year = 0, month = 0, day = 0;
    DecodeDate(date, year, month, day);
    return FormatSettings::Current().LongMonthNames[static_cast<std::size_t>(month - 1)] + ", " + std::to_string(year);
}

TFont StandardDialogFont()
{
    return TFont{};
}

// --- TPopupCalendar ---

TPopupCalendar::TPopupCalendar(TCustomComboEdit* editor) : TPopupWindow(editor)
{
    const LogicalFont font = ScaledFont(StandardDialogFont());
    // The layout at 96 ppi; every length below is scaled once, from these.
    const int popupWidth = std::max(187, 180);
    resize(Scaled(popupWidth), Scaled(std::max(124, 120)));
    back_ = new QWidget(this);
    back_->setGeometry(contentsRect());
    const int panelWidth = popupWidth - 4;
    top_ = new QWidget(back_);
    top_->setGeometry(0, 0, back_->width(), Scaled(18));
    calendar_ = new TLocCalendar(back_);
    calendar_->setGeometry(0, top_->height(), back_->width(), back_->height() - top_->height());
    calendar_->SetFont(font);
    SetColor(SystemColor(COLOR_BTNFACE));
    buttons_ = MakeNavigationButtons(top_);
    const int lefts[] = {-1, 12, panelWidth - 26, panelWidth - 13};
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setGeometry(Scaled(lefts[i]), Scaled(-1), Scaled(14), Scaled(14));
    ConnectNavigation(buttons_, calendar_);
    title_ = new QLabel(top_);
    title_->setObjectName("Title");
    title_->setGeometry(Scaled(29), Scaled(1), Scaled(panelWidth - 58), Scaled(14));
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(QtFontEngine::MakeQFont(font));
    UpdateTitle();
    // Told only once every part exists.
    calendar_->OnChange = [this] { UpdateTitle(); };
    back_->installEventFilter(this);
    calendar_->viewport()->installEventFilter(this);
    title_->installEventFilter(this);
}

// The panels and the calendar take the popup's colour, the header cells too.
void TPopupCalendar::SetColor(ColorRef color)
{
    Fill(back_, color);
    calendar_->SetColor(color);
    calendar_->SetFixedColor(color);
}

void TPopupCalendar::UpdateTitle()
{
    title_->setText(QString::fromStdString(CalendarTitle(calendar_->CalendarDate())));
}

QVariant TPopupCalendar::GetValue() const
{
    return QVariant(calendar_->CalendarDate());
}

void TPopupCalendar::SetValue(const QVariant& value)
{
    TDateTime date = velmoran::Date();
    if (value.isValid() && !value.isNull()) {
        if (value.typeId() == QMetaType::Double) {
            if (ValidDate(value.toDouble()) && value.toDouble() != NullDate)
                date = std::floor(value.toDouble());
        } else {
            const std::string text = value.toString().toStdString();
            const std::string bare = Trim(ReplaceStr(text, std::string(1, FormatSettings::Current().DateSeparator), ""));
            if (!bare.empty()) {
                const TDateTime parsed = StrToDateFmtDef(DefDateFormat(FourDigitYear()), text, NullDate);
                if (parsed != NullDate)
                    date = parsed;
            }
        }
    }
    calendar_->SetCalendarDate(date);
    UpdateTitle();
}

bool TPopupCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == back_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!PageKey(key, calendar_))
            QApplication::sendEvent(calendar_, key);
        return true;
    }
    if (watched == title_ && event->type() == QEvent::MouseButtonDblClick) {
        calendar_->SetCalendarDate(velmoran::Date());
        return true;
    }
    if (watched == calendar_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint p = mouse->position().toPoint();
        const TGridCoord cell = calendar_->MouseToCell(p.x(), p.y());
        if (mouse->button() == Qt::LeftButton && !(mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) &&
            cell.Y >= 1 && !calendar_->CellText(cell.X, cell.Y).empty()) {
            CloseUp(true);
            return true;
        }
    }
    return TPopupWindow::eventFilter(watched, event);
}

TPopupCalendar* CreatePopupCalendar(TCustomComboEdit* editor, bool rightToLeft)
{
    auto* popup = new TPopupCalendar(editor);
    popup->setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    return popup;
}

void SetupPopupCalendar(TPopupWindow* popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends, ColorRef weekendColor,
                        const std::vector<std::string>& hints)
{
    auto* calendar = dynamic_cast<TPopupCalendar*>(popup);
    if (!calendar || !calendar->Calendar())
        return;
    calendar->Calendar()->SetStartOfWeek(startOfWeek);
    calendar->Calendar()->SetWeekends(weekends);
    calendar->Calendar()->SetWeekendColor(weekendColor);
    ApplyHints(*calendar, hints);
}

// --- TSelectDateDlg ---

TSelectDateDlg::TSelectDateDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle("Select a Date");
    setFixedSize(Scaled(222), Scaled(154));
    const LogicalFont font = ScaledFont(StandardDialogFont());
    setFont(QtFontEngine::MakeQFont(font));
    Fill(this, SystemColor(COLOR_BTNFACE));

    auto* top = new QFrame(this);
    top->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    top->setGeometry(0, 0, Scaled(222), Scaled(22));
    top_ = top;
    title_ = new QLabel(top_);
    title_->setObjectName("Title");
    title_->setGeometry(Scaled(35), Scaled(4), Scaled(152), Scaled(14));
    title_->setAlignment(Qt::AlignCenter);
    LogicalFont bold = font;
    bold.Weight = 700;
    title_->setFont(QtFontEngine::MakeQFont(bold));
    QPalette blue = title_->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    title_->setPalette(blue);
    title_->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(0, Scaled(22), Scaled(222), Scaled(111));
    calendar_ = new TExCalendar(panel);
    calendar_->setObjectName("Calendar");
    calendar_->setFrameStyle(QFrame::NoFrame);
    calendar_->setGeometry(1, 1, panel->width() - 2, panel->height() - 2);
    calendar_->SetFont(font);
    calendar_->SetColor(RGBRef(255, 255, 255));
    calendar_->SetUseCurrentDate(false);
    calendar_->SetCalendarDate(velmoran::Date());
    calendar_->OnDblClick = [this] { accept(); };

    buttons_ = MakeNavigationButtons(top_);
    const int lefts[] = {3, 18, 188, 203};
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setGeometry(Scaled(lefts[i]), Scaled(3), Scaled(16), Scaled(16));
    ConnectNavigation(buttons_, calendar_);

    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("OK");
    ok_->setGeometry(0, Scaled(133), Scaled(112), Scaled(21));
    cancel_ = new QPushButton("Abbrechen", this);
    cancel_->setObjectName("Abbrechen");
    cancel_->setGeometry(Scaled(111), Scaled(133), Scaled(111), Scaled(21));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* watched : {static_cast<QWidget*>(ok_), static_cast<QWidget*>(cancel_), top_})
        watched->installEventFilter(this);
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);

    setFocusProxy(calendar_);
    calendar_->setFocus();
    UpdateTitle();
    calendar_->OnChange = [this] { UpdateTitle(); };
    calendar_->installEventFilter(this);
}

void TSelectDateDlg::SetDate(TDateTime date)
{
    calendar_->SetCalendarDate(date == NullDate ? velmoran::Date() : date);
    UpdateTitle();
}

void TSelectDateDlg::UpdateTitle()
{
    title_->setText(QString::fromStdString(CalendarTitle(calendar_->CalendarDate())));
    title_->repaint();
}

bool TSelectDateDlg::HandleKey(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape: reject(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: accept(); return true;
    case Qt::Key_Tab:
        if (event->modifiers() & Qt::ShiftModifier)
            calendar_->PrevMonth();
        else
            calendar_->NextMonth();
        return true;
    case Qt::Key_Backtab: calendar_->PrevMonth(); return true;
    default: return PageKey(event, calendar_);
    }
}

bool TSelectDateDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == top_ && event->type() == QEvent::MouseButtonDblClick) {
        calendar_->SetCalendarDate(velmoran::Date());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TSelectDateDlg::keyPressEvent(QKeyEvent* event)
{
    if (!HandleKey(event))
        QDialog::keyPressEvent(event);
}

TSelectDateDlg* CreateDateDialog(const std::string& caption)
{
    auto* dialog = new TSelectDateDlg();
    if (!caption.empty())
        dialog->setWindowTitle(QString::fromStdString(caption));
    QWidget* active = QApplication::activeWindow();
    QScreen* screen = active ? active->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        dialog->move(area.x() + area.width() / 2 - dialog->width() / 2, area.y() + area.height() / 2 - dialog->height() / 2);
    }
    return dialog;
}

bool SelectDate(TDateTime& date, const std::string& caption, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                ColorRef weekendColor, const std::vector<std::string>& hints)
{
    std::unique_ptr<TSelectDateDlg> dialog(CreateDateDialog(caption));
    dialog->SetDate(date);
    dialog->Calendar()->SetStartOfWeek(startOfWeek);
    dialog->Calendar()->SetWeekends(weekends);
    dialog->Calendar()->SetWeekendColor(weekendColor);
    ApplyHints(*dialog, hints);
    if (Modals().Run(*dialog) != QDialog::Accepted)
        return false;
    date = dialog->Date();
    return true;
}

}  // namespace velmoran
