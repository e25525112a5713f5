// The HTML radio button; see HtmlRadioButton.h.
#include "controls/HtmlRadioButton.h"

#include "controls/ControlResources.h"
#include "html/base/image/ImageLoad.h"
#include "platform/Cursors.h"
#include "platform/Edges.h"
#include "platform/QtCanvas.h"
#include "platform/Shell.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include <algorithm>
#include <map>

namespace velmoran {

namespace {

// The caption starts this far right of the button look, and 4 pixels down.
constexpr int kCaptionGap = 5;
constexpr int kCaptionTop = 4;
// Where the anchor hit test starts, as the looks' captions stand.
constexpr int kAnchorLeft = 17;
constexpr int kAnchorLeftTolvane = 22;
constexpr int kFrameControlSize = 13;
constexpr int kDiamondSize = 12;

struct TolvaneBitmap {
    QImage Image;
    QImage Mask;
};

// "RAD01" checked, "RAD02" unchecked, "RAD03" checked and disabled, "RAD04" unchecked and
// disabled; transparent where the lower-left pixel's colour is.
const TolvaneBitmap& Tolvane(bool checked, bool enabled)
{
    static std::map<std::string, TolvaneBitmap> bitmaps;
    const std::string name = checked ? (enabled ? "RAD01" : "RAD03") : (enabled ? "RAD02" : "RAD04");
    auto it = bitmaps.find(name);
    if (it == bitmaps.end()) {
        TolvaneBitmap bitmap;
        bitmap.Image = ControlBitmap(name);
        bitmap.Mask = CreateMaskBitmap(bitmap.Image, false);
        it = bitmaps.emplace(name, std::move(bitmap)).first;
    }
    return it->second;
}

QSize TolvaneSize()
{
    const QImage& image = Tolvane(false, true).Image;
    return image.isNull() ? QSize(kFrameControlSize, kFrameControlSize) : image.size();
}

}  // namespace

THtmlRadioButton::THtmlRadioButton(QWidget* parent) : QWidget(parent)
{
    resize(98, 20);
    SetTabStop(false);
    setMouseTracking(true);
    UpdateAccelerator();
    SettleTabStops();
}

THtmlRadioButton::~THtmlRadioButton() = default;

void THtmlRadioButton::SetCaption(const std::string& caption)
{
    caption_ = caption;
    setWindowTitle(QString::fromStdString(caption));
    pictureCache_.ClearPictures();
    UpdateAccelerator();
    update();
}

void THtmlRadioButton::SetChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    if (checked)
        for (THtmlRadioButton* sibling : Group())
            if (sibling != this)
                sibling->SetChecked(false);
    SettleTabStops();
    if (checked)
        Click();
    update();
}

void THtmlRadioButton::SetGroupIndex(std::uint8_t index)
{
    if (index == groupIndex_)
        return;
    const std::vector<THtmlRadioButton*> left = Group();
    groupIndex_ = index;
    for (THtmlRadioButton* button : left)
        if (button != this) {
            button->SettleTabStops();
            break;
        }
    SettleTabStops();
}

std::vector<THtmlRadioButton*> THtmlRadioButton::Group() const
{
    QWidget* parent = parentWidget();
    if (!parent)
        return {const_cast<THtmlRadioButton*>(this)};
    std::vector<THtmlRadioButton*> group;
    for (QObject* child : parent->children())
        if (auto* button = dynamic_cast<THtmlRadioButton*>(child); button && button->groupIndex_ == groupIndex_)
            group.push_back(button);
    return group;
}

void THtmlRadioButton::SettleTabStops() const
{
    const std::vector<THtmlRadioButton*> group = Group();
    const bool anyChecked = std::any_of(group.begin(), group.end(), [](const auto* b) { return b->checked_; });
    for (THtmlRadioButton* button : group)
        button->SetTabStop(anyChecked ? button->checked_ : button == group.front());
}

bool THtmlRadioButton::MoveInGroup(int step)
{
    const std::vector<THtmlRadioButton*> group = Group();
    const auto n = static_cast<int>(group.size());
    const auto me = static_cast<int>(std::find(group.begin(), group.end(), this) - group.begin());
    for (int k = 1; k < n; ++k) {
        THtmlRadioButton* next = group[static_cast<std::size_t>(((me + step * k) % n + n) % n)];
        if (!next->isEnabled() || !next->isVisible())
            continue;
        next->setFocus(Qt::OtherFocusReason);
        next->SetChecked(true);
        return true;
    }
    return false;
}

