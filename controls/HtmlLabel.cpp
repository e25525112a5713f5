// The HTML label; see HtmlLabel.h.
#include "controls/HtmlLabel.h"

#include "platform/Cursors.h"
#include "platform/Edges.h"
#include "platform/HintPlacement.h"
#include "platform/QtCanvas.h"
#include "platform/Shell.h"

#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace velmoran {

namespace {

// How far AutoSizing lets the caption run before it is measured.
constexpr int kUnbounded = 65535;
// AutoSizing leaves this much room around the caption.
constexpr int kAutoSizeMargin = 6;

bool SizesWidth(TAlign align, TAutoSizeType type)
{
    return (align == TAlign::alNone || align == TAlign::alLeft || align == TAlign::alRight) &&
           (type == TAutoSizeType::asHorizontal || type == TAutoSizeType::asBoth);
}

bool SizesHeight(TAlign align, TAutoSizeType type)
{
    return (align == TAlign::alNone || align == TAlign::alTop || align == TAlign::alBottom) &&
           (type == TAutoSizeType::asVertical || type == TAutoSizeType::asBoth);
}

void BevelFrame(Canvas& canvas, TRect& rect, TBevelCut cut, int width)
{
    const ColorRef shadow = SystemColor(COLOR_BTNSHADOW);
    const ColorRef highlight = SystemColor(COLOR_BTNHIGHLIGHT);
    if (cut == TBevelCut::bvLowered)
        Frame3D(canvas, rect, shadow, highlight, width);
    else
        Frame3D(canvas, rect, highlight, shadow, width);
}

}  // namespace

THtmlLabel::THtmlLabel(QWidget* parent) : QWidget(parent)
{
    resize(65, 17);
    setMouseTracking(true);
}

THtmlLabel::~THtmlLabel()
{
    if (images_)
        images_->UnRegisterChanges(this);
}

void THtmlLabel::SetHTMLText(std::string_view text)
{
    std::string line;
    line.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n')
            line += c;
    htmlText_ = std::move(line);
    pictureCache_.ClearPictures();
    Changed();
}

void THtmlLabel::SetHTMLText(const std::vector<std::string>& lines)
{
    std::string joined;
    for (const std::string& line : lines)
        joined += line;
    SetHTMLText(joined);
}

void THtmlLabel::Changed()
{
    ApplyAutoSize();
    UpdateDisplay();
}

void THtmlLabel::SetAutoSizing(bool on)
{
    autoSizing_ = on;
    if (on && (align_ == TAlign::alLeft || align_ == TAlign::alRight))
        resize(kAutoSizeMargin, height());
    else if (on && (align_ == TAlign::alTop || align_ == TAlign::alBottom))
        resize(width(), kAutoSizeMargin);
    Changed();
}

void THtmlLabel::SetAutoSizeType(TAutoSizeType type)
{
    autoSizeType_ = type;
    Changed();
}

void THtmlLabel::SetAlign(TAlign align)
{
    if (align == align_)
        return;
    align_ = align;
    Changed();
}

void THtmlLabel::SetVAlignment(TVAlignment alignment)
{
    if (alignment == vAlignment_)
        return;
    vAlignment_ = alignment;
    UpdateDisplay();
}

void THtmlLabel::SetEllipsis(bool on)
{
    if (on == ellipsis_)
        return;
    ellipsis_ = on;
    Changed();
}

void THtmlLabel::SetURLColor(ColorRef color)
{
    if (color == urlColor_)
        return;
    urlColor_ = color;
    UpdateDisplay();
}

void THtmlLabel::SetShadowColor(ColorRef color)
{
    shadowColor_ = color;
    UpdateDisplay();
}

void THtmlLabel::SetShadowOffset(int offset)
{
    shadowOffset_ = offset;
    UpdateDisplay();
}

void THtmlLabel::SetBevelInner(TBevelCut cut)
{
    bevelInner_ = cut;
    Changed();
}

void THtmlLabel::SetBevelOuter(TBevelCut cut)
{
    bevelOuter_ = cut;
    Changed();
}

void THtmlLabel::SetBevelWidth(int width)
{
    bevelWidth_ = std::max(1, width);
    Changed();
}

void THtmlLabel::SetBorderWidth(int width)
{
    borderWidth_ = std::max(0, width);
    Changed();
}

void THtmlLabel::SetBorderStyle(TBorderStyle style)
{
    borderStyle_ = style;
    Changed();
}

void THtmlLabel::SetHover(bool on)
{
    hover_ = on;
    UpdateDisplay();
}

void THtmlLabel::SetHoverColor(ColorRef color)
{
    hoverColor_ = color;
    UpdateDisplay();
}

void THtmlLabel::SetHoverFontColor(ColorRef color)
{
    hoverFontColor_ = color;
    UpdateDisplay();
}

