// The flat combo box; see EnhCombo.h.
#include "controls/EnhCombo.h"

#include "platform/CanvasText.h"
#include "platform/Edges.h"
#include "platform/QtCanvas.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QProxyStyle>

#include <algorithm>

namespace velmoran {

namespace {

// The application's style, but a combo that cannot be edited drops a list of at most
// maxVisibleItems rows too, not a menu of all its items.
class DropListStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

TEnhCustomCombo::TEnhCustomCombo(QWidget* parent) : QComboBox(parent), color_(SystemColor(COLOR_WINDOW))
{
    auto* style = new DropListStyle;
    style->setParent(this);
    setStyle(style);
    setEditable(true);
    // The drop-down list shows eight rows before it scrolls.
    setMaxVisibleItems(8);
    connect(this, &QComboBox::activated, this, [this] {
        UserChanged();
        if (OnClick)
            OnClick(this);
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { UserChanged(); });
    SetFont(font_);
}

void TEnhCustomCombo::UserChanged()
{
    if (OnChange)
        OnChange(this);
}

// --- properties ---

void TEnhCustomCombo::SetFlat(bool on)
{
    if (on == flat_)
        return;
    flat_ = on;
    PlaceChildren();
    update();
}

void TEnhCustomCombo::SetEtched(bool on)
{
    if (on == etched_)
        return;
    etched_ = on;
    update();
}

void TEnhCustomCombo::SetButtonWidth(int width)
{
    if (width < 14 || width > 32)
        return;
    buttonWidth_ = width;
    PlaceChildren();
    update();
}

void TEnhCustomCombo::SetFocusBorder(bool on)
{
    focusBorder_ = on;
    update();
}

void TEnhCustomCombo::SetDropWidth(int width)
{
    dropWidth_ = width;
    if (width > 0)
        view()->setMinimumWidth(width);
}

void TEnhCustomCombo::SetStyle(TComboBoxStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    const bool editable = style != TComboBoxStyle::csDropDownList;
    if (editable != isEditable()) {
        setEditable(editable);
        if (editable)
            connect(lineEdit(), &QLineEdit::textEdited, this, [this] { UserChanged(); });
    }
    if (style == TComboBoxStyle::csSimple) {
        hidePopup();
        if (!list_) {
            list_ = new QListView(this);
            list_->setModel(model());
            list_->setFocusPolicy(Qt::NoFocus);
            connect(list_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
                if (index.row() == currentIndex())
                    return;
                setCurrentIndex(index.row());
                UserChanged();
            });
            connect(this, &QComboBox::currentIndexChanged, list_, [this](int index) {
                list_->setCurrentIndex(model()->index(index, modelColumn()));
            });
            list_->setCurrentIndex(model()->index(currentIndex(), modelColumn()));
        }
    } else if (list_) {
        delete list_.data();
    }
    UpdateColors();
    PlaceChildren();
    update();
}

void TEnhCustomCombo::SetColor(ColorRef color)
{
    color_ = color;
    parentColor_ = false;
    UpdateColors();
}

void TEnhCustomCombo::SetParentColor(bool on)
{
    parentColor_ = on;
    UpdateColors();
}

ColorRef TEnhCustomCombo::ParentBackground() const
{
    if (const QWidget* parent = parentWidget())
        return FromQColor(parent->palette().color(QPalette::Window));
    return SystemColor(COLOR_BTNFACE);
}

ColorRef TEnhCustomCombo::ShownColor() const
{
    return parentColor_ ? ParentBackground() : color_;
}

void TEnhCustomCombo::SetFont(const TFont& font)
{
    font_ = font;
    setFont(QtFontEngine::MakeQFont(font.Logical()));
    UpdateColors();
}

void TEnhCustomCombo::UpdateColors()
{
    QPalette palette = this->palette();
    const QColor base = ToQColor(ShownColor());
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Text,
                         ToQColor(group == QPalette::Disabled ? SystemColor(COLOR_GRAYTEXT) : font_.Color));
    }
    setPalette(palette);
    if (lineEdit())
        lineEdit()->setPalette(palette);
    if (list_)
        list_->setPalette(palette);
    update();
}

std::vector<std::string> TEnhCustomCombo::Items() const
{
    std::vector<std::string> items;
    for (int i = 0; i < count(); ++i)
        items.push_back(itemText(i).toStdString());
    return items;
}

void TEnhCustomCombo::SetItems(const std::vector<std::string>& items)
{
    const QString text = currentText();
    clear();
    for (const std::string& item : items)
        addItem(QString::fromStdString(item));
    // An editable combo keeps what it showed, as the list of a combo box is no part of its text.
    if (isEditable())
        setEditText(text);
    else
        setCurrentIndex(-1);
}

void TEnhCustomCombo::SetText(const std::string& text)
{
    if (isEditable())
        setEditText(QString::fromStdString(text));
    else
        setCurrentIndex(findText(QString::fromStdString(text)));
}

// --- state ---

bool TEnhCustomCombo::Hot() const
{
    return mouseInside_ || hasFocus() || (lineEdit() && lineEdit()->hasFocus());
}

QListView* TEnhCustomCombo::SimpleList() const
{
    return list_ && list_->isVisibleTo(const_cast<TEnhCustomCombo*>(this)) ? list_.data() : nullptr;
}

void TEnhCustomCombo::showPopup()
{
    if (style_ == TComboBoxStyle::csSimple)
        return;
    QComboBox::showPopup();
    dropped_ = true;
    update(QRect(width() - buttonWidth_, 0, buttonWidth_, height()));
}

void TEnhCustomCombo::hidePopup()
{
    QComboBox::hidePopup();
    dropped_ = false;
    update(QRect(width() - buttonWidth_, 0, buttonWidth_, height()));
}

