// The controls' drawing utilities; see DrawUtils.h.
#include "controls/DrawUtils.h"

#include "platform/Cursors.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ScopeExit.h"
#include "platform/Prompt.h"
#include "platform/SystemColors.h"
#include "resources/cursors/DragCursor.xpm"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <memory>
#include <typeinfo>
#include <vector>

namespace velmoran {

namespace {

// The picture's ink in one colour, transparent elsewhere.
template <typename IsInk>
QImage InkShape(const QImage& picture, ColorRef color, IsInk isInk)
{
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    QImage shape(source.size(), QImage::Format_ARGB32);
    const QRgb paint = ColorToQRgb(color);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(shape.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            out[x] = isInk(in[x]) ? paint : 0;
    }
    return shape;
}

std::vector<QWidget*>& ParentsBeingCopied()
{
    static std::vector<QWidget*> parents;
    return parents;
}

// -1: ask the application.
int& ForegroundOverride()
{
    static int value = -1;
    return value;
}

}  // namespace

void CopyParentImage(QWidget* control, QImage& image)
{
    QWidget* parent = control ? control->parentWidget() : nullptr;
    std::vector<QWidget*>& copying = ParentsBeingCopied();
    if (!parent || std::find(copying.begin(), copying.end(), parent) != copying.end())
        return;
    copying.push_back(parent);
    ScopeExit done([&copying] { copying.pop_back(); });
    const QRect bounds = control->geometry();
    parent->render(&image, QPoint(), QRegion(bounds), QWidget::DrawWindowBackground);
    for (QObject* child : parent->children()) {
        if (child == control)
            break;
        auto* sibling = qobject_cast<QWidget*>(child);
        if (sibling && !sibling->isWindow() && sibling->isVisible() && sibling->geometry().intersects(bounds))
            sibling->render(&image, sibling->pos() - bounds.topLeft(), QRegion(),
                            QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
}

void StretchBltTransparent(Canvas& canvas, int x, int y, int width, int height, const QImage& source, int sourceX,
                           int sourceY, int sourceWidth, int sourceHeight, ColorRef maskColor)
{
    const TRect part{sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight};
    canvas.StretchBlt({x, y, x + width, y + height}, MaskedByColor(source, maskColor), &part);
}

void StretchBitmapRectTransparent(Canvas& canvas, int x, int y, int width, int height, const QImage& bitmap,
                                  int sourceX, int sourceY, int sourceWidth, int sourceHeight, ColorRef transparent)
{
    if (bitmap.isNull())
        return;
    if (width < 1)
        width = bitmap.width();
    if (height < 1)
        height = bitmap.height();
    if (sourceWidth < 1 || sourceHeight < 1) {
        sourceX = sourceY = 0;
        sourceWidth = bitmap.width();
        sourceHeight = bitmap.height();
    }
    if (transparent == kNoColor) {
        const TRect part{sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight};
        canvas.StretchBlt({x, y, x + width, y + height}, bitmap, &part);
        return;
    }
    if (transparent == clDefault) {
        const QRgb corner = bitmap.pixel(0, bitmap.height() - 1);
        transparent = RGBRef(qRed(corner), qGreen(corner), qBlue(corner));
    }
    if (bitmap.depth() == 1)
        transparent = RGBRef(255, 255, 255);
    StretchBltTransparent(canvas, x, y, width, height, bitmap, sourceX, sourceY, sourceWidth, sourceHeight,
                          transparent);
}

void DrawTransparentBitmapRect(Canvas& canvas, int x, int y, const TRect& source, const QImage& bitmap,
                               ColorRef transparent)
{
    StretchBitmapRectTransparent(canvas, x, y, source.Width(), source.Height(), bitmap, source.Left, source.Top,
                                 source.Width(), source.Height(), transparent);
}

QImage CreateDisabledBitmapEx(const QImage& bitmap, ColorRef outline, ColorRef background, ColorRef highlight,
                              ColorRef shadow, bool drawHighlight)
{
    const QRgb outlineRgb = ColorToQRgb(outline) & 0xFFFFFF;
    const auto isInk = [outlineRgb](QRgb pixel) { return qAlpha(pixel) > 0 && (pixel & 0xFFFFFF) != outlineRgb; };
    QImage result(bitmap.size(), QImage::Format_RGB32);
    result.fill(ColorToQRgb(background));
    QPainter painter(&result);
    if (drawHighlight)
        painter.drawImage(1, 1, InkShape(bitmap, highlight, isInk));
    painter.drawImage(0, 0, InkShape(bitmap, shadow, isInk));
    return result;
}

QImage CreateDisabledBitmap(const QImage& bitmap, ColorRef outline)
{
    return CreateDisabledBitmapEx(bitmap, outline, SystemColor(COLOR_BTNFACE), SystemColor(COLOR_BTNHIGHLIGHT),
                                  SystemColor(COLOR_BTNSHADOW), true);
}

void ImageListDrawDisabled(const ImageList& images, Canvas& canvas, int x, int y, int index, ColorRef highlight,
                           ColorRef shadow, bool drawHighlight)
{
    const QImage image = images.Image(index);
    if (image.isNull())
        return;
    const auto isInk = [](QRgb pixel) { return qAlpha(pixel) > 0; };
    const int w = image.width();
    const int h = image.height();
    if (drawHighlight)
        canvas.StretchBlt({x + 1, y + 1, x + 1 + w, y + 1 + h}, InkShape(image, highlight, isInk));
    canvas.StretchBlt({x, y, x + w, y + h}, InkShape(image, shadow, isInk));
}

std::u16string ShortenString(std::u16string_view text, const Canvas& canvas, int maxWidth)
{
    std::u16string result(text);
    for (std::size_t cut = 2; canvas.TextExtent(result).cx > maxWidth; ++cut) {
        const std::size_t keep = text.size() > cut ? text.size() - cut : 0;
        result = std::u16string(text.substr(0, keep)) + u"...";
        if (keep == 0)
            break;
    }
    return result;
}

bool IsForegroundTask()
{
    if (ForegroundOverride() >= 0)
        return ForegroundOverride() == 1;
    return QApplication::activeWindow() != nullptr;
}

ScopedForegroundTask::ScopedForegroundTask(bool foreground) : previous_(ForegroundOverride())
{
    ForegroundOverride() = foreground ? 1 : 0;
}

ScopedForegroundTask::~ScopedForegroundTask()
{
    ForegroundOverride() = previous_;
}

namespace {

// Takes the posted events of one type out of their receiver's way as they are delivered: the
// first is dropped, copies of the others are kept. It filters the application first (filters
// installed last run first), so no other filter sees an event it takes.
class PostedEventCatcher : public QObject {
public:
    PostedEventCatcher(QObject& receiver, QEvent::Type type) : receiver_(receiver), type_(type) {}
    std::vector<std::unique_ptr<QEvent>> Kept;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &receiver_ || event->type() != type_)
            return false;
        if (!droppedOne_) {
            droppedOne_ = true;
            return true;
        }
        std::unique_ptr<QEvent> copy(event->clone());
        // An event class that cannot copy itself whole is delivered now rather than lost.
        if (typeid(*copy) != typeid(*event))
            return false;
        Kept.push_back(std::move(copy));
        return true;
    }

private:
    QObject& receiver_;
    QEvent::Type type_;
    bool droppedOne_ = false;
};

}  // namespace

void KillMessage(QObject* receiver, QEvent::Type type)
{
    // A quit message taken out would be posted again at once, so it stays where it is.
    if (!receiver || type == QEvent::Quit)
        return;
    // Qt takes posted events out only all of a kind at once: they are delivered to a catcher that
    // drops the first and keeps the others, which go back into the queue in their order.
    PostedEventCatcher catcher(*receiver, type);
    QObject* filtered = QCoreApplication::instance() && receiver->thread() == QCoreApplication::instance()->thread()
                            ? QCoreApplication::instance()
                            : receiver;
    filtered->installEventFilter(&catcher);
    QCoreApplication::sendPostedEvents(receiver, type);
    filtered->removeEventFilter(&catcher);
    for (std::unique_ptr<QEvent>& event : catcher.Kept)
        QCoreApplication::postEvent(receiver, event.release());
}

void ShowNotImplemented()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    Prompts().MessageDlg("Function not yet implemented", MsgDlgType::Information, mbOK);
    throw EAbort();
}

TGlobalBlock AllocGlobalBlock(int size)
{
    return size < 1 ? TGlobalBlock() : TGlobalBlock(static_cast<std::size_t>(size), 0);
}

void FreeGlobalBlock(TGlobalBlock& block)
{
    TGlobalBlock().swap(block);
}

bool CompareMemBlock(const void* a, const void* b, std::size_t length)
{
    return length == 0 || std::memcmp(a, b, length) == 0;
}

void CopyMemBlock(void* destination, const void* source, std::size_t length)
{
    if (length > 0)
        std::memmove(destination, source, length);
}

QCursor ScreenCursor(int number)
{
    switch (number) {
    case crExHand: return ViewerCursor(TViewerCursor::Hand);
    case crExDrag: {
        static const QCursor drag(QPixmap(DragCursor_xpm), 0, 0);
        return drag;
    }
    default: return QCursor(Qt::ArrowCursor);
    }
}

QCursor CursorResource(std::string_view name)
{
    if (name == "EX_HANDCUR")
        return ScreenCursor(crExHand);
    if (name == "EX_DRAGCUR")
        return ScreenCursor(crExDrag);
    return QCursor(Qt::ArrowCursor);
}

}  // namespace velmoran
