// The speed button; see SpeedButton.h.
#include "controls/SpeedButton.h"

#include "controls/DrawUtils.h"
#include "platform/Action.h"
#include "platform/Edges.h"
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/core/CodePage.h"

#include <QCursor>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>

namespace velmoran {

namespace {

TDropDownPopup& InstalledPopup()
{
    static TDropDownPopup popup;
    return popup;
}

void ShowMenu(QMenu& menu, const QPoint& screenPoint)
{
    if (InstalledPopup())
        InstalledPopup()(menu, screenPoint);
    else
        menu.exec(screenPoint);
}

// While the drop-down menu is open: a press on the button closes the menu and is not replayed
// to the button, which would open the menu again.
class NoReplayOverButton : public QObject {
public:
    explicit NoReplayOverButton(const QWidget& button) : button_(button) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            if (QRect(button_.mapToGlobal(QPoint()), button_.size()).contains(at))
                static_cast<QWidget*>(watched)->setAttribute(Qt::WA_NoMouseReplay);
        }
        return false;
    }

private:
    const QWidget& button_;
};

// Frames of one pixel, outside in, by the state and the look.
TRect DrawButtonFrame(Canvas& canvas, TRect r, bool down, bool flat, bool newStyle)
{
    const ColorRef frame = SystemColor(COLOR_WINDOWFRAME);
    const ColorRef highlight = SystemColor(COLOR_BTNHIGHLIGHT);
    const ColorRef shadow = SystemColor(COLOR_BTNSHADOW);
    const ColorRef face = SystemColor(COLOR_BTNFACE);
    if (down) {
        if (newStyle) {
            Frame3D(canvas, r, frame, highlight, 1);
            if (!flat)
                Frame3D(canvas, r, shadow, face, 1);
        } else if (flat) {
            Frame3D(canvas, r, frame, highlight, 1);
        } else {
            Frame3D(canvas, r, frame, frame, 1);
            canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, shadow);
            canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, shadow);
        }
    } else if (newStyle) {
        if (flat) {
            Frame3D(canvas, r, highlight, shadow, 1);
        } else {
            Frame3D(canvas, r, highlight, frame, 1);
            Frame3D(canvas, r, face, shadow, 1);
        }
    } else if (flat) {
        Frame3D(canvas, r, highlight, frame, 1);
    } else {
        Frame3D(canvas, r, frame, frame, 1);
        Frame3D(canvas, r, highlight, shadow, 1);
    }
    return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

// The checkered face of an exclusive button: face and highlight by turns, counted from the
// button's corner.
void FillCheckered(Canvas& canvas, const TRect& r)
{
    if (r.IsEmpty())
        return;
    QImage pattern(r.Width(), r.Height(), QImage::Format_RGB32);
    const QRgb face = ColorToQRgb(SystemColor(COLOR_BTNFACE));
    const QRgb highlight = ColorToQRgb(SystemColor(COLOR_BTNHIGHLIGHT));
    for (int y = 0; y < r.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(pattern.scanLine(y));
        for (int x = 0; x < r.Width(); ++x)
            line[x] = (r.Left + x + r.Top + y) % 2 == 0 ? highlight : face;
    }
    canvas.StretchBlt(r, pattern);
}

bool IsPressed(TButtonState state)
{
    return state == TButtonState::bsDown || state == TButtonState::bsExclusive;
}

}  // namespace

TDropDownPopup SetDropDownPopup(TDropDownPopup popup)
{
    TDropDownPopup previous = std::move(InstalledPopup());
    InstalledPopup() = std::move(popup);
    return previous;
}

TPoint DropDownMenuPoint(TExDropDownMenuPos position, TPopupAlignment alignment, int width, int height)
{
    if (position == TExDropDownMenuPos::dmpBottom) {
        switch (alignment) {
        case TPopupAlignment::paLeft: return {-1, height};
        case TPopupAlignment::paRight: return {width + 1, height};
        case TPopupAlignment::paCenter: return {width / 2, height};
        }
    }
    switch (alignment) {
    case TPopupAlignment::paLeft: return {width, -1};
    case TPopupAlignment::paRight: return {-1, -1};
    case TPopupAlignment::paCenter: return {width / 2, height};
    }
    return {};
}

TExSpeedButton::TExSpeedButton(QWidget* parent) : QWidget(parent)
{
    resize(25, 25);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    glyph_.OnChange = [this] { update(); };
}

TExSpeedButton::~TExSpeedButton()
{
    if (action_)
        action_->UnRegisterChanges(this);
}

void TExSpeedButton::SetCaption(const std::string& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    UpdateAccelerator();
    update();
}

