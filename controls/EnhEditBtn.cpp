// The edit with button, its button holder and the speed button; see EnhEditBtn.h.
#include "controls/EnhEditBtn.h"

#include "platform/CanvasText.h"
#include "platform/core/CodePage.h"
#include "platform/Edges.h"
#include "platform/QtCanvas.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace velmoran {

// --- speed button ---

TEnhSpeedButton::TEnhSpeedButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void TEnhSpeedButton::SetFlat(bool on)
{
    if (on != flat_) {
        flat_ = on;
        update();
    }
}

void TEnhSpeedButton::SetEtched(bool on)
{
    if (on != etched_) {
        etched_ = on;
        update();
    }
}

void TEnhSpeedButton::SetFocused(bool on)
{
    focused_ = on;
}

void TEnhSpeedButton::SetGlyph(const QImage& glyph)
{
    glyph_ = glyph;
    update();
}

void TEnhSpeedButton::SetFont(const TFont& font)
{
    font_ = font;
    update();
}

void TEnhSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtCanvas canvas(&painter);
    PaintTo(canvas);
}

void TEnhSpeedButton::PaintTo(Canvas& canvas)
{
    const ColorRef face = SystemColor(COLOR_BTNFACE);
    const bool down = isDown();
    const TRect client{0, 0, width(), height()};
    canvas.FillRect(client, face);
    if (flat_) {
        TRect edge{0, 0, width() + 1, height() + 1};
        DrawEdge(canvas, edge, etched_ ? EDGE_ETCHED : EDGE_RAISED, BF_RECT | (down ? BF_FLAT : 0u));
    } else {
        TRect edge = client;
        DrawEdge(canvas, edge, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    const int shift = down ? 1 : 0;
    if (!glyph_.isNull()) {
        // The top-left pixel's colour is the glyph's background: it takes the face colour.
        QImage glyph = glyph_.convertToFormat(QImage::Format_ARGB32);
        const QRgb background = glyph.pixel(0, 0);
        const QRgb faceRgb = ToQColor(face).rgb();
        for (int y = 0; y < glyph.height(); ++y)
            for (int x = 0; x < glyph.width(); ++x)
                if (glyph.pixel(x, y) == background)
                    glyph.setPixel(x, y, faceRgb);
        canvas.StretchBlt({3 + shift, 3 + shift, width() - 3 + shift, height() - 3 + shift}, glyph);
    }
    const std::u16string caption = text().toStdU16String();
    if (!caption.empty()) {
        TRect box{3 + shift, 1 + shift, width() - 3 + shift, height() - 1 + shift};
        canvas.SetFont(font_.Logical());
        canvas.SetTextColor(SystemColor(isEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        canvas.SetBkMode(BkMode::Transparent);
        DrawText(canvas, caption, box, DT_CENTER);
    }
}

// --- button holder ---

namespace enhedit {

TEditButton::TEditButton(QWidget* parent) : QWidget(parent), button_(new TEnhSpeedButton(this))
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(button_, &QAbstractButton::pressed, this, [this] { Pressed(); });
    resize(16, 25);
    Fit();
}

void TEditButton::SetButtonWidth(int width)
{
    buttonWidth_ = width;
    Fit();
}

void TEditButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Fit();
}

void TEditButton::Fit()
{
    if (width() != buttonWidth_)
        resize(buttonWidth_, height());
    button_->setGeometry(0, 0, buttonWidth_, height());
}

void TEditButton::Pressed()
{
    const QPointer<TEditButton> self(this);
    if (OnClick)
        OnClick(this);
    if (!self)
        return;
    // A dialog shown from the click took the mouse's release: the button comes up again.
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
        button_->setDown(false);
    const auto takes = [](QWidget* w) {
        return w && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible() && !w->hasFocus();
    };
    if (takes(FocusControl))
        FocusControl->setFocus(Qt::MouseFocusReason);
    else if (takes(this))
        setFocus(Qt::MouseFocusReason);
}

}  // namespace enhedit

// --- edit with button ---

TEnhEditBtn::TEnhEditBtn(QWidget* parent) : TEnhEdit(parent), button_(new enhedit::TEditButton(this))
{
    button_->resize(15, 17);
    button_->FocusControl = this;
    button_->OnClick = [this](QWidget* sender) { ClickBtn(sender); };
    SetText("");
    Relayout();
}

int TEnhEditBtn::ButtonWidth() const
{
    return button_ ? button_->ButtonWidth() : 16;
}

void TEnhEditBtn::SetButtonWidth(int width)
{
    button_->SetButtonWidth(width);
    Relayout();
}

std::string TEnhEditBtn::ButtonHint() const
{
    return button_->Button()->toolTip().toStdString();
}

void TEnhEditBtn::SetButtonHint(const std::string& hint)
{
    // An empty hint shows none.
    button_->Button()->setToolTip(QString::fromStdString(hint));
}

std::string TEnhEditBtn::ButtonCaption() const
{
    return button_->Button()->text().toStdString();
}

void TEnhEditBtn::SetButtonCaption(const std::string& caption)
{
    button_->Button()->setText(QString::fromStdString(caption));
}

QImage TEnhEditBtn::Glyph() const
{
    return button_->Button()->Glyph();
}

void TEnhEditBtn::SetGlyph(const QImage& glyph)
{
    button_->Button()->SetGlyph(glyph);
}

void TEnhEditBtn::SetFlat(bool on)
{
    if (on == Flat())
        return;
    button_->Button()->SetFlat(on);
    TEnhEdit::SetFlat(on);
    Relayout();
}

bool TEnhEditBtn::Etched() const
{
    return button_->Button()->Etched();
}

void TEnhEditBtn::SetEtched(bool on)
{
    button_->Button()->SetEtched(on);
}

void TEnhEditBtn::ClickBtn(QWidget* sender)
{
    if (OnClickBtn)
        OnClickBtn(sender);
}

int TEnhEditBtn::MinimumEditHeight() const
{
    const int height = QFontMetrics(font()).height();
    const int screen = QFontMetrics(QApplication::font()).height();
    return height + std::min(screen, height) / 4;
}

void TEnhEditBtn::Relayout()
{
    const int least = MinimumEditHeight();
    if (minimumHeight() != least)
        setMinimumHeight(least);
    const int w = width();
    const int h = height();
    const int bw = ButtonWidth();
    const bool framed = hasFrame();
    // The button's place in the client area, which a frame moves in by two pixels.
    const int border = framed ? 2 : 0;
    const int d = Flat() ? 3 : (framed ? 5 : 2);
    const int top = Flat() ? 2 : 1;
    button_->setGeometry(border + w - bw - d, border + top, bw, std::max(0, h - d - 2));
    button_->Fit();
    SetFormatInsets(framed ? Insets{1, 1, bw + 4, -1} : Insets{2, 4, bw + 4, -1});
}

void TEnhEditBtn::keyPressEvent(QKeyEvent* event)
{
    TEnhEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_F4 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        ClickBtn(this);
        event->accept();
    }
}

void TEnhEditBtn::resizeEvent(QResizeEvent* event)
{
    TEnhEdit::resizeEvent(event);
    Relayout();
}

void TEnhEditBtn::changeEvent(QEvent* event)
{
    TEnhEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Relayout();
}

void TEnhEditBtn::paintEvent(QPaintEvent* event)
{
    button_->Button()->SetFocused(Flat() && Hot());
    TEnhEdit::paintEvent(event);
}

}  // namespace velmoran