void THtmlRadioButton::Click()
{
    if (OnClick)
        OnClick(this);
}

void THtmlRadioButton::SetButtonType(TButtonType type)
{
    buttonType_ = type;
    update();
}

void THtmlRadioButton::SetButtonVertAlign(TTextLayout layout)
{
    if (layout == buttonVertAlign_)
        return;
    buttonVertAlign_ = layout;
    update();
}

void THtmlRadioButton::SetAlignment(TLeftRight alignment)
{
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    update();
}

void THtmlRadioButton::SetCheckColor(ColorRef color)
{
    checkColor_ = color;
    repaint();
}

void THtmlRadioButton::SetEllipsis(bool on)
{
    if (on == ellipsis_)
        return;
    ellipsis_ = on;
    update();
}

void THtmlRadioButton::SetURLColor(ColorRef color)
{
    urlColor_ = color;
    update();
}

void THtmlRadioButton::SetShadowColor(ColorRef color)
{
    if (color == shadowColor_)
        return;
    shadowColor_ = color;
    update();
}

void THtmlRadioButton::SetShadowOffset(int offset)
{
    if (offset == shadowOffset_)
        return;
    shadowOffset_ = offset;
    update();
}

void THtmlRadioButton::SetColor(ColorRef color)
{
    color_ = color;
    update();
}

void THtmlRadioButton::SetFont(const TFont& font)
{
    font_ = font;
    update();
}

void THtmlRadioButton::SetImages(ImageList* images)
{
    if (images_)
        images_->UnRegisterChanges(this);
    images_ = images;
    if (images_)
        images_->RegisterChanges(this, [this] { update(); });
    update();
}

void THtmlRadioButton::SetPictureContainer(TPictureContainer* container)
{
    pictureContainer_ = container;
    update();
}

int THtmlRadioButton::ButtonWidth() const
{
    switch (buttonType_) {
    case TButtonType::btQuarnel: return kDiamondSize;
    case TButtonType::btTolvane: return TolvaneSize().width();
    default: return kFrameControlSize;
    }
}

TRect THtmlRadioButton::ButtonRect() const
{
    const bool right = alignment_ == TLeftRight::taRightJustify;
    const int w = width();
    const int h = height();
    const auto place = [&](int x, int size, int top, int centre, int bottom) {
        const int y = buttonVertAlign_ == TTextLayout::tlTop ? top : buttonVertAlign_ == TTextLayout::tlCenter ? centre : bottom;
        return TRect{x, y, x + size, y + size};
    };
    switch (buttonType_) {
    case TButtonType::btQuarnel:
        return place(right ? w - 13 : 1, kDiamondSize, 4, h / 2 - 6, h - 16);
    case TButtonType::btTolvane: {
        const QSize size = TolvaneSize();
        const int x = right ? w - size.width() - 1 : 0;
        const int y = buttonVertAlign_ == TTextLayout::tlTop      ? 2
                      : buttonVertAlign_ == TTextLayout::tlCenter ? h / 2 - size.height() / 2
                                                                  : h - size.height() - 2;
        return {x, y, x + size.width(), y + size.height()};
    }
    default:
        return place(right ? w - kFrameControlSize : 0, kFrameControlSize, 4, h / 2 - 6, h - 17);
    }
}

