// A frameset: attributes, children and their sizes, and dragging the split lines.
#include "html/viewer/SubFrameSet.h"

#include "html/base/HtmlSymbols.h"
#include "html/viewer/Frame.h"
#include "html/viewer/FrameSet.h"
#include "html/viewer/FrameSizes.h"
#include "html/viewer/FrameViewer.h"

#include <QMouseEvent>
#include <QResizeEvent>

#include <algorithm>
#include <numeric>

namespace velmoran {

TSubFrameSet::TSubFrameSet(TFrameViewer* viewer, TSubFrameSet* parentSet, QWidget* parent)
    : TFrameBase(viewer, parentSet, parent)
{
    // A nested set draws its frames' borders as the top one does (none with fvNoBorder).
    if (parentSet)
        BorderWidth = parentSet->BorderWidth;
}

void TSubFrameSet::SetBorder(int borderWidth, int bevelSize)
{
    BorderWidth = borderWidth;
    BevelSize = bevelSize;
    setFrameStyle(BevelSize > 0 ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    setLineWidth(BevelSize);
}

TSubFrameSet::~TSubFrameSet()
{
    // At once and from the last, while this set is whole (see DiscardLater).
    const auto children = std::move(Children);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        delete *it;
}

void TSubFrameSet::Detach()
{
    for (TFrameBase* child : Children)
        child->Detach();
    registry_.reset();
}

void TSubFrameSet::LoadContent()
{
    for (TFrameBase* child : Children)
        child->LoadContent();
    LayoutChildren();
}

void TSubFrameSet::ReloadContent()
{
    for (TFrameBase* child : Children)
        child->ReloadContent();
}

void TSubFrameSet::UnloadContent()
{
    for (TFrameBase* child : Children)
        child->UnloadContent();
}

void TSubFrameSet::ReloadChangedFrames()
{
    const std::vector<TFrameBase*> children = Children;
    for (TFrameBase* child : children) {
        if (auto* set = dynamic_cast<TSubFrameSet*>(child)) {
            set->ReloadChangedFrames();
        } else if (auto* frame = dynamic_cast<TfvFrame*>(child)) {
            if (!viewer_->SameDocument(frame->SourceFile, frame->InitialSource))
                frame->Navigate(frame->InitialSource, "", false);
            else if (frame->NestedSet)
                frame->NestedSet->ReloadChangedFrames();
        }
    }
}

void TSubFrameSet::DoAttributes(const TAttributeList& attributes)
{
    if (const TAttribute* rows = attributes.Find(RowsSy)) {
        SplitRows = true;
        SizeSpec = ParseSizeList(rows->Name);
    }
    if (const TAttribute* cols = attributes.Find(ColsSy); cols && SizeSpec.size() <= 1) {
        SplitRows = false;
        SizeSpec = ParseSizeList(cols->Name);
    }
}

void TSubFrameSet::ApplyBorders()
{
    if (parentSet_)
        SetBorder(parentSet_->BorderWidth, BevelSize);
    for (TFrameBase* child : Children)
        child->ApplyBorders();
    LayoutChildren();
}

void TSubFrameSet::FinishSet()
{
    if (SizeSpec.empty())
        SizeSpec.push_back(-1);
    while (Children.size() < SizeSpec.size()) {
        auto* empty = new TfvFrame(viewer_, this, nullptr, {});
        empty->show();
        Children.push_back(empty);
    }
    while (SizeSpec.size() < Children.size())
        SizeSpec.push_back(-1);
}

void TSubFrameSet::ClearSet()
{
    for (TFrameBase* child : Children) {
        child->Detach();
        DiscardLater(child);  // a viewer below may be the one whose click brought us here
    }
    Children.clear();
    SizeSpec.clear();
    SizePx.clear();
    SplitPos.clear();
    SplitLocked.clear();
    placed_.clear();
    SizeTotal = 0;
    proportional_ = false;
    SplitRows = false;
    SetBorder(parentSet_ ? parentSet_->BorderWidth : 2, 0);
    CharSet = parentSet_ ? parentSet_->CharSet : viewer_->CharSet();
    DocBase.clear();
    DocBaseTarget.clear();
    FramesetDocument.clear();
    RefreshDelay = 0;
    RefreshUrl.clear();
}

TfvFrame* TSubFrameSet::ShowOnePage(const std::string& file, const std::string& dest)
{
    const int border = BorderWidth, bevel = BevelSize;  // the caller's, not those of the set before
    TSubFrameSet::ClearSet();
    SetBorder(border, bevel);
    SizeSpec = {-1};
    auto* single = new TfvFrame(viewer_, this, nullptr, {});
    single->SourceFile = single->InitialSource = file;
    single->AnchorPart = dest;
    AddChild(single);
    LayoutChildren();
    single->show();
    single->LoadContent();
    return single;
}

// ---------------------------------------------------------------------------------------------
// Sizes and places

QRect TSubFrameSet::InnerRect() const
{
    return contentsRect();  // inside the bevel the frame draws
}

void TSubFrameSet::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    LayoutChildren();
}

void TSubFrameSet::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    LayoutChildren();  // the first size shown is the real one: from here on sizes scale
}