void THtmlLabel::SetTransparent(bool on)
{
    transparent_ = on;
    UpdateDisplay();
}

void THtmlLabel::SetColor(ColorRef color)
{
    color_ = color;
    UpdateDisplay();
}

void THtmlLabel::SetFont(const TFont& font)
{
    if (font == font_)
        return;
    font_ = font;
    Changed();
}

void THtmlLabel::SetImages(ImageList* images)
{
    if (images_)
        images_->UnRegisterChanges(this);
    images_ = images;
    if (images_)
        images_->RegisterChanges(this, [this] { UpdateDisplay(); });
    Changed();
}

void THtmlLabel::SetPictureContainer(TPictureContainer* container)
{
    pictureContainer_ = container;
    Changed();
}

TRect THtmlLabel::TextRect() const
{
    TRect r{0, 0, width(), height()};
    const bool bevelled = bevelOuter_ != TBevelCut::bvNone || bevelInner_ != TBevelCut::bvNone;
    // The frames narrow the rectangle as they are drawn; then it shrinks once more.
    int inset = borderWidth_;
    if (bevelOuter_ != TBevelCut::bvNone)
        inset += bevelWidth_;
    if (bevelInner_ != TBevelCut::bvNone)
        inset += bevelWidth_;
    if (bevelled)
        inset += bevelWidth_;
    if (borderStyle_ == TBorderStyle::bsSingle)
        inset += borderWidth_;
    return {r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset};
}

bool THtmlLabel::DrawHTML(Canvas& canvas, TMiniHtmlInputs& inputs, TMiniHtmlOutputs& outputs)
{
    inputs.Text = GetHTMLText();
    inputs.Images = images_;
    inputs.PictureContainer = pictureContainer_;
    inputs.PictureCache = &pictureCache_;
    inputs.WordWrap = !ellipsis_;
    inputs.Scale = 1.0;
    inputs.Printing = false;
    inputs.Selected = false;
    inputs.BlinkPhase = false;
    inputs.FocusedAnchor = -1;
    inputs.AnchorColor = urlColor_;
    inputs.ShadowColor = shadowColor_;
    inputs.ShadowOffset = shadowOffset_;
    canvas.SetFont(font_.Logical());
    canvas.SetTextColor(font_.Color);
    canvas.SelectBrush(Brush{BrushStyle::Solid, color_});
    return DrawMiniHtml(canvas, inputs, outputs);
}

void THtmlLabel::ApplyAutoSize()
{
    if (!autoSizing_ || sizing_)
        return;
    const bool sizeWidth = SizesWidth(align_, autoSizeType_);
    const bool sizeHeight = SizesHeight(align_, autoSizeType_);
    if (!sizeWidth && !sizeHeight)
        return;
    sizing_ = true;
    QtCanvas canvas;
    TMiniHtmlInputs inputs;
    inputs.Rect = TextRect();
    if (sizeWidth)
        inputs.Rect.Right += kUnbounded;
    if (sizeHeight)
        inputs.Rect.Bottom += kUnbounded;
    inputs.MeasureOnly = true;
    TMiniHtmlOutputs outputs;
    DrawHTML(canvas, inputs, outputs);
    const int w = sizeWidth ? outputs.Width + kAutoSizeMargin : width();
    const int h = sizeHeight ? outputs.Height + kAutoSizeMargin : height();
    if (w != width() || h != height())
        resize(w, h);
    sizing_ = false;
}

void THtmlLabel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ApplyAutoSize();
}

void THtmlLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtCanvas canvas(&painter);
    PaintTo(canvas);
}

void THtmlLabel::PaintTo(Canvas& canvas)
{
    const TRect client{0, 0, width(), height()};
    if (!transparent_)
        canvas.FillRect(client, color_);
    TRect frame = client;
    if (bevelOuter_ != TBevelCut::bvNone)
        BevelFrame(canvas, frame, bevelOuter_, bevelWidth_);
    Frame3D(canvas, frame, color_, color_, borderWidth_);
    if (bevelInner_ != TBevelCut::bvNone)
        BevelFrame(canvas, frame, bevelInner_, bevelWidth_);
    if (borderStyle_ == TBorderStyle::bsSingle && borderWidth_ > 0) {
        const Pen pen = canvas.SelectPen(Pen{PenStyle::InsideFrame, borderWidth_, clBlack});
        const Brush brush = canvas.SelectBrush(Brush{BrushStyle::Null, 0});
        canvas.Rectangle(client);
        canvas.SelectPen(pen);
        canvas.SelectBrush(brush);
    }
    const QPoint mouse = mapFromGlobal(QCursor::pos());
    TMiniHtmlInputs inputs;
    inputs.X = mouse.x();
    inputs.Y = mouse.y();
    const TRect r = CaptionRect(canvas);
    inputs.Rect = r;
    inputs.HoverStyling = hover_;
    inputs.HoveredAnchor = hoverAnchor_;
    inputs.HoverBackground = hoverColor_;
    inputs.HoverFontColor = hoverFontColor_;
    TMiniHtmlOutputs outputs;
    DrawHTML(canvas, inputs, outputs);
}

