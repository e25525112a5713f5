// The combo edit, its button and its drop-down window; see ComboEdit.h.
#include "controls/ComboEdit.h"

#include "controls/StringUtils.h"
#include "platform/Edges.h"
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/core/ScopeExit.h"

#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyle>
#include <QStyleHints>
#include <QTimerEvent>

namespace velmoran {

namespace {

constexpr int kDefaultButtonWidth = 21;
constexpr int kDropDownButtonWidth = 16;

// Three black dots of 2 x 2 on white, centred in a strip 4 high and button width - 6 wide.
QImage EllipsisGlyph(int buttonWidth)
{
    const int width = Max(1, buttonWidth - 6);
    QImage glyph(width, 4, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    const int gap = Min(Max(1, (width - 6) / 2), 3);
    const int left = (width - 6 - 2 * gap) / 2;
    QPainter painter(&glyph);
    for (int x : {left, left + gap + 2, left + 2 * gap + 4})
        painter.fillRect(x, 1, 2, 2, Qt::black);
    return glyph;
}

bool OverWidget(const QWidget* widget, QPoint screenPoint)
{
    return widget && widget->isVisible() && QRect(widget->mapToGlobal(QPoint()), widget->size()).contains(screenPoint);
}

}  // namespace

// The application's style with the caret width of the one combo edit it serves (the edit asks
// for it when it paints, without naming itself); while the line edit paints its text the width
// is 0, as the edit draws its caret itself, of its own height.
class CaretStyle : public QProxyStyle {
public:
    explicit CaretStyle(const TCustomComboEdit& edit) : edit_(edit) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_TextCursorWidth)
            return edit_.paintingText_ ? 0 : edit_.CaretWidth();
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    const TCustomComboEdit& edit_;
};

TPoint PopupPosition(const TRect& edit, TSize popup, TPopupAlign align, const TRect& screen)
{
    int top = edit.Bottom;
    if (top + popup.cy > screen.Bottom)
        top = edit.Top - popup.cy;
    int left = edit.Left;
    if (align == TPopupAlign::epaRight) {
        left = edit.Left - (popup.cx - edit.Width());
        if (left < screen.Left)
            left = edit.Left;
    } else if (left + popup.cx > screen.Right) {
        left = edit.Right - popup.cx;
    }
    left = Min(Max(left, screen.Left), screen.Right - popup.cx);
    return {left, top};
}

// --- TPopupWindow ---

TPopupWindow::TPopupWindow(TCustomComboEdit* editor)
    : QWidget(editor, Qt::Popup | Qt::FramelessWindowHint), editor_(editor)
{
    setFocusPolicy(Qt::NoFocus);
    setContentsMargins(1, 1, 1, 1);
    hide();
}

TPopupWindow::~TPopupWindow() = default;

void TPopupWindow::CloseUp(bool accept)
{
    if (OnCloseUp)
        OnCloseUp(this, accept);
}

void TPopupWindow::ShowAt(QPoint screenPoint)
{
    move(screenPoint);
    show();
    raise();
}

void TPopupWindow::HideWindow()
{
    hide();
}

void TPopupWindow::DeliverKey(QKeyEvent* event)
{
    ScopedValue<bool> delivering(delivering_, true);
    QWidget* content = findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    QApplication::sendEvent(content ? content : this, event);
}

void TPopupWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtCanvas canvas(&painter);
    TRect r{0, 0, width(), height()};
    Frame3D(canvas, r, SystemColor(COLOR_WINDOWFRAME), SystemColor(COLOR_WINDOWFRAME), 1);
    canvas.FillRect(r, SystemColor(COLOR_WINDOW));
}

void TPopupWindow::keyPressEvent(QKeyEvent* event)
{
    if (delivering_ || !editor_)
        return QWidget::keyPressEvent(event);
    QApplication::sendEvent(editor_, event);
}

void TPopupWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (delivering_ || !editor_)
        return QWidget::keyReleaseEvent(event);
    QApplication::sendEvent(editor_, event);
}

void TPopupWindow::mousePressEvent(QMouseEvent* event)
{
    pressedInside_ = rect().contains(event->position().toPoint());
    pressedOnContent_ = pressedInside_ && childAt(event->position().toPoint());
    if (pressedInside_)
        return;
    // Outside: a press on the edit's button accepts, and the button must not see it again.
    const bool onButton = editor_ && OverWidget(editor_->Button(), event->globalPosition().toPoint());
    if (onButton)
        setAttribute(Qt::WA_NoMouseReplay);
    CloseUp(onButton);
    if (isVisible())
        hide();
}