// A diamond 12 pixels across, its tips two pixels wide; the dot of four short lines about the
// centre between pixels 5 and 6.
void THtmlRadioButton::DrawQuarnel(Canvas& canvas, const TRect& box)
{
    const int x = box.Left;
    const int y = box.Top;
    const std::vector<TPoint> outline{{x, y + 5},      {x + 5, y},      {x + 6, y},      {x + 11, y + 5},
                                      {x + 11, y + 6}, {x + 6, y + 11}, {x + 5, y + 11}, {x, y + 6}};
    const std::vector<TPoint> inner{{x + 1, y + 5},  {x + 5, y + 1},  {x + 6, y + 1},  {x + 10, y + 5},
                                    {x + 10, y + 6}, {x + 6, y + 10}, {x + 5, y + 10}, {x + 1, y + 6}};
    if (down_) {
        canvas.SelectPen(Pen{PenStyle::Solid, 1, clBlack});
        canvas.SelectBrush(Brush{BrushStyle::Null, 0});
        canvas.Polygon(outline);
        canvas.Polygon(inner);
    } else {
        canvas.SelectPen(Pen{PenStyle::Null, 0, 0});
        canvas.SelectBrush(Brush{BrushStyle::Solid, SystemColor(COLOR_BTNFACE)});
        canvas.Polygon(outline);
        const ColorRef upper = SystemColor(checked_ ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
        const ColorRef lower = SystemColor(checked_ ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
        canvas.SelectPen(Pen{PenStyle::Solid, 1, upper});
        canvas.Polyline({outline[7], outline[0], outline[1], outline[2], outline[3]});
        canvas.SelectPen(Pen{PenStyle::Solid, 1, lower});
        canvas.Polyline({outline[3], outline[4], outline[5], outline[6], outline[7]});
    }
    if (!checked_)
        return;
    const ColorRef dot = isEnabled() ? checkColor_ : clGray;
    const int cx = x + 5;
    const int cy = y + 5;
    canvas.FillRect({cx - 1, cy - 1, cx + 3, cy}, dot);
    canvas.FillRect({cx - 2, cy, cx + 4, cy + 1}, dot);
    canvas.FillRect({cx - 1, cy + 1, cx + 3, cy + 2}, dot);
    canvas.FillRect({cx, cy - 2, cx + 1, cy + 4}, dot);
}

void THtmlRadioButton::DrawTolvane(Canvas& canvas, const TRect& box)
{
    const TolvaneBitmap& bitmap = Tolvane(checked_, isEnabled());
    canvas.MaskedStretchBlt(box, bitmap.Image, bitmap.Mask);
}

void THtmlRadioButton::DrawButton(Canvas& canvas)
{
    const TRect box = ButtonRect();
    switch (buttonType_) {
    case TButtonType::btQuarnel: DrawQuarnel(canvas, box); break;
    case TButtonType::btTolvane: DrawTolvane(canvas, box); break;
    case TButtonType::btClassic:
    case TButtonType::btFlat: {
        unsigned state = DFCS_BUTTONRADIO;
        if (checked_)
            state |= DFCS_CHECKED;
        if (buttonType_ == TButtonType::btFlat)
            state |= DFCS_FLAT;
        if (!isEnabled())
            state |= DFCS_INACTIVE;
        DrawFrameControl(canvas, box, DFC_BUTTON, state);
        break;
    }
    }
}

TMiniHtmlInputs THtmlRadioButton::CaptionInputs() const
{
    TMiniHtmlInputs inputs;
    inputs.Text = caption_;
    inputs.Images = images_;
    inputs.PictureContainer = pictureContainer_;
    inputs.PictureCache = const_cast<THtmlPictureCache*>(&pictureCache_);
    inputs.WordWrap = !ellipsis_;
    inputs.AnchorColor = urlColor_;
    inputs.ShadowColor = shadowColor_;
    inputs.ShadowOffset = shadowOffset_;
    return inputs;
}

void THtmlRadioButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtCanvas canvas(&painter);
    PaintTo(canvas);
}

void THtmlRadioButton::PaintTo(Canvas& canvas)
{
    canvas.FillRect({0, 0, width(), height()}, color_);
    canvas.SetFont(font_.Logical());
    DrawButton(canvas);
    TRect r{0, kCaptionTop, width(), height()};
    if (alignment_ == TLeftRight::taRightJustify)
        r.Right = width() - ButtonWidth() - kCaptionGap;
    else
        r.Left = ButtonWidth() + kCaptionGap;
    TMiniHtmlInputs inputs = CaptionInputs();
    TMiniHtmlOutputs outputs;
    canvas.SelectBrush(Brush{BrushStyle::Solid, color_});
    if (isEnabled()) {
        inputs.Rect = r;
        canvas.SetTextColor(font_.Color);
        DrawMiniHtml(canvas, inputs, outputs);
    } else {
        // Engraved: a white copy one pixel right and down under a grey one.
        inputs.Rect = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
        inputs.AnchorColor = clGray;
        canvas.SetTextColor(clWhite);
        DrawMiniHtml(canvas, inputs, outputs);
        inputs.Rect = r;
        inputs.AnchorColor = clWhite;
        canvas.SetTextColor(clGray);
        DrawMiniHtml(canvas, inputs, outputs);
    }
    if (focused_)
        canvas.DrawFocusRect({r.Left - 1, r.Top - 1, r.Left + outputs.Width + 2, r.Top + outputs.Height});
}

std::string THtmlRadioButton::AnchorAt(int x, int y)
{
    if (!hasFocus())
        return {};
    QtCanvas canvas;
    canvas.SetFont(font_.Logical());
    TMiniHtmlInputs inputs = CaptionInputs();
    const int left = buttonType_ == TButtonType::btTolvane ? kAnchorLeftTolvane : kAnchorLeft;
    inputs.Rect = {left, kCaptionTop, width(), height()};
    inputs.X = x;
    inputs.Y = y;
    inputs.AnchorTestOnly = true;
    TMiniHtmlOutputs outputs;
    return DrawMiniHtml(canvas, inputs, outputs) ? outputs.HrefUnderPoint : std::string();
}

void THtmlRadioButton::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    // Only the left button chooses: a right click asks what the button is for, a middle click
    // means nothing here, and neither may take the focus (which checks) or press the button.
    if (event->button() != Qt::LeftButton) {
        if (OnMouseDown)
            OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
        return;
    }
    if (hasFocus()) {
        const std::string href = AnchorAt(p.x(), p.y());
        if (!href.empty()) {
            if (IsCaptionAddress(href))
                OpenWebOrMailAddress(href);
            else if (OnAnchorClick)
                OnAnchorClick(this, href);
            return;
        }
    } else {
        setFocus(Qt::MouseFocusReason);
    }
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    down_ = true;
    update();
}

void THtmlRadioButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        if (OnMouseUp)
            OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
        return;
    }
    down_ = false;
    if (rect().contains(p) && !checked_)
        SetChecked(true);
    update();
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
}

void THtmlRadioButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton) {
        const bool inside = rect().contains(p);
        if (inside != down_) {
            down_ = inside;
            update();
        }
    }
    const std::string href = AnchorAt(p.x(), p.y());
    if (!href.empty() && href != hoverHref_) {
        hoverHref_ = href;
        setCursor(ViewerCursor(TViewerCursor::Hand));
        handCursor_ = true;
        if (OnAnchorEnter)
            OnAnchorEnter(this, href);
    } else if (href.empty() && handCursor_) {
        unsetCursor();
        handCursor_ = false;
        hoverHref_.clear();
        if (OnAnchorExit)
            OnAnchorExit(this, std::string());
    }
    if (OnMouseMove)
        OnMouseMove(this, event->buttons(), event->modifiers(), p.x(), p.y());
}

void THtmlRadioButton::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && ReturnIsTab) {
        focusNextChild();
        return;
    }
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        down_ = true;
        update();
        return;
    }
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const int key = event->key();
        const int step = (key == Qt::Key_Left || key == Qt::Key_Up) ? -1 : (key == Qt::Key_Right || key == Qt::Key_Down) ? 1 : 0;
        if (step != 0) {
            MoveInGroup(step);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void THtmlRadioButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        down_ = false;
        if (!checked_)
            SetChecked(true);
        update();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

// Gaining the focus checks the button, unless the focus only passes by or comes back: Tab and
// Backtab, the window's activation and a closed popup never change a choice, and neither does a
// press of another button than the left one, which hands a clicked control the focus too.
void THtmlRadioButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    focused_ = true;
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason: break;
    case Qt::MouseFocusReason:
        if (!(QGuiApplication::mouseButtons() & ~Qt::LeftButton))
            SetChecked(true);
        break;
    default: SetChecked(true);
    }
    update();
}

void THtmlRadioButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    focused_ = false;
    update();
}

void THtmlRadioButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}

void THtmlRadioButton::UpdateAccelerator()
{
    if (shortcut_ != 0)
        releaseShortcut(shortcut_);
    shortcut_ = 0;
    const char32_t key = CaptionAccelerator(caption_);
    accelerator_ = key ? QKeySequence::mnemonic(QStringLiteral("&") + QString::fromUcs4(&key, 1)) : QKeySequence();
    if (!accelerator_.isEmpty())
        shortcut_ = grabShortcut(accelerator_);
}

bool THtmlRadioButton::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        SettleTabStops();
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (!accelerator_.isEmpty() && shortcut->key() == accelerator_) {
            if (isEnabled() && isVisible()) {
                setFocus(Qt::ShortcutFocusReason);
                SetChecked(true);
            }
            return true;
        }
    }
    return QWidget::event(event);
}

}  // namespace velmoran