TRect THtmlLabel::CaptionRect(Canvas& canvas)
{
    TRect r = TextRect();
    // Centred and bottom-aligned against the label's own bottom: the one auto-sizing pushes 65535
    // pixels down would put the caption far out of sight.
    const int bottom = r.Bottom;
    if (autoSizing_ && SizesWidth(align_, autoSizeType_))
        r.Right += kUnbounded;
    if (autoSizing_ && SizesHeight(align_, autoSizeType_))
        r.Bottom += kUnbounded;
    if (vAlignment_ == TVAlignment::tvaTop)
        return r;
    TMiniHtmlInputs measure;
    measure.Rect = r;
    measure.AnchorTestOnly = true;
    TMiniHtmlOutputs size;
    DrawHTML(canvas, measure, size);
    // A caption taller than the label is drawn from the top.
    if (size.Height < height()) {
        if (vAlignment_ == TVAlignment::tvaCenter)
            r.Top += (bottom - r.Top - size.Height) / 2;
        else
            r.Top = bottom - size.Height;
    }
    return r;
}

THtmlLabel::AnchorHit THtmlLabel::HitTest(int x, int y)
{
    QtCanvas canvas;
    TMiniHtmlInputs inputs;
    inputs.Rect = CaptionRect(canvas);
    inputs.X = x;
    inputs.Y = y;
    inputs.AnchorTestOnly = true;
    TMiniHtmlOutputs outputs;
    AnchorHit hit;
    if (DrawHTML(canvas, inputs, outputs)) {
        hit.Found = true;
        hit.Href = outputs.HrefUnderPoint;
        hit.Rect = outputs.AnchorRect;
        hit.Number = outputs.AnchorUnderPoint;
    }
    hoverAnchor_ = hit.Found ? hit.Number : -1;
    return hit;
}

void THtmlLabel::Invalidate(const TRect& rect)
{
    if (rect.Left < 0 && rect.Right < 0)
        update();
    else
        update(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()));
}

void THtmlLabel::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint p = event->position().toPoint();
    const AnchorHit hit = HitTest(p.x(), p.y());
    if (hit.Found) {
        const bool changed = hit.Href != previousHref_ || hit.Number != previousAnchor_;
        if ((changed || hit.Rect != hoverRect_ || previousAnchor_ == -1) && hover_)
            Invalidate(hoverRect_);
        if (!handCursor_ || changed) {
            if (AnchorHint)
                QToolTip::hideText();
            setCursor(ViewerCursor(TViewerCursor::Hand));
            handCursor_ = true;
            if (OnAnchorEnter)
                OnAnchorEnter(this, hit.Href);
            if (hover_)
                Invalidate(hit.Rect);
        }
        previousHref_ = hit.Href;
        previousAnchor_ = hit.Number;
        hoverRect_ = hit.Rect;
        if (hover_)
            Invalidate(hoverRect_);
    } else if (handCursor_) {
        unsetCursor();
        handCursor_ = false;
        if (OnAnchorExit)
            OnAnchorExit(this, std::string());
        if (hover_)
            Invalidate(hoverRect_);
        hoverRect_ = {-1, -1, -1, -1};
        previousAnchor_ = -1;
        previousHref_.clear();
    }
}

void THtmlLabel::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    const AnchorHit hit = HitTest(p.x(), p.y());
    if (!hit.Found)
        return;
    if (IsCaptionAddress(hit.Href))
        OpenWebOrMailAddress(hit.Href);
    else if (OnAnchorClick)
        OnAnchorClick(this, hit.Href);
}

void THtmlLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
    if (event->button() == Qt::LeftButton && rect().contains(p) && OnClick)
        OnClick(this);
}

void THtmlLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    if (OnDblClick)
        OnDblClick(this);
}

void THtmlLabel::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void THtmlLabel::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (hover_ && hoverAnchor_ != -1)
        Invalidate(hoverRect_);
    hoverAnchor_ = -1;
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool THtmlLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && AnchorHint) {
        auto* help = static_cast<QHelpEvent*>(event);
        const AnchorHit hit = HitTest(help->pos().x(), help->pos().y());
        if (hit.Found) {
            std::string text = hit.Href;
            if (OnAnchorHint)
                OnAnchorHint(this, text);
            ShowHintAt(help->globalPos() + QPoint(10, -10), QString::fromStdString(text), this);
            return true;
        }
    }
    return QWidget::event(event);
}

}  // namespace velmoran