void TPopupWindow::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const bool inside = rect().contains(at);
    // A release over the content, or after a press on it, is the content's (a day cell closes the
    // calendar itself); one that its widgets leave unhandled (the calendar's title, whose double
    // click is on its way, also when the mouse left the popup before the release) must not close
    // the popup.
    const bool content = (inside && childAt(at)) || pressedOnContent_;
    if (!content && (inside || pressedInside_))
        CloseUp(inside);
    pressedInside_ = false;
    pressedOnContent_ = false;
}

void TPopupWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (editor_ && editor_->PopupVisible())
        editor_->PopupCloseUp(this, false);
}

void TPopupWindow::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    // The edit keeps the focus: the content never takes it.
    if (event->type() == QEvent::ChildPolished)
        if (auto* child = qobject_cast<QWidget*>(event->child()))
            child->setFocusPolicy(Qt::NoFocus);
}

// --- TEditButton ---

namespace comboedit {

TEditButton::TEditButton(QWidget* host, TCustomComboEdit* editor) : TExSpeedButton(host), editor_(editor) {}

void TEditButton::Click()
{
    if (noAction_) {
        noAction_ = false;
        return;
    }
    TExSpeedButton::Click();
}

void TEditButton::PaintTo(Canvas& canvas)
{
    if (DropDownLook) {
        unsigned state = DFCS_SCROLLCOMBOBOX;
        if (State() == TButtonState::bsDown)
            state |= DFCS_PUSHED;
        if (!isEnabled())
            state |= DFCS_INACTIVE;
        DrawFrameControl(canvas, {0, 0, width(), height()}, DFC_SCROLL, state);
        return;
    }
    TExSpeedButton::PaintTo(canvas);
    if (State() == TButtonState::bsDown)
        return;
    canvas.FillRect({0, 0, 1, height() - 1}, SystemColor(COLOR_BTNFACE));
    canvas.FillRect({1, 1, 2, height() - 2}, SystemColor(COLOR_BTNHIGHLIGHT));
}

void TEditButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && editor_->PopupVisible()) {
        noAction_ = true;
        editor_->PopupCloseUp(editor_->Popup(), true);
    } else if ((editor_->focusPolicy() & Qt::TabFocus) && editor_->isEnabled() && !editor_->hasFocus()) {
        editor_->setFocus(Qt::MouseFocusReason);
    }
    PressButton(event);
}

}  // namespace comboedit

// --- TCustomComboEdit ---

TCustomComboEdit::TCustomComboEdit(QWidget* parent) : TCustomMaskEdit(parent)
{
    resize(121, 21);
    host_ = new QWidget(this);
    host_->resize(kDefaultButtonWidth, 17);
    button_ = new comboedit::TEditButton(host_, this);
    button_->setGeometry(0, 0, kDefaultButtonWidth, 17);
    button_->OnClick = [this](QWidget*) { ButtonClick(); };
    setFont(QtFontEngine::MakeQFont(font_.Logical()));
    caretStyle_ = new CaretStyle(*this);
    caretStyle_->setParent(this);
    setStyle(caretStyle_);
    setMinimumHeight(MinimumHeight());
    UpdateControls();
    connect(this, &QLineEdit::cursorPositionChanged, this, [this] { RestartCaret(); });
}

int TCustomComboEdit::CaretHeight() const
{
    const int screen = ScreenFonts().Metrics(TFont().Logical()).Height;
    const int own = ScreenFonts().Metrics(font_.Logical()).Height;
    return Min(screen, own);
}

int TCustomComboEdit::MinimumHeight() const
{
    // The text height, the borders, one pixel.
    constexpr int kBorderHeight = 1;
    return CaretHeight() + 4 * kBorderHeight + 1;
}

QRect TCustomComboEdit::CaretRect() const
{
    // The line edit's cursor rectangle begins 5 pixels before the caret, at the line's top.
    const QRect cursor = cursorRect();
    return {cursor.left() + 5, cursor.top(), CaretWidth(), CaretHeight()};
}

bool TCustomComboEdit::CaretWanted() const
{
    return hasFocus() && !isReadOnly() && inputMask().isEmpty();
}

// The caret shows at once after every move and blinks from there.
void TCustomComboEdit::RestartCaret()
{
    caretOn_ = CaretWanted();
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (caretOn_ && flash > 0)
        caretBlink_.start(flash / 2, this);
    else
        caretBlink_.stop();
    update();
}

void TCustomComboEdit::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != caretBlink_.timerId())
        return TCustomMaskEdit::timerEvent(event);
    caretOn_ = !caretOn_ && CaretWanted();
    update();
}

void TCustomComboEdit::paintEvent(QPaintEvent* event)
{
    {
        ScopedValue<bool> painting(paintingText_, true);
        TCustomMaskEdit::paintEvent(event);
    }
    if (!caretOn_ || !CaretWanted())
        return;
    QPainter painter(this);
    painter.fillRect(CaretRect(), palette().color(QPalette::Text));
}

