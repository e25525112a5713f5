// The page viewer's embedded objects and drags: pictures and panels the owner supplies through its
// events, the panels' print, and drags over the drawing surface handed to the owner.
#include "html/viewer/PageViewer.h"

#include "html/layout/PanelObjects.h"

#include <QFrame>

namespace velmoran {

bool TPageViewer::RequestBitmap(const std::string& src, QImage& bitmap, ColorRef& color)
{
    if (!OnBitmapRequest)
        return false;
    bitmap = QImage();
    color = kNoColor;
    OnBitmapRequest(this, src, bitmap, color);
    return !bitmap.isNull();
}

QWidget* TPageViewer::PanelCreate(const TPanelObj& panel)
{
    if (OnObjectTag)
        OnObjectTag(this, panel.AttributeLines, panel.Params);
    // Without a create handler nobody would fill the panel: the document keeps its stand-in size.
    if (!OnPanelCreate)
        return nullptr;
    auto* control = new QFrame(panel_);
    control->resize(TPanelObj::kDefaultWidth, TPanelObj::kDefaultHeight);
    control->hide();
    OnPanelCreate(this, panel.Name, panel.Type, panel.Params, control);
    return control;
}

void TPageViewer::PanelDestroy(QWidget* panel)
{
    if (OnPanelDestroy)
        OnPanelDestroy(this, panel);
}

bool TPageViewer::PanelPrint(QWidget* panel, Canvas& canvas, const TRect& rect)
{
    if (!OnPanelPrint || !panel)
        return false;
    OnPanelPrint(this, panel, canvas, rect);
    return true;
}

void TPageViewer::SetOnDragDrop(TDragDropEvent handler)
{
    onDragDrop_ = std::move(handler);
    panel_->setAcceptDrops(onDragDrop_ || onDragOver_);
}

void TPageViewer::SetOnDragOver(TDragOverEvent handler)
{
    onDragOver_ = std::move(handler);
    panel_->setAcceptDrops(onDragDrop_ || onDragOver_);
}

void TPageViewer::PanelDragOver(const QMimeData* data, int x, int y, bool& accept)
{
    // Without an over handler a drop handler takes whatever comes.
    accept = static_cast<bool>(onDragDrop_);
    if (onDragOver_)
        onDragOver_(this, data, x, y, accept);
}

void TPageViewer::PanelDragDrop(const QMimeData* data, int x, int y)
{
    if (onDragDrop_)
        onDragDrop_(this, data, x, y);
}

}  // namespace velmoran
