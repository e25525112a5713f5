// The mouse over the page viewer's surface: link and hover tracking with the hot-spot events and
// timer, the cursor, clicks on images and the right click, following a clicked link, and the
// presses that start a selection or panning.
#include "html/viewer/PageViewer.h"

#include "platform/Cursors.h"
#include "html/viewer/ViewerText.h"
#include "platform/Application.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <QTimer>

#include <filesystem>

namespace velmoran {

// ---------------------------------------------------------------------------------------------
// The mouse

bool TPageViewer::FindCursorAt(int x, int y, int& pos, bool& inText)
{
    pos = document_->FindCursor(MeasureCanvas(), x + hPos_, y + document_->YOffset(), inText);
    return pos >= 0;
}

void TPageViewer::SetCursorShape(const QCursor& cursor)
{
    panel_->setCursor(cursor);
}

void TPageViewer::PanelMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x + panel_->x(), y + panel_->y());
    setFocus(Qt::MouseFocusReason);
    if (OnActivate)
        OnActivate(this);
    linkClicked_ = false;
    if (panMode_) {
        LeavePanMode();
        return;
    }
    if (StartPan(button, y))
        return;
    if (button == Qt::LeftButton) {
        leftButtonDown_ = true;
        int pos = -1;
        bool inText = false;
        FindCursorAt(x, y, pos, inText);
        if (selection_.Press(pos, shift & Qt::ShiftModifier))
            panel_->update();
    }
    document_->SetHoverImageState(MeasureCanvas(), x + hPos_, y + document_->YOffset(), true);
}

void TPageViewer::PanelMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y)
{
    if (panMode_) {
        if (!autoScrolling_ && std::abs(y - panStartY_) > 20)
            StartAutoScroll();
        return;
    }
    if (OnMouseMove)
        OnMouseMove(this, shift, x + panel_->x(), y + panel_->y());
    const int docX = x + hPos_, docY = y + document_->YOffset();
    TLinkHit hit;
    const int bits = TrackLink(docX, docY, hit);
    const bool hand = bits & (kOverLink | kOverImageArea);
    const bool overImage = TrackImage(shift, docX, docY);
    document_->SetHoverImageState(MeasureCanvas(), docX, docY, buttons & Qt::LeftButton);
    SetCursorShape(CursorAt(hand, overImage, x, y));
    if (hand || document_->HasHover())
        hotSpotTimer_->start();
    else
        hotSpotTimer_->stop();
    if (bits & kOverLink)
        SetHotSpot(hit.Url, hit.Target);
    else
        SetHotSpot({}, {});
    if (buttons & Qt::LeftButton) {
        if ((y < 1 || y >= panel_->height()) && !autoScrolling_)
            StartAutoScroll();
        if (!noSelect_)
            ExtendSelection(x, y);
    }
}

void TPageViewer::PanelMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (panMode_) {
        // A click of the middle button that did not move keeps panning.
        if (!(button == Qt::MiddleButton && y == panStartY_))
            LeavePanMode();
        return;
    }
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x + panel_->x(), y + panel_->y());
    const int docX = x + hPos_, docY = y + document_->YOffset();
    if ((OnImageClick || OnRightClick) && !ReportImageClicks(button, shift, docX, docY))
        return;  // the viewer went in a handler
    if (button == Qt::LeftButton && !(shift & Qt::ShiftModifier)) {
        autoScrolling_ = false;
        ExtendSelection(x, y);
        selection_.EndDrag();
        document_->SetHoverImageState(MeasureCanvas(), docX, docY, false);
        // A click (no drag that selected) on an image input submits its form; on a link, follows it.
        if (leftButtonDown_ && SelLength() <= 0) {
            if (document_->ClickImageInput(MeasureCanvas(), docX, docY)) {
                leftButtonDown_ = false;
                return;
            }
            if (FollowClickedLink(docX, docY))
                return;
        }
    }
    if (button == Qt::LeftButton)
        leftButtonDown_ = false;
}

// ---------------------------------------------------------------------------------------------
// What the mouse is over

// The link under a document point: its title, and for a link its attributes and text, kept at
// once; the bits of the lookup.
int TPageViewer::TrackLink(int docX, int docY, TLinkHit& hit)
{
    hotSpot_.Title.clear();
    const int bits = document_->GetURL(MeasureCanvas(), docX, docY, hit);
    if (bits & kOverLink) {
        hotSpot_.Attributes = hit.Attributes;
        hotSpot_.Text = GetRangeText(hit.SourceStart, hit.SourceLast);
    }
    if (bits & kOverTitle)
        hotSpot_.Title = hit.Title;
    return bits;
}

// Reports an image under the mouse (only to an application that listens to images).
bool TPageViewer::TrackImage(Qt::KeyboardModifiers shift, int docX, int docY)
{
    if (!OnImageClick && !OnImageOver)
        return false;
    TImageHit image;
    if (!document_->FindImageAt(MeasureCanvas(), docX, docY, image))
        return false;
    if (OnImageOver)
        OnImageOver(this, image.Image, shift, image.X, image.Y);
    return true;
}