void TCustomComboEdit::focusInEvent(QFocusEvent* event)
{
    TCustomMaskEdit::focusInEvent(event);
    RestartCaret();
    // Entered by the keyboard: with direct input the whole text is selected, a mask or not;
    // without it nothing can be typed over.
    if (!autoSelect_ || event->reason() == Qt::MouseFocusReason || QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    if (directInput_)
        selectAll();
    else
        deselect();
}

TCustomComboEdit::~TCustomComboEdit()
{
    button_->OnClick = nullptr;
}

void TCustomComboEdit::UpdateControls()
{
    const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
    const int buttonWidth = button_->width();
    host_->setGeometry(width() - frame - buttonWidth, frame, buttonWidth, Max(0, height() - 2 * frame));
    button_->setGeometry(0, 0, buttonWidth, host_->height());
    host_->setVisible(buttonWidth >= 2);
    setTextMargins(0, 0, host_->isHidden() ? 0 : buttonWidth + 2, 0);
}

void TCustomComboEdit::SetFont(const TFont& font)
{
    if (font == font_)
        return;
    font_ = font;
    setFont(QtFontEngine::MakeQFont(font_.Logical()));
    setMinimumHeight(MinimumHeight());
    update();
}

void TCustomComboEdit::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    setReadOnly(readOnly_ || !directInput_);
}

void TCustomComboEdit::SetDirectInput(bool direct)
{
    directInput_ = direct;
    setReadOnly(readOnly_ || !directInput_);
}

void TCustomComboEdit::Paste()
{
    if (directInput_ && !GetReadOnly())
        paste();
}

void TCustomComboEdit::Cut()
{
    if (directInput_ && !GetReadOnly())
        cut();
}

void TCustomComboEdit::SetButtonWidth(int width)
{
    if (width == ButtonWidth() || width >= this->width())
        return;
    button_->resize(width, button_->height());
    UpdateControls();
    RecreateGlyph();
}

void TCustomComboEdit::SetGlyph(const QImage& glyph)
{
    button_->SetGlyph(glyph);
    glyphKind_ = TGlyphKind::gkCustom;
    button_->DropDownLook = false;
    button_->update();
}

void TCustomComboEdit::SetNumGlyphs(int count)
{
    switch (glyphKind_) {
    case TGlyphKind::gkDropDown:
    case TGlyphKind::gkEllipsis: button_->SetNumGlyphs(1); break;
    case TGlyphKind::gkDefault: button_->SetNumGlyphs(defaultNumGlyphs_); break;
    case TGlyphKind::gkCustom: button_->SetNumGlyphs(count); break;
    }
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind)
{
    if (kind == glyphKind_)
        return;
    glyphKind_ = kind;
    button_->DropDownLook = kind == TGlyphKind::gkDropDown;
    RecreateGlyph();
    if (kind == TGlyphKind::gkDefault && !Glyph().isNull())
        SetButtonWidth(Max(Glyph().width() / NumGlyphs() + 6, ButtonWidth()));
    else if (kind == TGlyphKind::gkDropDown)
        SetButtonWidth(kDropDownButtonWidth);
    button_->update();
}

void TCustomComboEdit::RecreateGlyph()
{
    switch (glyphKind_) {
    case TGlyphKind::gkDefault:
        button_->SetGlyph(GetDefaultGlyph());
        button_->SetNumGlyphs(defaultNumGlyphs_);
        break;
    case TGlyphKind::gkDropDown:
        button_->SetGlyph(QImage());
        break;
    case TGlyphKind::gkEllipsis:
        button_->SetGlyph(EllipsisGlyph(ButtonWidth()));
        break;
    case TGlyphKind::gkCustom: break;
    }
}

void TCustomComboEdit::SetPopup(TPopupWindow* popup)
{
    popup_ = popup;
    if (!popup_)
        return;
    popup_->OnCloseUp = [this](TPopupWindow* sender, bool accept) { PopupCloseUp(sender, accept); };
    // The popup reads as the edit does from the start; later changes follow in changeEvent.
    popup_->setLayoutDirection(layoutDirection());
}

void TCustomComboEdit::ButtonClick()
{
    if (GetReadOnly())
        return;
    if (OnButtonClick)
        OnButtonClick(this);
    if (!popup_)
        return;
    if (popupVisible_)
        PopupCloseUp(popup_, true);
    else
        PopupDropDown(true);
}

