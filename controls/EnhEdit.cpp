// The typed edit: its value, properties, colours, label, persistence, focus and painting. Keys,
// clipboard, mouse and drag and drop are in EnhEditInput.cpp.
#include "controls/EnhEdit.h"

#include "controls/MiniHtml.h"
#include "platform/core/CodePage.h"
#include "platform/Edges.h"
#include "platform/HintPlacement.h"
#include "platform/PasswordStyle.h"
#include "platform/QtCanvas.h"
#include "platform/RegIni.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QPainter>

namespace velmoran {

namespace {

constexpr ColorRef clSilver = 0xC0C0C0;

const FormatSettings& Settings()
{
    return FormatSettings::Current();
}

std::u16string Wide(const std::string& text)
{
    return Utf8ToWide(text);
}

Qt::Alignment QtAlignment(TEditAlign align)
{
    switch (align) {
    case TEditAlign::eaRight: return Qt::AlignRight | Qt::AlignVCenter;
    case TEditAlign::eaCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

bool IsNumberText(TTextClass textClass)
{
    return textClass == TTextClass::Numeric || textClass == TTextClass::Float;
}

}  // namespace

TPoint LabelPlace(TLabelPosition position, const TRect& edit, TSize label, int margin)
{
    const int left = edit.Left - label.cx - margin;
    const int center = edit.Top + (edit.Height() - label.cy) / 2;
    const int bottom = edit.Top + edit.Height() - label.cy;
    const int above = edit.Top - label.cy - margin;
    const int below = edit.Top + edit.Height() + margin;
    const int middle = edit.Left + (edit.Width() - label.cx) / 2;
    switch (position) {
    case TLabelPosition::lpLeftTop: return {left, edit.Top};
    case TLabelPosition::lpLeftCenter: return {left, center};
    case TLabelPosition::lpLeftBottom: return {left, bottom};
    case TLabelPosition::lpTopLeft: return {edit.Left, above};
    case TLabelPosition::lpBottomLeft: return {edit.Left, below};
    case TLabelPosition::lpLeftTopLeft: return {edit.Left - margin, edit.Top};
    case TLabelPosition::lpLeftCenterLeft: return {edit.Left - margin, center};
    case TLabelPosition::lpLeftBottomLeft: return {edit.Left - margin, bottom};
    case TLabelPosition::lpTopCenter: return {middle, above};
    case TLabelPosition::lpBottomCenter: return {middle, below};
    }
    return {left, edit.Top};
}

TEnhEdit::TEnhEdit(QWidget* parent)
    : QLineEdit(parent),
      normalColor_(SystemColor(COLOR_WINDOW)),
      normalFontColor_(SystemColor(COLOR_WINDOWTEXT)),
      focusColor_(SystemColor(COLOR_WINDOW)),
      focusFontColor_(SystemColor(COLOR_WINDOWTEXT)),
      errorColor_(clRed),
      errorFontColor_(clWhite),
      modifiedColor_(SystemColor(COLOR_HIGHLIGHT)),
      disabledColor_(clSilver),
      urlColor_(clBlue),
      flatLineColor_(clBlack)
{
    // Our own drop target and drag source stand in for the line edit's.
    setDragEnabled(false);
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
    UpdateFont();
    UpdateColors();
    UpdateAlignment();
}

TEnhEdit::~TEnhEdit()
{
    WritePersistence();
    // The drop target goes while the edit is whole; the label is the edit's though its parent's.
    delete dropTarget_;
    delete label_.data();
}

// --- value ---

std::string TEnhEdit::Text() const
{
    return WideToUtf8(ValueOf(text().toStdU16String(), rules_));
}

void TEnhEdit::SetText(const std::string& value)
{
    SetValueText(WrittenValueText(Wide(value), rules_, Settings()), false);
}

double TEnhEdit::FloatValue() const
{
    return ValueOfText(ValueOf(text().toStdU16String(), rules_), rules_, Settings());
}

void TEnhEdit::SetFloatValue(double value)
{
    SetValueText(ValueWriteText(value, rules_, Settings()), true);
}

void TEnhEdit::SetIntValue(long long value)
{
    std::u16string text = WrittenValueText(TextOfInteger(value, rules_), rules_, Settings());
    if (rules_.EditType == TEnhEditType::etMoney)
        text = GroupMoneyText(text, rules_, Settings());
    SetValueText(text, true);
}

void TEnhEdit::SetControlText(const std::u16string& text)
{
    QLineEdit::setText(QString::fromStdU16String(text));
}

void TEnhEdit::SetValueText(const std::u16string& value, bool modified)
{
    SetControlText(WithPrefixAndSuffix(value, rules_));
    SetModifiedState(modified);
}

TEditState TEnhEdit::EditState() const
{
    TEditState state;
    state.Text = text().toStdU16String();
    if (hasSelectedText()) {
        state.SelStart = selectionStart();
        state.SelLength = selectionLength();
        state.CaretAtStart = cursorPosition() == state.SelStart;
    } else {
        state.SelStart = cursorPosition();
    }
    return state;
}

void TEnhEdit::ApplyState(const TEditState& state)
{
    const QString text = QString::fromStdU16String(state.Text);
    if (text != this->text())
        QLineEdit::setText(text);
    if (state.SelLength == 0)
        setCursorPosition(state.SelStart);
    else if (state.CaretAtStart)
        setSelection(state.SelEnd(), -state.SelLength);
    else
        setSelection(state.SelStart, state.SelLength);
}

// --- properties ---

void TEnhEdit::SetEditType(TEnhEditType type)
{
    if (type == rules_.EditType)
        return;
    rules_.EditType = type;
    if (type == TEnhEditType::etPassword) {
        setStyle(PasswordStyle());
        setEchoMode(QLineEdit::Password);
        rules_.CanUndo = false;
        SetEditAlign(TEditAlign::eaLeft);
    } else {
        if (echoMode() == QLineEdit::Password)
            setStyle(nullptr);  // the application's style again
        setEchoMode(QLineEdit::Normal);
    }
    const TTextClass textClass = ClassifyText(ValueOf(text().toStdU16String(), rules_), Settings());
    switch (type) {
    case TEnhEditType::etNumeric:
        if (textClass != TTextClass::Numeric)
            SetIntValue(0);
        break;
    case TEnhEditType::etFloat:
    case TEnhEditType::etMoney:
        if (!IsNumberText(textClass))
            SetFloatValue(0);
        break;
    case TEnhEditType::etHex:
        if (textClass != TTextClass::Numeric && textClass != TTextClass::Hex)
            SetIntValue(0);
        break;
    default:
        break;
    }
}

void TEnhEdit::SetPrecision(int precision)
{
    if (rules_.EditType != TEnhEditType::etFloat && rules_.EditType != TEnhEditType::etMoney)
        return;
    rules_.Precision = precision;
    const bool number = IsNumberText(ClassifyText(ValueOf(text().toStdU16String(), rules_), Settings()));
    SetFloatValue(number ? FloatValue() : 0.0);
}

std::string TEnhEdit::Prefix() const
{
    return WideToUtf8(rules_.Prefix);
}

void TEnhEdit::SetPrefix(const std::string& prefix)
{
    const std::string value = Text();
    rules_.Prefix = Wide(prefix);
    SetText(value);
}

std::string TEnhEdit::Suffix() const
{
    return WideToUtf8(rules_.Suffix);
}

void TEnhEdit::SetSuffix(const std::string& suffix)
{
    const std::string value = Text();
    rules_.Suffix = Wide(suffix);
    SetText(value);
}

void TEnhEdit::SetAutoThousandSeparator(bool on)
{
    rules_.AutoThousandSeparator = on;
    if (rules_.EditType == TEnhEditType::etFloat || rules_.EditType == TEnhEditType::etMoney)
        ApplyState(GroupMoney(EditState(), rules_, Settings()));
}

void TEnhEdit::SetCanUndo(bool on)
{
    rules_.CanUndo = on && rules_.EditType != TEnhEditType::etPassword;
}

void TEnhEdit::SetEditAlign(TEditAlign align)
{
    editAlign_ = align;
    UpdateAlignment();
}

void TEnhEdit::SetEmptyText(const std::string& text)
{
    emptyText_ = text;
    update();
}

void TEnhEdit::UpdateAlignment()
{
    setAlignment(QtAlignment(focusAligned_ ? focusAlign_ : editAlign_));
}

// --- colours and font ---

void TEnhEdit::SetColor(ColorRef color)
{
    normalColor_ = color;
    UpdateColors();
}

void TEnhEdit::SetFont(const TFont& font)
{
    font_ = font;
    normalFontColor_ = font.Color;
    UpdateFont();
    UpdateColors();
}

void TEnhEdit::SetFocusColor(ColorRef color)
{
    focusColor_ = color;
    UpdateColors();
}

void TEnhEdit::SetFocusFontColor(ColorRef color)
{
    focusFontColor_ = color;
    UpdateColors();
}

void TEnhEdit::SetErrorColor(ColorRef color)
{
    errorColor_ = color;
    UpdateColors();
}

void TEnhEdit::SetErrorFontColor(ColorRef color)
{
    errorFontColor_ = color;
    UpdateColors();
}

void TEnhEdit::SetShowError(bool on)
{
    showError_ = on;
    if (!on)
        errorState_ = false;
    UpdateColors();
}

void TEnhEdit::SetModifiedColor(ColorRef color)
{
    modifiedColor_ = color;
    UpdateColors();
}

void TEnhEdit::SetShowModified(bool on)
{
    showModified_ = on;
    UpdateColors();
}

void TEnhEdit::SetDisabledColor(ColorRef color)
{
    disabledColor_ = color;
    UpdateColors();
}

void TEnhEdit::SetURLColor(ColorRef color)
{
    urlColor_ = color;
    UpdateColors();
}

void TEnhEdit::SetShowURL(bool on)
{
    showURL_ = on;
    UpdateFont();
    UpdateColors();
}

void TEnhEdit::SetTransparent(bool on)
{
    transparent_ = on;
    UpdateColors();
}

void TEnhEdit::SetFocusBorder(bool on)
{
    focusBorder_ = on;
    update();
}

void TEnhEdit::SetFlat(bool on)
{
    if (on == flat_)
        return;
    flat_ = on;
    if (on) {
        savedColor_ = normalColor_;
        savedFocusColor_ = focusColor_;
        if (flatParentColor_)
            normalColor_ = focusColor_ = ParentColor();
        setFrame(false);
        SetFormatInsets({2, 4, 2, 4});
    } else {
        normalColor_ = savedColor_;
        focusColor_ = savedFocusColor_;
        setFrame(true);
        SetFormatInsets({});
    }
    UpdateColors();
}

void TEnhEdit::SetFlatLineColor(ColorRef color)
{
    flatLineColor_ = color;
    update();
}

void TEnhEdit::SetFlatParentColor(bool on)
{
    flatParentColor_ = on;
    update();
}

void TEnhEdit::SetSoftBorder(bool on)
{
    softBorder_ = on;
    update();
}

void TEnhEdit::SetFormatInsets(const Insets& insets)
{
    insets_ = insets;
    // The line edit centres its text vertically; the rectangle's sides keep the text off the
    // frame and the button.
    setTextMargins(insets.Left, 0, insets.Right, 0);
    update();
}

ColorRef TEnhEdit::ParentColor() const
{
    if (const QWidget* parent = parentWidget())
        return FromQColor(parent->palette().color(QPalette::Window));
    return SystemColor(COLOR_BTNFACE);
}

bool TEnhEdit::Hot() const
{
    return (mouseInside_ || hasFocus()) && isEnabled();
}

ColorRef TEnhEdit::ShownColor() const
{
    if (!isEnabled())
        return disabledColor_;
    if (errorState_)
        return errorColor_;
    return focused_ ? focusColor_ : normalColor_;
}

ColorRef TEnhEdit::ShownFontColor() const
{
    if (errorState_)
        return errorFontColor_;
    if (UrlShown())
        return urlColor_;
    if (showModified_ && modifiedState_)
        return modifiedColor_;
    return focused_ ? focusFontColor_ : normalFontColor_;
}

void TEnhEdit::UpdateColors()
{
    QPalette palette = this->palette();
    const QColor base = transparent_ ? QColor(Qt::transparent) : ToQColor(ShownColor());
    const QColor text = ToQColor(ShownFontColor());
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, base);
    palette.setColor(QPalette::Active, QPalette::Text, text);
    palette.setColor(QPalette::Inactive, QPalette::Text, text);
    palette.setColor(QPalette::Disabled, QPalette::Text, ToQColor(SystemColor(COLOR_GRAYTEXT)));
    setPalette(palette);
    update();
}

void TEnhEdit::UpdateFont()
{
    QFont font = QtFontEngine::MakeQFont(font_.Logical());
    font.setUnderline(font_.Underline || UrlShown());
    setFont(font);
    setCursor(UrlShown() ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void TEnhEdit::SetModifiedState(bool modified)
{
    modifiedState_ = modified;
    setModified(modified);
    UpdateColors();
}

void TEnhEdit::TextChanged()
{
    if (OnChange)
        OnChange(this);
    bool valid = true;
    if (OnValueValidate)
        OnValueValidate(this, Text(), valid);
    if (showError_)
        errorState_ = !valid;
    const bool url = LooksLikeUrl(ValueOf(text().toStdU16String(), rules_));
    if (url != urlState_) {
        urlState_ = url;
        UpdateFont();
    }
    UpdateColors();
}

// --- label ---

std::string TEnhEdit::LabelCaption() const
{
    return label_ ? label_->text().toStdString() : std::string();
}

void TEnhEdit::SetLabelCaption(const std::string& caption)
{
    if (!label_) {
        label_ = new QLabel(parentWidget());
        label_->setTextFormat(Qt::PlainText);
        label_->setBuddy(this);
        label_->setEnabled(isEnabled());
        if (isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide))
            label_->hide();
        else if (parentWidget() && parentWidget()->isVisible())
            label_->show();
    }
    label_->setText(QString::fromStdString(caption));
    PlaceLabel();
}

void TEnhEdit::SetLabelPosition(TLabelPosition position)
{
    labelPosition_ = position;
    PlaceLabel();
}

void TEnhEdit::SetLabelMargin(int margin)
{
    labelMargin_ = margin;
    PlaceLabel();
}

void TEnhEdit::SetLabelTransparent(bool on)
{
    labelTransparent_ = on;
    PlaceLabel();
}

void TEnhEdit::SetLabelFont(const TFont& font)
{
    labelFont_ = font;
    PlaceLabel();
}

void TEnhEdit::PlaceLabel()
{
    if (!label_)
        return;
    label_->setAutoFillBackground(!labelTransparent_);
    TFont font = labelFont_;
    font.Bold = font.Bold || (focusLabel_ && focused_);
    label_->setFont(QtFontEngine::MakeQFont(font.Logical()));
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(font.Color));
    label_->setPalette(palette);
    label_->adjustSize();
    const QRect edit = geometry();
    const TPoint place = LabelPlace(labelPosition_, {edit.left(), edit.top(), edit.right() + 1, edit.bottom() + 1},
                                    {label_->width(), label_->height()}, labelMargin_);
    label_->move(place.X, place.Y);
}

void TEnhEdit::setVisible(bool visible)
{
    QLineEdit::setVisible(visible);
    if (label_)
        label_->setVisible(visible);
}

// --- persistence ---

namespace {

// The store and the group the persistence names.
std::pair<std::unique_ptr<RegIniFile>, std::string> OpenStore(const TPersistence& persistence)
{
    if (persistence.Location == TPersistenceLocation::plRegistry)
        return {std::make_unique<RegIniFile>(persistence.Key), persistence.Section};
    return {RegIniFile::OfIniFile(ResolveIniFile(persistence.Key, ProgramFile(), UserConfigFolder())),
            persistence.Section};
}

}  // namespace

void TEnhEdit::Loaded()
{
    PlaceLabel();
    ReadPersistence();
}

void TEnhEdit::ReadPersistence()
{
    if (!persistence_.Enable || objectName().isEmpty())
        return;
    auto [store, group] = OpenStore(persistence_);
    const std::optional<std::string> value = store->ReadValue(group, objectName().toStdString());
    if (value && *value != "@")
        QLineEdit::setText(QString::fromStdString(*value));
}

void TEnhEdit::WritePersistence() noexcept
{
    if (!persistence_.Enable || objectName().isEmpty())
        return;
    try {
        auto [store, group] = OpenStore(persistence_);
        store->WriteString(group, objectName().toStdString(), Prefix() + Text() + Suffix());
        store->Sync();
    } catch (...) {
        // A destructor must not throw; a text that cannot be kept is lost.
    }
}

// --- focus ---

void TEnhEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    focusByMouse_ = event->reason() == Qt::MouseFocusReason;
    if (event->reason() != Qt::PopupFocusReason)
        EnterFocus();
}

void TEnhEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        LeaveFocus();
}