// --- events ---

void TEnhCustomCombo::enterEvent(QEnterEvent* event)
{
    QComboBox::enterEvent(event);
    if (!isEnabled())
        return;
    mouseInside_ = true;
    if (autoFocus_)
        setFocus(Qt::MouseFocusReason);
    update();
}

void TEnhCustomCombo::leaveEvent(QEvent* event)
{
    QComboBox::leaveEvent(event);
    if (!isEnabled())
        return;
    mouseInside_ = false;
    update();
}

void TEnhCustomCombo::focusInEvent(QFocusEvent* event)
{
    QComboBox::focusInEvent(event);
    update();
}

void TEnhCustomCombo::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    update();
}

void TEnhCustomCombo::resizeEvent(QResizeEvent* event)
{
    QComboBox::resizeEvent(event);
    PlaceChildren();
}

void TEnhCustomCombo::showEvent(QShowEvent* event)
{
    QComboBox::showEvent(event);
    PlaceChildren();
}

void TEnhCustomCombo::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && flat_) {
        // Disabled, the control shows its parent's colour; enabled, its own again.
        if (!isEnabled()) {
            savedColor_ = color_;
            savedParentColor_ = parentColor_;
            parentColor_ = true;
        } else {
            color_ = savedColor_;
            parentColor_ = savedParentColor_;
        }
        UpdateColors();
    }
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        PlaceChildren();
}

int TEnhCustomCombo::EditLineHeight() const
{
    return fontMetrics().height() + 8;
}

void TEnhCustomCombo::PlaceChildren()
{
    const int w = width();
    const int h = height();
    const bool simple = style_ == TComboBoxStyle::csSimple;
    const int line = simple ? std::min(h, EditLineHeight()) : h;
    if (list_) {
        // Shown once there is room for an item below the edit line.
        list_->setGeometry(0, line, w, std::max(0, h - line));
        list_->setVisible(h - line >= fontMetrics().height() + 2);
    }
    if (!flat_ || !lineEdit())
        return;
    // The edit keeps inside the flat frame and left of the button.
    const int right = simple ? w - 3 : w - buttonWidth_ - 2;
    lineEdit()->setGeometry(3, 3, std::max(0, right - 3), std::max(0, line - 6));
}

// --- painting ---

void TEnhCustomCombo::paintEvent(QPaintEvent* event)
{
    if (!flat_) {
        QComboBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QtCanvas canvas(&painter);
    PaintFlat(canvas);
}

TRect TEnhCustomCombo::ButtonArea() const
{
    return {width() - buttonWidth_, 2, width() - 2, height() - 2};
}

void TEnhCustomCombo::PaintFlat(Canvas& canvas)
{
    const int w = width();
    const int h = style_ == TComboBoxStyle::csSimple ? std::min(height(), EditLineHeight()) : height();
    canvas.SaveDC();
    canvas.FillRect({0, 0, w, h}, ShownColor());
    if (style_ != TComboBoxStyle::csSimple) {
        const unsigned state = DFCS_SCROLLCOMBOBOX | DFCS_FLAT | (isEnabled() ? 0u : DFCS_INACTIVE);
        DrawFrameControl(canvas, {w - buttonWidth_ + 1, 1, w - 1, h - 1}, DFC_SCROLL, state);
        canvas.ExcludeClipRect({w - buttonWidth_ - 2, 0, w, h});
    }
    if (!isEditable()) {
        // The list style shows the chosen item itself, highlighted while it has the focus.
        TRect box{3, 3, w - buttonWidth_ - 2, h - 3};
        const bool selected = hasFocus() && !dropped_;
        if (selected)
            canvas.FillRect(box, SystemColor(COLOR_HIGHLIGHT));
        canvas.SetFont(font_.Logical());
        canvas.SetBkMode(BkMode::Transparent);
        canvas.SetTextColor(!isEnabled() ? SystemColor(COLOR_GRAYTEXT)
                                         : selected ? SystemColor(COLOR_HIGHLIGHTTEXT) : font_.Color);
        box.Left += 2;
        DrawText(canvas, currentText().toStdU16String(), box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    canvas.RestoreDC(-1);
    PaintFrame(canvas);
    if (style_ != TComboBoxStyle::csSimple)
        PaintButton(canvas);
}

void TEnhCustomCombo::PaintFrame(Canvas& canvas)
{
    const int h = style_ == TComboBoxStyle::csSimple ? std::min(height(), EditLineHeight()) : height();
    const bool sunken = Hot() && focusBorder_;
    const ColorRef outer = sunken ? SystemColor(COLOR_BTNFACE) : ParentBackground();
    const ColorRef inner = ShownColor();
    TRect frame{0, 0, width(), h};
    if (sunken) {
        DrawEdge(canvas, frame, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        Frame3D(canvas, frame, outer, outer, 1);
    } else {
        Frame3D(canvas, frame, outer, outer, 2);
    }
    Frame3D(canvas, frame, inner, inner, 1);
}

void TEnhCustomCombo::PaintButton(Canvas& canvas)
{
    const int w = width();
    const int h = height();
    canvas.SaveDC();
    // The arrow inside stays as the frame control drew it.
    canvas.ExcludeClipRect({w - buttonWidth_ + 4, 4, w - 4, h - 4});
    TRect button = ButtonArea();
    if (Hot()) {
        DrawEdge(canvas, button, etched_ ? EDGE_ETCHED : EDGE_RAISED, BF_RECT | (dropped_ ? BF_FLAT : 0u));
    } else {
        canvas.FillRect({button.Left, button.Top + 1, button.Right - 1, button.Bottom - 1}, SystemColor(COLOR_BTNFACE));
    }
    canvas.RestoreDC(-1);
}

}  // namespace velmoran
