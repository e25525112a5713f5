// The page viewer's drawing surface: a child widget that paints the viewer's document through one
// memory image per paint (so that nothing flickers) and hands its mouse to the viewer.
#pragma once

#include <QWidget>

namespace velmoran {

class TPageViewer;

class TPaintPanel : public QWidget {
public:
    explicit TPaintPanel(TPageViewer* viewer);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TPageViewer* viewer_;
    bool painting_ = false;
};

}  // namespace velmoran
