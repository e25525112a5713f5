// One FRAMESET: it reads ROWS, COLS and the border attributes, matches its size entries with its
// children, places the children over its area, and lets the user drag the split lines between them
// (unless a neighbouring frame is NORESIZE).
#pragma once

#include "html/layout/HtmlParser.h"
#include "html/viewer/FrameBase.h"

#include <QPointer>
#include <QRubberBand>

#include <optional>
#include <string>
#include <vector>

class QMouseEvent;

namespace velmoran {

class TSubFrameSet : public TFrameBase, public TFrameSetBase {
public:
    TSubFrameSet(TFrameViewer* viewer, TSubFrameSet* parentSet, QWidget* parent);
    // Deletes the child panels while this set is still whole (they look up their tree).
    ~TSubFrameSet() override;

    void LoadContent() override;
    void ReloadContent() override;
    void UnloadContent() override;
    // Removes the children and forgets the sizes, the base and the document read.
    virtual void ClearSet();
    // The border width the frames take and the width of the lowered bevel drawn around the set.
    void SetBorder(int borderWidth, int bevelSize);
    // Shows their first source again in the frames below that show another one now.
    void ReloadChangedFrames();
    bool LockedAtStart() const override;
    bool LockedAtEnd() const override;
    void Detach() override;
    // A nested set takes the border width of the set above it.
    void ApplyBorders() override;
    // Reads ROWS and COLS.
    void DoAttributes(const TAttributeList& attributes);
    // Matches entries and children at the end of the FRAMESET.
    void FinishSet();
    // Places the children over the client area.
    void LayoutChildren();
    void AddChild(TFrameBase* child) { Children.push_back(child); }
    // Replaces the children by one frame that shows a file (dest: the anchor with its "#"), and
    // loads it.
    TfvFrame* ShowOnePage(const std::string& file, const std::string& dest);

    // The split line nearest to a point (in this set's coordinates) within 5 pixels, on a tie the
    // one at or before it; -1 when there is none.
    int SplitAt(QPoint point) const;
    enum class MouseAction { Down, Move, Up };
    // A mouse event over the set or one of its frame borders, in this set's coordinates. Returns
    // The split cursor when the point is over a movable split line (or a drag runs), else none.
    std::optional<Qt::CursorShape> SplitMouse(MouseAction action, QPoint point);

    std::vector<TFrameBase*> Children;  // child widgets, in document order
    bool SplitRows = false;
    std::vector<int> SizeSpec;
    std::vector<int> SizePx;
    std::vector<int> SplitPos;      // the split lines, along the split direction
    std::vector<bool> SplitLocked;  // per split: a neighbouring frame is NORESIZE
    int SizeTotal = 0;
    int BorderWidth = 2;  // set through SetBorder
    int BevelSize = 0;
    std::string DocBase, DocBaseTarget;
    // The frameset document this set was built from (empty for a set that shows one page): a frame
    // below it that would load this document again stays empty.
    std::string FramesetDocument;
    int RefreshDelay = 0;
    std::string RefreshUrl;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The area the children share: the client area inside the bevel.
    QRect InnerRect() const;
    // A point's place along the split direction.
    int Along(QPoint point) const { return SplitRows ? point.y() : point.x(); }
    void PlaceChildren(const QRect& inner);
    void ComputeLocks();
    bool LockedAtSide(bool start) const;
    int LineLimit(int split, bool before) const;
    std::optional<Qt::CursorShape> SplitCursor() const { return SplitRows ? Qt::SplitVCursor : Qt::SplitHCursor; }
    std::optional<Qt::CursorShape> DragMouse(MouseAction action, QPoint point);
    std::optional<Qt::CursorShape> LineMouse(MouseAction action, int split);
    void StartDrag(int split);
    void EndDrag();
    void PlaceDragLine();
    std::vector<int> placed_;     // the sizes in pixels of the last layout
    // SizePx were made at a size shown (or by a drag): resizes scale them instead of the list.
    bool proportional_ = false;
    int dragSplit_ = -1;
    int dragLow_ = 0, dragHigh_ = 0, dragAt_ = 0;
    QPointer<QRubberBand> dragLine_;
};

}  // namespace velmoran