// The hand over links, the viewer's cursor over text, else the arrow.
QCursor TPageViewer::CursorAt(bool overLink, bool overImage, int x, int y)
{
    if (overLink)
        return velmoran::ViewerCursor(TViewerCursor::Hand);
    if (!overImage) {
        int pos = -1;
        bool inText = false;
        FindCursorAt(x, y, pos, inText);
        if (inText)
            return QCursor(cursor_);
    }
    return QCursor(Qt::ArrowCursor);
}

void TPageViewer::SetHotSpot(const std::string& url, const std::string& target)
{
    if (url == hotSpot_.Url && target == hotSpot_.Target)
        return;
    hotSpot_.Url = url;
    hotSpot_.Target = target;
    if (OnHotSpotCovered)
        OnHotSpotCovered(this, hotSpot_.Url);
}

void TPageViewer::HotSpotTimerTick()
{
    if (PointerOverSurface && PointerOverSurface())
        return;
    document_->ClearHover();
    hotSpotTimer_->stop();
    if (!hotSpot_.Url.empty()) {
        hotSpot_.Url.clear();
        hotSpot_.Target.clear();
        if (OnHotSpotCovered)
            OnHotSpotCovered(this, "");
    }
}

bool TPageViewer::HotSpotTimerActive() const
{
    return hotSpotTimer_->isActive();
}

// ---------------------------------------------------------------------------------------------
// Clicks

// The image clicked and the right click with what lies under it; false when the viewer went in
// the right-click handler.
bool TPageViewer::ReportImageClicks(Qt::MouseButton button, Qt::KeyboardModifiers shift, int docX, int docY)
{
    TImageHit image;
    const bool found = document_->FindImageAt(MeasureCanvas(), docX, docY, image);
    if (found && OnImageClick)
        OnImageClick(this, image.Image, button, shift, image.X, image.Y);
    if (button != Qt::RightButton || !OnRightClick)
        return true;
    TRightClickParameters parameters;
    if (found) {
        parameters.Image = image.Image;
        parameters.ImageX = image.X;
        parameters.ImageY = image.Y;
    }
    TLinkHit hit;
    if (document_->GetURL(MeasureCanvas(), docX, docY, hit) & kOverLink) {
        parameters.URL = hit.Url;
        parameters.Target = hit.Target;
    }
    parameters.ClickWord = document_->WordAt(MeasureCanvas(), docX, docY);
    hotSpotTimer_->stop();
    QPointer<TPageViewer> self(this);
    OnRightClick(this, parameters);
    if (!self)
        return false;
    hotSpotTimer_->start();
    return true;
}

// Follows the link at a document point, if there is one.
bool TPageViewer::FollowClickedLink(int docX, int docY)
{
    TLinkHit hit;
    if (!(document_->GetURL(MeasureCanvas(), docX, docY, hit) & kOverLink))
        return false;
    hotSpot_.Url = hit.Url;
    hotSpot_.Target = hit.Target;
    hotSpot_.Attributes = hit.Attributes;
    hotSpot_.Text = GetRangeText(hit.SourceStart, hit.SourceLast);
    FocusClickedLink(hit.LinkId);
    linkClicked_ = true;
    leftButtonDown_ = false;
    FollowLink();
    return true;
}

// The clicked link's focus control takes the focus, so that Tab and Enter go on from the link; the
// view stays where the user clicked.
void TPageViewer::FocusClickedLink(int linkId)
{
    QWidget* control = document_->LinkFocusWidget(linkId);
    if (!control || !control->isEnabled() || !control->isVisible())
        return;
    const ScopedValue<bool> activating(activatingLink_, true);
    control->setFocus(Qt::MouseFocusReason);
}

void TPageViewer::PostLinkMessage()
{
    Post(&TPageViewer::FollowLink);
}

// The application may take the click; else an anchor of the shown document is scrolled to, an
// HTML file loaded (or scrolled to when it is shown) and a picture shown. Other files do nothing.
void TPageViewer::FollowLink()
{
    if (OnHotSpotClick) {
        bool handled = false;
        QPointer<TPageViewer> self(this);
        OnHotSpotClick(this, hotSpot_.Url, handled);
        if (!self || handled)
            return;
    }
    const std::string url = hotSpot_.Url;
    const THistoryPage left = ShownPage();
    if (!url.empty() && url.front() == '#') {
        JumpToAnchor(url, left);
        return;
    }
    const auto hash = url.find('#');
    const std::string file = url.substr(0, hash);
    const std::string anchor = hash == std::string::npos ? std::string() : url.substr(hash);
    const std::string full = ExpandFileName(file);
    const std::string ext = std::filesystem::path(full).extension().string();
    if (SameText(ext, ".htm") || SameText(ext, ".html")) {
        if (full == currentFile_) {
            JumpToAnchor(anchor, left);
        } else {
            LoadDocumentFile(full + anchor);
            AddVisited(full + anchor);
        }
    } else if (IsPictureExtension(ext)) {
        LoadImageFile(full);
    }
}

void TPageViewer::JumpToAnchor(const std::string& anchor, const THistoryPage& left)
{
    if (!PositionToAnchor(anchor))
        return;
    RecordAnchorHistory(left);
    AddVisited(currentFile_ + anchor);
}

}  // namespace velmoran