void TExSpeedButton::SetHint(const std::string& hint)
{
    hint_ = hint;
    const std::string_view shortHint = ShortHint(hint_);
    setToolTip(QString::fromUtf8(shortHint.data(), static_cast<qsizetype>(shortHint.size())));
}

TFont TExSpeedButton::Font() const
{
    return parentFont_ && parentWidget() ? WidgetFont(*parentWidget()) : font_;
}

void TExSpeedButton::SetFont(const TFont& font)
{
    parentFont_ = false;
    if (font == font_)
        return;
    font_ = font;
    update();
}

void TExSpeedButton::SetParentFont(bool on)
{
    parentFont_ = on;
    update();
}

void TExSpeedButton::SetAlignment(TAlignment alignment)
{
    if (alignment == glyph_.Alignment)
        return;
    glyph_.Alignment = alignment;
    update();
}

void TExSpeedButton::SetAllowAllUp(bool allow)
{
    if (allow == allowAllUp_)
        return;
    allowAllUp_ = allow;
    UpdateExclusive();
}

void TExSpeedButton::SetAllowTimer(bool allow)
{
    allowTimer_ = allow;
    if (!allow)
        repeatTimer_.reset();
}

void TExSpeedButton::SetGroupIndex(int index)
{
    if (index == groupIndex_)
        return;
    groupIndex_ = index;
    UpdateExclusive();
}

void TExSpeedButton::SetDown(bool down)
{
    if (groupIndex_ == 0)
        down = false;
    if (down == down_ || (down_ && !allowAllUp_))
        return;
    down_ = down;
    if (isEnabled())
        SetState(down ? TButtonState::bsExclusive : TButtonState::bsUp);
    if (down)
        UpdateExclusive();
}

void TExSpeedButton::SetDropDownMenu(QMenu* menu)
{
    if (menu == menu_)
        return;
    if (menu_)
        disconnect(menu_, &QObject::destroyed, this, nullptr);
    menu_ = menu;
    if (menu_)
        connect(menu_, &QObject::destroyed, this, [this] {
            if (markDropDown_)
                update();
        });
    if (markDropDown_)
        update();
}

void TExSpeedButton::SetFlat(bool flat)
{
    if (flat == flat_)
        return;
    flat_ = flat;
    update();
}

void TExSpeedButton::SetGlyph(const QImage& glyph)
{
    glyphFromAction_ = false;
    glyph_.SetGlyph(glyph);
}

void TExSpeedButton::SetGrayedInactive(bool grayed)
{
    if (grayed == grayedInactive_)
        return;
    grayedInactive_ = grayed;
    update();
}

void TExSpeedButton::SetLayout(TButtonLayout layout)
{
    if (layout == layout_)
        return;
    layout_ = layout;
    update();
}

void TExSpeedButton::SetMargin(int margin)
{
    if (margin == margin_ || margin < -1)
        return;
    margin_ = margin;
    update();
}

void TExSpeedButton::SetSpacing(int spacing)
{
    if (spacing == spacing_)
        return;
    spacing_ = spacing;
    update();
}

void TExSpeedButton::SetMarkDropDown(bool mark)
{
    if (mark == markDropDown_)
        return;
    markDropDown_ = mark;
    update();
}

void TExSpeedButton::SetNumGlyphs(int count)
{
    glyph_.SetNumGlyphs(std::min(count, kMaxGlyphs));
}

void TExSpeedButton::SetStyle(TButtonStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    update();
}

void TExSpeedButton::SetTransparent(bool transparent)
{
    if (transparent == transparent_)
        return;
    transparent_ = transparent;
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
    update();
}

void TExSpeedButton::SetWordWrap(bool wrap)
{
    if (wrap == glyph_.WordWrap)
        return;
    glyph_.WordWrap = wrap;
    update();
}

// --- groups ---

void TExSpeedButton::UpdateExclusive()
{
    if (groupIndex_ == 0 || !parentWidget())
        return;
    // By dynamic_cast: the button has no meta-object of its own for findChildren to tell it by.
    for (QObject* child : parentWidget()->children())
        if (auto* other = dynamic_cast<TExSpeedButton*>(child))
            other->ButtonPressed(*this);
}

void TExSpeedButton::ButtonPressed(const TExSpeedButton& sender)
{
    if (&sender == this || sender.groupIndex_ != groupIndex_)
        return;
    if (sender.down_ && down_) {
        down_ = false;
        SetState(isEnabled() ? TButtonState::bsUp : TButtonState::bsDisabled);
    }
    allowAllUp_ = sender.allowAllUp_;
}