void TEnhEdit::EnterFocus()
{
    focused_ = true;
    focusText_ = text().toStdU16String();
    const std::u16string& whole = focusText_;
    const int start = ValueStart(whole, rules_);
    const int end = ValueEnd(whole, rules_);
    const std::u16string value = ValueOf(whole, rules_);
    if (autoSelect_) {
        int from = start;
        if (UrlShown()) {
            std::size_t at = value.find(u"://");
            if (at != std::u16string::npos)
                from = start + static_cast<int>(at) + 3;
            else if ((at = value.find(u"mailto:")) != std::u16string::npos)
                from = start + static_cast<int>(at) + 7;
        }
        setSelection(from, end - from);
    } else {
        const std::size_t point = value.find(static_cast<char16_t>(Settings().DecimalSeparator));
        setCursorPosition(point == std::u16string::npos ? start : start + static_cast<int>(point));
    }
    if (focusLabel_)
        PlaceLabel();
    if (focusWidthInc_ != 0)
        resize(width() + focusWidthInc_, height());
    if (focusAlign_ != TEditAlign::eaDefault) {
        focusAligned_ = true;
        UpdateAlignment();
    }
    UpdateColors();
}

void TEnhEdit::LeaveFocus()
{
    focused_ = false;
    const std::u16string value = ValueOf(text().toStdU16String(), rules_);
    const bool modified = modifiedState_;
    if (rules_.EditType == TEnhEditType::etFloat || rules_.EditType == TEnhEditType::etMoney) {
        if (value.empty())
            SetFloatValue(0);
        else if (rules_.Precision > 0) {
            // Formatted anew; what the user changed stays changed.
            SetText(WideToUtf8(value));
            SetModifiedState(modified);
        }
    } else if (rules_.EditType == TEnhEditType::etNumeric && value.empty()) {
        SetText("0");
    }
    bool valid = true;
    if (OnValueValidate)
        OnValueValidate(this, Text(), valid);
    if (showError_)
        errorState_ = !valid;
    if (focusWidthInc_ != 0)
        resize(width() - focusWidthInc_, height());
    if (focusAligned_) {
        focusAligned_ = false;
        UpdateAlignment();
    }
    if (focusLabel_)
        PlaceLabel();
    UpdateColors();
}