// The sizes come from ROWS or COLS until the set is laid out while shown, so that a set laid out
// before its window showed does not keep the proportions of a size it never had; after that
// (and after a drag) every resize scales them in proportion.
void TSubFrameSet::LayoutChildren()
{
    const QRect inner = InnerRect();
    const int extent = std::max(SplitRows ? inner.height() : inner.width(), 0);
    if (!proportional_ || SizePx.size() != Children.size() || SizeTotal <= 0) {
        SizePx = ComputeFrameSizes(SizeSpec, extent);
        SizeTotal = std::accumulate(SizePx.begin(), SizePx.end(), 0);
        placed_ = SizePx;
        proportional_ = isVisible() && !Children.empty() && SizePx.size() == Children.size();
    } else {
        placed_ = ScaleFrameSizes(SizePx, SizeTotal, extent);
    }
    PlaceChildren(inner);
    ComputeLocks();
}

// Lays the children one after the other; while a frameset is still being read, children without a
// size entry yet get none.
void TSubFrameSet::PlaceChildren(const QRect& inner)
{
    std::vector<int> sizes(Children.size(), 0);
    std::copy_n(placed_.begin(), std::min(placed_.size(), sizes.size()), sizes.begin());
    SplitPos = SplitLines(sizes, SplitRows ? inner.top() : inner.left());
    int at = SplitRows ? inner.top() : inner.left();
    for (std::size_t i = 0; i < Children.size(); ++i) {
        if (SplitRows)
            Children[i]->setGeometry(inner.left(), at, inner.width(), sizes[i]);
        else
            Children[i]->setGeometry(at, inner.top(), sizes[i], inner.height());
        at += sizes[i];
    }
}

void TSubFrameSet::ComputeLocks()
{
    SplitLocked.assign(SplitPos.size(), false);
    for (std::size_t i = 0; i < SplitPos.size() && i + 1 < Children.size(); ++i)
        SplitLocked[i] = Children[i]->LockedAtEnd() || Children[i + 1]->LockedAtStart();
}

// A NORESIZE frame at the start or end of a nested set locks the line of the outer set it
// touches; across the split direction every frame of the nested set touches it.
bool TSubFrameSet::LockedAtSide(bool start) const
{
    if (Children.empty())
        return false;
    const auto locked = [start](const TFrameBase* c) { return start ? c->LockedAtStart() : c->LockedAtEnd(); };
    if (parentSet_ && parentSet_->SplitRows != SplitRows)
        return std::any_of(Children.begin(), Children.end(), locked);
    return locked(start ? Children.front() : Children.back());
}

bool TSubFrameSet::LockedAtStart() const
{
    return LockedAtSide(true);
}

bool TSubFrameSet::LockedAtEnd() const
{
    return LockedAtSide(false);
}

// ---------------------------------------------------------------------------------------------
// Dragging the split lines

int TSubFrameSet::SplitAt(QPoint point) const
{
    return NearestSplit(SplitPos, Along(point));
}