void TCustomComboEdit::PopupDropDown(bool disableEdit)
{
    if (!popup_ || GetReadOnly() || popupVisible_)
        return;
    const QPoint corner = mapToGlobal(QPoint());
    const TRect edit{corner.x(), corner.y(), corner.x() + width(), corner.y() + height()};
    const QScreen* holder = QGuiApplication::screenAt(corner + QPoint(width() / 2, height() / 2));
    const QRect area = (holder ? holder : screen())->availableGeometry();
    const TPoint at = PopupPosition(edit, {popup_->width(), popup_->height()}, PopupAlign,
                                    {area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    const std::string text = Text();
    SetPopupValue(text.empty() ? QVariant() : QVariant(QString::fromStdString(text)));
    if (focusPolicy() != Qt::NoFocus && isEnabled() && isVisible())
        setFocus(Qt::OtherFocusReason);
    popupVisible_ = true;
    ShowPopup(QPoint(at.X, at.Y));
    if (disableEdit)
        setReadOnly(true);
}

void TCustomComboEdit::PopupCloseUp(TPopupWindow*, bool accept)
{
    if (!popupVisible_ || closingUp_)
        return;
    ScopedValue<bool> closing(closingUp_, true);
    ScopeExit hidden([this] { popupVisible_ = false; });
    const QVariant value = GetPopupValue();
    HidePopup();
    if (focusPolicy() != Qt::NoFocus && isEnabled() && isVisible())
        setFocus(Qt::OtherFocusReason);
    SetDirectInput(directInput_);
    update();
    if (accept && AcceptPopup(value) && CanModify()) {
        AcceptValue(value);
        if (hasFocus())
            selectAll();
    }
}

void TCustomComboEdit::ShowPopup(QPoint screenPoint)
{
    popup_->ShowAt(screenPoint);
}

void TCustomComboEdit::HidePopup()
{
    popup_->HideWindow();
}

bool TCustomComboEdit::AcceptPopup(const QVariant&)
{
    return true;
}

void TCustomComboEdit::AcceptValue(const QVariant& value)
{
    const std::string text = value.toString().toStdString();
    if (Text() == text)
        return;
    SetTextQuietly(text);
    SetModified(true);
    RefreshPopupVisible();
    Change();
}

void TCustomComboEdit::RefreshPopupVisible()
{
    popupVisible_ = popup_ && popup_->isVisible();
}

void TCustomComboEdit::SetPopupValue(const QVariant& value)
{
    if (popup_)
        popup_->SetValue(value);
}

QVariant TCustomComboEdit::GetPopupValue() const
{
    return popup_ ? popup_->GetValue() : QVariant(QString());
}

bool TCustomComboEdit::HandsKeyToPopup(const QKeyEvent& event) const
{
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: return true;
    default: return false;
    }
}

void TCustomComboEdit::Change()
{
    if (popupVisible_)
        PopupChange();
    else
        TCustomMaskEdit::Change();
}

void TCustomComboEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->keyCombination() == ClickKey && ButtonWidth() > 0) {
        ButtonClick();
        event->accept();
        return;
    }
    if (popupVisible_ && popup_) {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter || event->key() == Qt::Key_Escape) {
            PopupCloseUp(popup_, enter);
            event->accept();
            return;
        }
        if (HandsKeyToPopup(*event)) {
            popup_->DeliverKey(event);
            return;
        }
    }
    TCustomMaskEdit::keyPressEvent(event);
}

void TCustomComboEdit::focusOutEvent(QFocusEvent* event)
{
    TCustomMaskEdit::focusOutEvent(event);
    RestartCaret();
    // The focus-out its own popup causes on opening is no loss of focus.
    if (event->reason() == Qt::PopupFocusReason && popup_ && popup_->isVisible())
        return;
    if (popupVisible_)
        PopupCloseUp(popup_, false);
}

void TCustomComboEdit::mousePressEvent(QMouseEvent* event)
{
    if (popup_ && event->button() == Qt::LeftButton) {
        if (!hasFocus()) {
            setFocus(Qt::MouseFocusReason);
            if (!hasFocus())
                return;
        }
        if (popupVisible_)
            PopupCloseUp(popup_, false);
    }
    TCustomMaskEdit::mousePressEvent(event);
}

void TCustomComboEdit::resizeEvent(QResizeEvent* event)
{
    TCustomMaskEdit::resizeEvent(event);
    UpdateControls();
}

void TCustomComboEdit::changeEvent(QEvent* event)
{
    TCustomMaskEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        UpdateControls();
    if (event->type() == QEvent::LayoutDirectionChange && popup_)
        popup_->setLayoutDirection(layoutDirection());  // a window: Qt hands the direction on to no window
    if (event->type() == QEvent::ReadOnlyChange)
        RestartCaret();
}

}  // namespace velmoran
