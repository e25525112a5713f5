// The frame registry, the panel base and the deferred deletion of replaced panels.
#include "html/viewer/FrameBase.h"

#include "html/viewer/FrameSet.h"
#include "html/viewer/FrameViewer.h"

#include <algorithm>

namespace velmoran {

void TFrameRegistry::RemoveViewer(TPageViewer* viewer)
{
    AllViewers.erase(std::remove(AllViewers.begin(), AllViewers.end(), viewer), AllViewers.end());
}

void TFrameRegistry::RemoveFrame(TfvFrame* frame, const std::string& name)
{
    AllFrames.erase(std::remove(AllFrames.begin(), AllFrames.end(), frame), AllFrames.end());
    const auto entry = NameIndex.find(name);
    if (entry != NameIndex.end() && entry->second == frame)
        NameIndex.erase(entry);
}

TFrameBase::TFrameBase(TFrameViewer* viewer, TSubFrameSet* parentSet, QWidget* parent)
    : QFrame(parent), viewer_(viewer), parentSet_(parentSet)
{
    setMouseTracking(true);  // the split cursor shows while the mouse merely passes a border
    CharSet = parentSet ? parentSet->CharSet : viewer->CharSet();
    if (TFrameSet* master = MasterSet())
        registry_ = master->Registry;
}

TFrameSet* TFrameBase::MasterSet() const
{
    const TFrameBase* p = this;
    while (p->parentSet_)
        p = p->parentSet_;
    return dynamic_cast<TFrameSet*>(const_cast<TFrameBase*>(p));
}

void DiscardLater(QWidget* widget)
{
    widget->hide();
    widget->deleteLater();
}

bool NearEdge(const QWidget& widget, QPoint point)
{
    const QRect r = widget.rect();
    return point.x() < r.left() + 4 || point.x() > r.right() - 4 || point.y() < r.top() + 4 ||
           point.y() > r.bottom() - 4;
}

void ShowSplitCursor(QWidget& widget, const std::optional<Qt::CursorShape>& shape)
{
    if (shape)
        widget.setCursor(*shape);
    else
        widget.unsetCursor();
}

}  // namespace velmoran