// --- action ---

void TExSpeedButton::SetAction(Action* action)
{
    if (action == action_)
        return;
    if (action_)
        action_->UnRegisterChanges(this);
    action_ = action;
    if (action_) {
        action_->RegisterChanges(this, [this] { ActionChanged(); });
        ActionChanged();
    }
}

void TExSpeedButton::ActionChanged()
{
    if (!action_)
        return;
    SetCaption(action_->Caption());
    SetHint(action_->Hint());
    setEnabled(action_->Enabled());
    if (!action_->Visible())
        hide();
    else if (parentWidget() && isHidden())
        show();
    if (groupIndex_ != 0 && action_->Checked() != down_) {
        if (action_->Checked()) {
            SetDown(true);
        } else {
            down_ = false;
            SetState(TButtonState::bsUp);
        }
    }
    ImageList* images = action_->Images();
    if ((Glyph().isNull() || glyphFromAction_) && images && action_->ImageIndex() >= 0) {
        constexpr ColorRef kMagenta = RGBRef(255, 0, 255);
        QImage picture(images->Width(), images->Height(), QImage::Format_RGB32);
        picture.fill(ColorToQRgb(kMagenta));
        QPainter(&picture).drawImage(0, 0, images->Image(action_->ImageIndex()));
        glyph_.SetGlyph(picture);
        glyph_.SetTransparentColor(kMagenta);
        glyphFromAction_ = true;
    }
}

// --- clicking ---

void TExSpeedButton::Click()
{
    if (ModalResult != 0)
        if (auto* dialog = qobject_cast<QDialog*>(window()))
            dialog->done(ModalResult);
    if (OnClick)
        OnClick(this);
    else if (action_)
        action_->Execute();
}

void TExSpeedButton::UpdateAccelerator()
{
    if (shortcut_ != 0)
        releaseShortcut(shortcut_);
    shortcut_ = 0;
    accelerator_ = QKeySequence::mnemonic(QString::fromStdString(caption_));
    if (!accelerator_.isEmpty())
        shortcut_ = grabShortcut(accelerator_);
}

bool TExSpeedButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut && !accelerator_.isEmpty() &&
        static_cast<QShortcutEvent*>(event)->key() == accelerator_) {
        if (isEnabled() && isVisible())
            Click();
        return true;
    }
    return QWidget::event(event);
}

// --- mouse ---

bool TExSpeedButton::InsideForDragging(QPoint p) const
{
    return p.x() >= 0 && p.x() < width() && p.y() >= 0 && p.y() <= height();
}

void TExSpeedButton::SetState(TButtonState state)
{
    if (state == state_)
        return;
    state_ = state;
    update();
}

void TExSpeedButton::mousePressEvent(QMouseEvent* event)
{
    PressButton(event);
}

void TExSpeedButton::PressButton(QMouseEvent* event)
{
    if (menuTracking_)
        return;
    if (isEnabled() && !mouseInControl_) {
        mouseInControl_ = true;
        update();
    }
    if (event->button() == Qt::RightButton)
        UpdateTracking();
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    if (!down_)
        SetState(TButtonState::bsDown);
    dragging_ = true;
    menuTracking_ = true;
    if (menu_) {
        QPointer<TExSpeedButton> self(this);
        ShowDropDown();
        if (!self)
            return;
        // The menu has taken the release: handle it now, as the click of a menu that does not count.
        const QPointF at = mapFromGlobal(QCursor::pos());
        QMouseEvent release(QEvent::MouseButtonRelease, at, mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        mouseReleaseEvent(&release);
        if (!self)
            return;
    }
    menuTracking_ = false;
    if (allowTimer_) {
        if (!repeatTimer_) {
            repeatTimer_ = std::make_unique<QTimer>();
            connect(repeatTimer_.get(), &QTimer::timeout, this, [this] { RepeatTick(); });
        }
        repeatTimer_->start(InitPause);
    }
}

void TExSpeedButton::ShowDropDown()
{
    QPointer<QMenu> menu = menu_;
    const TPoint point = DropDownMenuPoint(MenuPosition, MenuAlignment, width(), height());
    QPoint screenPoint = mapToGlobal(QPoint(point.X, point.Y));
    if (MenuAlignment == TPopupAlignment::paRight)
        screenPoint.rx() -= menu->sizeHint().width();
    else if (MenuAlignment == TPopupAlignment::paCenter)
        screenPoint.rx() -= menu->sizeHint().width() / 2;
    NoReplayOverButton noReplay(*this);
    menu->installEventFilter(&noReplay);
    ShowMenu(*menu, screenPoint);
    if (menu)
        menu->removeEventFilter(&noReplay);
}

void TExSpeedButton::RepeatTick()
{
    repeatTimer_->setInterval(RepeatInterval);
    if (state_ == TButtonState::bsDown && dragging_)
        Click();
}

void TExSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    const bool inside = InsideForDragging(event->position().toPoint());
    if (down_)
        SetState(TButtonState::bsExclusive);
    else
        SetState(inside ? TButtonState::bsDown : TButtonState::bsUp);
}

void TExSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (repeatTimer_)
        repeatTimer_->stop();
    if (event->button() == Qt::RightButton)
        UpdateTracking();
    if (event->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    const bool clicked = InsideForDragging(event->position().toPoint());
    if (groupIndex_ == 0) {
        SetState(TButtonState::bsUp);
        mouseInControl_ = false;
        update();
    } else {
        if (clicked)
            SetDown(!down_);
        SetState(down_ ? TButtonState::bsExclusive : TButtonState::bsUp);
    }
    QPointer<TExSpeedButton> self(this);
    if (clicked && !menuTracking_)
        Click();
    if (self)
        UpdateTracking();
}

void TExSpeedButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    PressButton(event);
    if (down_ && OnDblClick)
        OnDblClick(this);
}

void TExSpeedButton::MouseEnter()
{
    if (mouseInControl_ || !isEnabled() || !IsForegroundTask())
        return;
    mouseInControl_ = true;
    if (flat_)
        update();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TExSpeedButton::MouseLeave()
{
    if (!mouseInControl_ || dragging_)
        return;
    mouseInControl_ = false;
    if (flat_)
        update();
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TExSpeedButton::enterEvent(QEnterEvent*)
{
    MouseEnter();
}

void TExSpeedButton::leaveEvent(QEvent*)
{
    MouseLeave();
}

void TExSpeedButton::UpdateTracking()
{
    const bool over = isEnabled() && isVisible() && rect().contains(mapFromGlobal(QCursor::pos())) &&
                      IsForegroundTask();
    if (over)
        MouseEnter();
    else
        MouseLeave();
}

void TExSpeedButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            state_ = TButtonState::bsDisabled;
            dragging_ = false;
        } else {
            state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
        }
        UpdateTracking();
        glyph_.CreateButtonGlyph(state_);
        update();
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        glyph_.Invalidate();
        update();
    }
}

void TExSpeedButton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    UpdateTracking();
}

// --- painting ---

QImage TExSpeedButton::Picture()
{
    if (width() < 1 || height() < 1)
        return {};
    QImage picture(size(), QImage::Format_RGB32);
    picture.fill(ColorToQRgb(SystemColor(COLOR_BTNFACE)));
    if (transparent_)
        CopyParentImage(this, picture);
    QPainter painter(&picture);
    QtCanvas canvas(&painter);
    PaintTo(canvas);
    return picture;
}

void TExSpeedButton::paintEvent(QPaintEvent*)
{
    const QImage picture = Picture();
    if (!picture.isNull())
        QPainter(this).drawImage(0, 0, picture);
}

void TExSpeedButton::PaintTo(Canvas& canvas)
{
    if (!isEnabled()) {
        state_ = TButtonState::bsDisabled;
        dragging_ = false;
    } else if (state_ == TButtonState::bsDisabled) {
        state_ = down_ && groupIndex_ != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
    }
    const TButtonState painted = flat_ && !mouseInControl_ ? TButtonState::bsInactive : state_;
    TRect r{0, 0, width(), height()};
    if (painted != TButtonState::bsInactive || state_ == TButtonState::bsExclusive) {
        const bool newStyle = style_ != TButtonStyle::bsWin31;
        r = DrawButtonFrame(canvas, r, IsPressed(state_), flat_, newStyle);
    } else {
        r = {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    }
    if (state_ == TButtonState::bsExclusive && !transparent_ && !flat_)
        FillCheckered(canvas, {r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1});
    if (IsPressed(state_))
        r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    const TButtonState glyphState = state_ == TButtonState::bsDisabled || !grayedInactive_ ? state_ : painted;
    PaintGlyph(canvas, r, glyphState, markDropDown_ && menu_);
}

void TExSpeedButton::PaintGlyph(Canvas& canvas, const TRect& rect, TButtonState state, bool drawMark)
{
    const TFont font = Font();
    canvas.SetFont(font.Logical());
    canvas.SetTextColor(font.Color);
    glyph_.DrawButton(canvas, rect, {}, Utf8ToWide(caption_), layout_, margin_, spacing_, state, drawMark);
}

}  // namespace velmoran