// --- events ---

void TEnhEdit::enterEvent(QEnterEvent* event)
{
    QLineEdit::enterEvent(event);
    if (!isEnabled())
        return;
    mouseInside_ = true;
    if (autoFocus_)
        setFocus(Qt::MouseFocusReason);
    update();
}

void TEnhEdit::leaveEvent(QEvent* event)
{
    QLineEdit::leaveEvent(event);
    if (!isEnabled())
        return;
    mouseInside_ = false;
    update();
}

void TEnhEdit::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    PlaceLabel();
}

void TEnhEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    PlaceLabel();
}

void TEnhEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (label_)
            label_->setEnabled(isEnabled());
        UpdateColors();
    }
}

bool TEnhEdit::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && hintShowLargeText_) {
        const QString value = QString::fromStdString(Text());
        if (fontMetrics().horizontalAdvance(value) > contentsRect().width()) {
            ShowHintAt(mapToGlobal(QPoint(0, 0)), value, this);
            return true;
        }
    }
    return QLineEdit::event(event);
}

// --- painting ---

void TEnhEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    QtCanvas canvas(&painter);
    PaintOverlay(canvas);
}

void TEnhEdit::PaintOverlay(Canvas& canvas)
{
    const int w = width();
    const int h = height();
    if (flat_ && !focusBorder_) {
        canvas.SelectPen(Pen{PenStyle::Solid, 0, flatLineColor_});
        const int left = insets_.Left - 2;
        if (softBorder_) {
            canvas.SelectBrush(Brush{BrushStyle::Null});
            canvas.Rectangle(left, insets_.Top - 4, w, h);
        } else {
            canvas.MoveTo(left, h - 1);
            canvas.LineTo(w, h - 1);
        }
    } else if (flat_) {
        TRect frame{0, 0, w, h};
        if (Hot()) {
            const ColorRef face = SystemColor(COLOR_BTNFACE);
            DrawEdge(canvas, frame, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            Frame3D(canvas, frame, face, face, 1);
        } else {
            const ColorRef parent = ParentColor();
            Frame3D(canvas, frame, parent, parent, 2);
        }
    }
    if (dropCaret_ >= 0) {
        const QPoint foot = CharPoint(dropCaret_);
        const int height = fontMetrics().height();
        canvas.FillRect({foot.x(), foot.y() - height, foot.x() + 1, foot.y()}, ShownFontColor());
    }
    if (!emptyText_.empty() && !focused_ && ValueOf(text().toStdU16String(), rules_).empty()) {
        canvas.SetFont(font_.Logical());
        canvas.SetTextColor(RGBRef(128, 128, 128));
        canvas.SetBkMode(BkMode::Transparent);
        canvas.TextOut(2, 2, Wide(emptyText_));
    }
}

int TEnhEdit::CharX(int index) const
{
    const QString shown = displayText();
    const QFontMetrics metrics(font());
    // Qt's cursor rectangle starts five pixels left of the caret.
    const int caretX = cursorRect().left() + 5;
    return caretX + metrics.horizontalAdvance(shown.left(index)) - metrics.horizontalAdvance(shown.left(cursorPosition()));
}

QPoint TEnhEdit::CharPoint(int index) const
{
    return {CharX(index), cursorRect().bottom()};
}

int TEnhEdit::CharIndexAt(QPoint point) const
{
    return const_cast<TEnhEdit*>(this)->cursorPositionAt(point);
}

void TEnhEdit::SetDropCaret(int index)
{
    dropCaret_ = index;
    update();
}

}  // namespace velmoran