// The limit of a split line's movement: the neighbouring line (or the inner edge), one pixel inside.
int TSubFrameSet::LineLimit(int split, bool before) const
{
    const QRect inner = InnerRect();
    if (before)
        return split > 0 ? SplitPos[static_cast<std::size_t>(split - 1)] : (SplitRows ? inner.top() : inner.left());
    return split + 1 < static_cast<int>(SplitPos.size()) ? SplitPos[static_cast<std::size_t>(split + 1)]
                                                        : (SplitRows ? inner.top() + inner.height() : inner.left() + inner.width());
}

// A running drag goes on, the mouse over a line may start one, and near the outer edge the line
// belongs to the enclosing frameset.
std::optional<Qt::CursorShape> TSubFrameSet::SplitMouse(MouseAction action, QPoint point)
{
    if (dragSplit_ >= 0)
        return DragMouse(action, point);
    if (const int split = SplitAt(point); split >= 0)
        return LineMouse(action, split);
    if (parentSet_ && NearEdge(*this, point))
        return parentSet_->SplitMouse(action, parentSet_->mapFromGlobal(mapToGlobal(point)));
    return std::nullopt;
}

std::optional<Qt::CursorShape> TSubFrameSet::LineMouse(MouseAction action, int split)
{
    if (SplitLocked[static_cast<std::size_t>(split)])
        return std::nullopt;
    if (action == MouseAction::Down)
        StartDrag(split);
    return SplitCursor();
}

std::optional<Qt::CursorShape> TSubFrameSet::DragMouse(MouseAction action, QPoint point)
{
    dragAt_ = std::clamp(Along(point), dragLow_, dragHigh_);
    PlaceDragLine();
    if (action == MouseAction::Up)
        EndDrag();
    return SplitCursor();
}

void TSubFrameSet::StartDrag(int split)
{
    const int before = LineLimit(split, true);
    const int after = LineLimit(split, false);
    dragSplit_ = split;
    dragAt_ = SplitPos[static_cast<std::size_t>(split)];
    // The line stays one pixel inside its neighbours, so no frame ever gets a negative size.
    dragLow_ = after - before >= 2 ? before + 1 : dragAt_;
    dragHigh_ = after - before >= 2 ? after - 1 : dragAt_;
    dragLine_ = new QRubberBand(QRubberBand::Line, this);
    PlaceDragLine();
    dragLine_->show();
    dragLine_->raise();
    if (TFrameSet* master = MasterSet())
        master->Dragging = this;
}

// The line lets go: the two frames beside it take its new place, the others keep their sizes, and
// from now on the sizes follow the window in proportion.
void TSubFrameSet::EndDrag()
{
    const int split = dragSplit_;
    dragSplit_ = -1;
    if (dragLine_)
        dragLine_->deleteLater();
    TFrameSet* master = MasterSet();
    if (master && master->Dragging == this)
        master->Dragging = nullptr;
    if (static_cast<std::size_t>(split) + 1 >= placed_.size())
        return;
    SizePx = MoveSplitLine(placed_, split, LineLimit(split, true), LineLimit(split, false), dragAt_);
    SizeTotal = std::accumulate(SizePx.begin(), SizePx.end(), 0);
    proportional_ = true;
    LayoutChildren();
    update();
}

void TSubFrameSet::PlaceDragLine()
{
    if (!dragLine_)
        return;
    const QRect inner = InnerRect();
    if (SplitRows)
        dragLine_->setGeometry(inner.left(), dragAt_ - 1, inner.width(), 2);
    else
        dragLine_->setGeometry(dragAt_ - 1, inner.top(), 2, inner.height());
}

void TSubFrameSet::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ShowSplitCursor(*this, SplitMouse(MouseAction::Down, event->position().toPoint()));
}

void TSubFrameSet::mouseMoveEvent(QMouseEvent* event)
{
    ShowSplitCursor(*this, SplitMouse(MouseAction::Move, event->position().toPoint()));
}

void TSubFrameSet::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ShowSplitCursor(*this, SplitMouse(MouseAction::Up, event->position().toPoint()));
}

}  // namespace velmoran
