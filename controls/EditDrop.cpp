// Text drag and drop over Qt's; see EditDrop.h.
#include "controls/EditDrop.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QUrl>
#include <QWidget>

namespace velmoran {

namespace {

bool& RichTextSwitch()
{
    static bool on = false;
    return on;
}

TDragRunner& CurrentRunner()
{
    static TDragRunner runner = [](QWidget* source, std::unique_ptr<QMimeData> data, Qt::DropActions allowed) {
        // Qt owns the drag once it has run.
        auto* drag = new QDrag(source);
        drag->setMimeData(data.release());
        return drag->exec(allowed, Qt::MoveAction);
    };
    return runner;
}

TPoint PointOf(const QDropEvent* event)
{
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

}  // namespace

bool RichTextDragEnabled()
{
    return RichTextSwitch();
}

void SetRichTextDragEnabled(bool on)
{
    RichTextSwitch() = on;
}

bool TEnumFormats::HasText() const
{
    return data_ && data_->hasFormat(QString::fromLatin1(kTextMime));
}

bool TEnumFormats::HasRichText() const
{
    return data_ && data_->hasFormat(QString::fromLatin1(kRichTextMime));
}

bool TEnumFormats::HasFiles() const
{
    return !Files().empty();
}

std::string TEnumFormats::Text() const
{
    return HasText() ? data_->text().toStdString() : std::string();
}

std::string TEnumFormats::RichText() const
{
    return HasRichText() ? data_->data(QString::fromLatin1(kRichTextMime)).toStdString() : std::string();
}

std::vector<std::string> TEnumFormats::Files() const
{
    std::vector<std::string> files;
    if (!data_ || !data_->hasFormat(QString::fromLatin1(kFileListMime)))
        return files;
    for (const QUrl& url : data_->urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile().toStdString());
    return files;
}

TSourceDataObject::TSourceDataObject(std::string text, std::string richText)
    : text_(std::move(text)), richText_(std::move(richText))
{
}

bool TSourceDataObject::OffersRichText() const
{
    return RichTextDragEnabled() && !richText_.empty();
}

QStringList TSourceDataObject::formats() const
{
    QStringList list{QString::fromLatin1(kTextMime)};
    if (OffersRichText())
        list << QString::fromLatin1(kRichTextMime);
    return list;
}

bool TSourceDataObject::hasFormat(const QString& mimeType) const
{
    return formats().contains(mimeType);
}

QVariant TSourceDataObject::retrieveData(const QString& mimeType, QMetaType) const
{
    if (mimeType == QLatin1String(kTextMime))
        return QString::fromStdString(text_);
    if (mimeType == QLatin1String(kRichTextMime) && OffersRichText())
        return QByteArray::fromStdString(richText_);
    return {};
}

TAEDropTarget::TAEDropTarget(QWidget* widget) : QObject(widget), widget_(widget)
{
    widget->installEventFilter(this);
    widget->setAcceptDrops(true);
}

TAEDropTarget::~TAEDropTarget()
{
    if (widget_) {
        widget_->removeEventFilter(this);
        widget_->setAcceptDrops(false);
    }
}

void TAEDropTarget::DropText(TPoint, const std::string&) {}
void TAEDropTarget::DropRTF(TPoint, const std::string&) {}
void TAEDropTarget::DropFiles(TPoint, const std::vector<std::string>&) {}

void TAEDropTarget::DragMouseMove(TPoint, bool& allow)
{
    allow = true;
}

Qt::DropAction TAEDropTarget::EffectFor(const TEnumFormats& formats, Qt::KeyboardModifiers keys)
{
    if (formats.HasFiles() || (keys & Qt::ControlModifier))
        return Qt::CopyAction;
    return Qt::MoveAction;
}

bool TAEDropTarget::Accepts(const TEnumFormats& formats) const
{
    return formats.HasText() || formats.HasFiles() || (RichTextDragEnabled() && formats.HasRichText());
}

bool TAEDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != widget_)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        keys_ = drop->modifiers();
        const TEnumFormats formats(drop->mimeData());
        if (event->type() == QEvent::DragEnter)
            accepted_ = Accepts(formats);
        bool allow = accepted_;
        if (allow && event->type() == QEvent::DragMove)
            DragMouseMove(PointOf(drop), allow);
        if (!allow) {
            drop->setDropAction(Qt::IgnoreAction);
            drop->ignore();
            return true;
        }
        Qt::DropAction effect = EffectFor(formats, keys_);
        if (!(drop->possibleActions() & effect))
            effect = (drop->possibleActions() & Qt::CopyAction) ? Qt::CopyAction : drop->proposedAction();
        drop->setDropAction(effect);
        drop->accept();
        if (event->type() == QEvent::Drop) {
            const TPoint point = PointOf(drop);
            if (RichTextDragEnabled() && formats.HasRichText())
                DropRTF(point, formats.RichText());
            else if (formats.HasText())
                DropText(point, formats.Text());
            if (formats.HasFiles())
                DropFiles(point, formats.Files());
        }
        return true;
    }
    case QEvent::DragLeave:
        DragLeave();
        return true;
    default:
        return false;
    }
}

ScopedDragRunner::ScopedDragRunner(TDragRunner runner) : previous_(std::move(CurrentRunner()))
{
    CurrentRunner() = std::move(runner);
}

ScopedDragRunner::~ScopedDragRunner()
{
    CurrentRunner() = std::move(previous_);
}

TDragResult StartTextDrag(QWidget* source, const std::string& text, const std::string& richText,
                          Qt::DropActions allowed, Qt::DropAction& effect)
{
    effect = CurrentRunner()(source, std::make_unique<TSourceDataObject>(text, richText), allowed);
    return effect == Qt::IgnoreAction ? TDragResult::Cancel : TDragResult::Drop;
}

}  // namespace velmoran
