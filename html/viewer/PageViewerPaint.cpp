// The page viewer's painting: the drawing surface that paints through a memory image and hands
// its mouse to the viewer, the document drawn at the scroll position, and the background colour
// with its tiled image (scrolling with the text, or fixed to the window).
#include "html/viewer/PageViewer.h"

#include "platform/Application.h"
#include "platform/QtCanvas.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <vector>

namespace velmoran {
namespace {

// Where a background tile starts along one side of the area.
int TilePlace(const PositionRec& pos, int area, int size)
{
    switch (pos.PosType) {
    case PositionRec::Top:
    case PositionRec::Left: return 0;
    case PositionRec::Center: return (area - size) / 2;
    case PositionRec::Bottom:
    case PositionRec::Right: return area - size;
    case PositionRec::Percent: return (area - size) * pos.Value / 100;
    default: return pos.Value;
    }
}

// The starts of the tiles along one side that cover [from, to).
std::vector<int> TileStarts(int first, int size, bool repeat, int from, int to)
{
    std::vector<int> starts;
    if (size <= 0)
        return starts;
    if (!repeat) {
        if (first < to && first + size > from)
            starts.push_back(first);
        return starts;
    }
    int start = first;
    if (start > from)
        start -= ((start - from + size - 1) / size) * size;
    else
        start += ((from - start) / size) * size;
    for (int p = start; p < to; p += size)
        starts.push_back(p);
    return starts;
}

// Tiles a background picture over the clip `area`; the picture is laid over `tiled`, the window
// for a fixed picture, else the whole document where it stands now.
void DrawTiles(Canvas& canvas, const TBackgroundImage& bg, const TRect& area, const QRect& tiled)
{
    QImage tile = bg.Image;
    QImage mask = bg.Mask;
    // One-pixel-wide or -high pictures are stretched first, so that fewer tiles are drawn.
    const int wantW = tile.width() == 1 ? std::clamp(tiled.width(), 1, 100) : tile.width();
    const int wantH = tile.height() == 1 ? std::clamp(tiled.height(), 1, 100) : tile.height();
    if (wantW != tile.width() || wantH != tile.height()) {
        tile = tile.scaled(wantW, wantH);
        if (!mask.isNull())
            mask = mask.scaled(wantW, wantH);
    }
    const int firstX = tiled.x() + TilePlace(bg.PosX, tiled.width(), tile.width());
    const int firstY = tiled.y() + TilePlace(bg.PosY, tiled.height(), tile.height());
    for (const int y : TileStarts(firstY, tile.height(), bg.PosY.RepeatD, area.Top, area.Bottom)) {
        for (const int x : TileStarts(firstX, tile.width(), bg.PosX.RepeatD, area.Left, area.Right)) {
            const TRect dest{x, y, x + tile.width(), y + tile.height()};
            if (mask.isNull())
                canvas.StretchBlt(dest, tile);
            else
                canvas.MaskedStretchBlt(dest, tile, mask);
        }
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The drawing surface


TPaintPanel::TPaintPanel(TPageViewer* viewer) : QWidget(viewer), viewer_(viewer)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setCursor(Qt::IBeamCursor);
}

void TPaintPanel::paintEvent(QPaintEvent* event)
{
    // While the document is laid out for the printer the surface keeps what it shows: the end of
    // the print draws it anew.
    if (viewer_->layoutRunning_ || painting_ || viewer_->Printing())
        return;
    painting_ = true;
    RunGuarded([&] {
        viewer_->UpdateBorder();
        const QRect clip = event->rect();
        if (clip.isEmpty())
            return;
        QImage buffer(clip.size(), QImage::Format_RGB32);
        if (buffer.isNull())
            return;  // no memory for the picture: the surface keeps what it shows
        {
            QPainter painter(&buffer);
            painter.translate(-clip.topLeft());
            QtCanvas canvas(&painter);
            viewer_->DrawBackground(canvas, clip);
            viewer_->PanelPaint(canvas, clip);
        }
        // No display palette is selected for the copy: every screen here is true colour.
        QPainter screen(this);
        screen.drawImage(clip.topLeft(), buffer);
    });
    painting_ = false;
}

void TPaintPanel::mousePressEvent(QMouseEvent* event)
{
    if (viewer_->Printing())
        return;  // the document is the printer's until the print ends
    const QPoint p = event->position().toPoint();
    RunGuarded([&] { viewer_->PanelMouseDown(event->button(), event->modifiers(), p.x(), p.y()); });
}

void TPaintPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (viewer_->Printing())
        return;  // the document is the printer's until the print ends
    const QPoint p = event->position().toPoint();
    RunGuarded([&] { viewer_->PanelMouseMove(event->buttons(), event->modifiers(), p.x(), p.y()); });
}

void TPaintPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (viewer_->Printing())
        return;  // the document is the printer's until the print ends
    const QPoint p = event->position().toPoint();
    RunGuarded([&] { viewer_->PanelMouseUp(event->button(), event->modifiers(), p.x(), p.y()); });
}

void TPaintPanel::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TPaintPanel::dragMoveEvent(QDragMoveEvent* event)
{
    const QPoint p = event->position().toPoint();
    bool accept = false;
    RunGuarded([&] { viewer_->PanelDragOver(event->mimeData(), p.x(), p.y(), accept); });
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TPaintPanel::dropEvent(QDropEvent* event)
{
    if (viewer_->Printing())
        return;  // the document is the printer's until the print ends
    const QPoint p = event->position().toPoint();
    RunGuarded([&] { viewer_->PanelDragDrop(event->mimeData(), p.x(), p.y()); });
    event->acceptProposedAction();
}

void TPaintPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (viewer_->Printing())
        return;  // the document is the printer's until the print ends
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        RunGuarded([&] { viewer_->PanelDoubleClick(event->modifiers(), p.x(), p.y()); });
}
// ---------------------------------------------------------------------------------------------
// Painting

void TPageViewer::PanelPaint(Canvas& canvas, const QRect& /*clip*/)
{
    if (layoutRunning_)
        return;
    document_->Draw(canvas, TRect{0, 1, panel_->width(), panel_->height()}, kMaxNeededWidth, -hPos_, 0);
}

void TPageViewer::DrawBackground(Canvas& canvas, const QRect& clip)
{
    if (document_->Printing())
        return;
    const ColorRef color = document_->Background() == kNoColor ? defBackground_ : document_->Background();
    const TRect area{clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1};
    canvas.FillRect(area, ColorToRGB(color));
    const TBackgroundImage& bg = document_->BackgroundImage();
    if (!document_->ShowImages() || bg.Image.isNull())
        return;
    const QRect tiled = bg.Fixed ? QRect(0, 0, panel_->width(), panel_->height())
                                 : QRect(-hPos_, -document_->YOffset(), std::max(neededWidth_, panel_->width()),
                                         std::max(docHeight_, panel_->height()));
    DrawTiles(canvas, bg, area, tiled);
}

void TPageViewer::DrawPrintBackground(Canvas& canvas, const TRect& body, ColorRef documentBackground)
{
    const ColorRef color = documentBackground == kNoColor ? defBackground_ : documentBackground;
    canvas.FillRect(body, ColorToRGB(color));
    const TBackgroundImage& bg = document_->BackgroundImage();
    if (!document_->ShowImages() || bg.Image.isNull())
        return;
    DrawTiles(canvas, bg, body, QRect(body.Left, body.Top, body.Right - body.Left, body.Bottom - body.Top));
}

}  // namespace velmoran
