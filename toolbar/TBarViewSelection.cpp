// The selection of a view and what the menu mode does with it: choosing the next selectable viewer,
// accelerators, opening and closing submenus, the keyboard's navigation and typed characters, and
// the four view timers (open and close a submenu after the menu delay, scroll every 100 ms).
#include "toolbar/TBarView.h"

#include "platform/AppServices.h"
#include "platform/SystemParams.h"
#include "toolbar/TBarAccessible.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarModalHandler.h"
#include "toolbar/TBarPopupWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace velmoran {

namespace {

constexpr int kScrollInterval = 100;

bool IsSelectable(const TBarItemViewer& viewer)
{
    return (viewer.Show || viewer.Clipped) && viewer.Item().Visible() && viewer.Item().HasStyle(istSelectable);
}

bool IsSubmenuItem(const TBarCustomItem& item)
{
    return item.HasStyle(istSubmenuKind);
}

// Whether the global point is over the view's selection: its window is the one there, the
// viewer there is the selection and, while the view holds the capture, the point is in the
// viewer's button part (a split button pressed there is not pushed over its arrow).
bool IsOverSelection(TBarView& view, QPoint global)
{
    TBarItemViewer* selected = view.Selected();
    if (!selected || ChainViewAt(*view.RootView(), global) != &view)
        return false;
    const QPoint p = ViewPointFromGlobal(view, global);
    if (view.ViewerFromPoint(TPoint{p.x(), p.y()}) != selected)
        return false;
    const TRect& r = selected->BoundsRect;
    return !view.Captured() || selected->IsPtInButtonPart(p.x() - r.Left, p.y() - r.Top);
}

// The nearest view up the chain that is a toolbar view.
TBarView* ToolbarViewOf(TBarView* view)
{
    for (; view; view = view->ParentView())
        if (view->IsToolbar())
            return view;
    return nullptr;
}

void CheckMode(TBarView& view)
{
    if (TBarModalHandler* handler = view.RootView()->ModalHandler())
        handler->CheckContinue();
}

}  // namespace

// --- SetSelected ------------------------------------------------------------------------------

void TBarView::SetSelected(TBarItemViewer* viewer, bool viaMouse)
{
    // 1. A selection inside a child popup brings the parent's open viewer back. This holds for a
    // selection the popup kept, too: the pointer may leave the popup and come back onto that item.
    if (viewer && parentView_ && parentView_->openViewerView_ == this && parentView_->openViewer_ &&
        parentView_->selected_ != parentView_->openViewer_) {
        parentView_->SetSelected(parentView_->openViewer_, viaMouse);
        parentView_->StopTimer(1);
        parentView_->StopTimer(0);
    }
    if (viewer == selected_) {
        // 4. for a selection that stays: the pushed look follows the pointer over its parts.
        const bool over = IsOverSelection(*this, TBarModalHandler::CurrentMessagePoint());
        if (over != mouseOverSelected_ && viewer) {
            mouseOverSelected_ = over;
            if (viewer->Item().HasStyle(istRepaintOnHot) && captured_)
                InvalidateViewer(*viewer);
        }
        return;
    }
    // 2. Child popups while the chain is tracking.
    const bool tracking = RootView()->Tracking();
    if (tracking) {
        if (IsPopup() && viaMouse && openViewerWindow_) {
            // Back on the item whose submenu is open, the submenu stays: closing it by the timer
            // started on the way out would shut it under a pointer that goes on into it.
            if (viewer == openViewer_)
                StopTimer(1);
            else if (!TimerRunning(1))
                StartTimer(1);
        } else {
            StopTimer(1);
            if (viewer != openViewer_)
                CloseChildPopups();
        }
    }
    // 3. The change.
    TBarItemViewer* old = selected_;
    CancelCapture();
    if (old)
        old->Leaving();
    selected_ = viewer;
    selectedViaMouse_ = viaMouse;
    // 4. Mouse over the selection, at the position of the event at hand.
    mouseOverSelected_ = IsOverSelection(*this, TBarModalHandler::CurrentMessagePoint());
    // 5. Repaint, tell, and open in open mode.
    if (old && old->Item().HasStyle(istRepaintOnSelect))
        InvalidateViewer(*old);
    if (!viewer)
        return;
    if (viewer->Item().HasStyle(istRepaintOnSelect))
        InvalidateViewer(*viewer);
    viewer->Entering();
    if (!tracking || selected_ != viewer)
        return;
    AnnounceSelection();
    if (IsPopup()) {
        StopTimer(0);
        if (viaMouse && IsSubmenuItem(viewer->Item()) && viewer != openViewer_)
            StartTimer(0);
    } else if (openMode_ && (viaMouse || !viewer->Item().HasStyle(istNoHoverOpen))) {
        OpenChildPopup(!viaMouse);
    }
}

void TBarView::AnnounceSelection()
{
    if (!selected_ || !tracking_ || !RootView()->Tracking())
        return;
    // A selection that is no accessible object: the parent view's stands for it.
    if (!selected_->IsAccessible()) {
        if (parentView_)
            parentView_->AnnounceSelection();
        return;
    }
    QWidget* window = Window();
    if (!window || !window->isVisible())
        return;
    int child = 0;
    for (int i = 0; i < ViewerCount() && Viewers(i) != selected_; ++i)
        child += Viewers(i)->IsAccessible() ? 1 : 0;
    QAccessibleEvent event(window, QAccessible::Focus);
    event.setChild(child);
    NotifyAccessibleEvent(event);
}

// --- finding viewers --------------------------------------------------------------------------

TBarItemViewer* TBarView::NextSelectable(TBarItemViewer* from, bool goForward) const
{
    const int count = ViewerCount();
    if (count == 0)
        return nullptr;
    const int start = from ? IndexOf(from) : -1;
    int index = start;
    for (int step = 0; step < count; ++step) {
        if (goForward)
            index = index + 1 >= count ? 0 : index + 1;
        else
            index = index <= 0 ? count - 1 : index - 1;
        if (from && index == start)
            break;
        if (IsSelectable(*viewers_[index]))
            return viewers_[index].get();
    }
    return nullptr;
}

TBarItemViewer* TBarView::FindAccelerator(char32_t key, TBarItemViewer* start, bool& isOnlyOne,
                                          bool enabledOnly) const
{
    isOnlyOne = false;
    const int count = ViewerCount();
    if (count == 0)
        return nullptr;
    const char32_t lowered = CharLowerOf(key);
    const auto matches = [&](const TBarItemViewer& viewer, bool enabled, bool byAccel) {
        const TBarCustomItem& item = viewer.Item();
        if (!IsSelectable(viewer) || item.Enabled() != enabled || !viewer.IsCaptionShown())
            return false;
        const std::string caption = viewer.GetCaptionText();
        const char32_t accel = GetAccelChar(caption);
        if (byAccel)
            return accel != 0 && CharLowerOf(accel) == lowered;
        if (accel != 0 || key == U' ' || caption.empty())
            return false;
        const std::u32string text = QString::fromStdString(caption).toStdU32String();
        return !text.empty() && CharLowerOf(text.front()) == lowered;
    };
    const int first = start ? IndexOf(start) : -1;
    const auto search = [&](bool enabled, bool byAccel, int from) -> int {
        for (int step = 1; step <= count; ++step) {
            const int index = ((from + step) % count + count) % count;
            if (matches(*viewers_[index], enabled, byAccel))
                return index;
        }
        return -1;
    };
    for (int pass = 0; pass < (enabledOnly ? 2 : 4); ++pass) {
        const bool enabled = pass < 2;
        const bool byAccel = pass % 2 == 0;
        const int found = search(enabled, byAccel, first);
        if (found < 0)
            continue;
        isOnlyOne = !byAccel || search(enabled, byAccel, found) == found;
        return viewers_[found].get();
    }
    return nullptr;
}

// --- opening and executing --------------------------------------------------------------------

bool TBarView::OpenChildPopup(bool selectFirst)
{
    StopTimer(1);
    StopTimer(0);
    if (selected_ && selected_ != openViewer_) {
        CloseChildPopups();
        TBarCustomItem& item = selected_->Item();
        if (item.Enabled() && IsSubmenuItem(item)) {
            TBarPopupRequest request;
            request.ParentView = this;
            request.ParentViewer = selected_;
            request.PositionAsSubmenu = IsPopup();
            request.SelectFirstItem = selectFirst;
            CreatePopup(item, request);
        }
    }
    return openViewerView_ != nullptr;
}

void TBarView::CloseChildPopupsByKeyboard()
{
    if (isToolbar_)
        openMode_ = false;
    CloseChildPopups();
}

void TBarView::ExecuteSelected(bool givePriority)
{
    TBarDoneActionData& done = RootView()->DoneAction();
    if (!selected_ || !selected_->Item().Enabled()) {
        done.DoneAction = TBarDoneActionData::tbdaCancel;
        return;
    }
    TBarCustomItem& item = selected_->Item();
    if (IsSubmenuItem(item) && !item.HasStyle(istSplitButton)) {
        if (OpenChildPopup(true))
            return;
    }
    if (!item.HasStyle(istSelectable)) {
        done.DoneAction = TBarDoneActionData::tbdaCancel;
        return;
    }
    TBarItemViewer* viewer = selected_;
    if (viewer->Execute() && givePriority)
        GivePriority(viewer);
}

// --- capture, cancel and cues -----------------------------------------------------------------

void TBarView::SetCapture()
{
    captured_ = true;
}

void TBarView::CancelCapture()
{
    if (!captured_)
        return;
    captured_ = false;
    TBarModalHandler::ForgetMousePosition();
    if (selected_)
        selected_->LosingCapture();
}

void TBarView::CancelMode()
{
    RootView()->DoneAction().DoneAction = TBarDoneActionData::tbdaCancel;
    std::vector<TBarView*> chain;
    for (TBarView* view = RootView(); view; view = view->openViewerView_)
        chain.push_back(view);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (int number = 0; number < 4; ++number)
            (*it)->StopTimer(number);
        if ((*it)->IsPopup())
            if (QWidget* window = (*it)->Window())
                window->hide();
    }
}

void TBarView::ShowKeyboardCues(bool show)
{
    const bool shown = show || !hideKeyboardCues_ || AreKeyboardCuesShown();
    if (shown == keyboardCuesShown_)
        return;
    keyboardCuesShown_ = shown;
    QWidget* window = Window();
    if (!window || !window->isVisible())
        return;
    for (const auto& viewer : viewers_)
        if (viewer->IsCaptionShown() && GetAccelChar(viewer->GetCaptionText()) != 0)
            InvalidateViewer(*viewer);
}

// --- the keyboard -----------------------------------------------------------------------------

bool TBarView::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (selected_ && selected_->KeyDown(key, modifiers))
        return true;
    TBarView* toolbarView = ToolbarViewOf(this);
    const bool horizontalToolbar =
        toolbarView && toolbarView->Orientation() != TBarViewOrientation::voVertical;
    const bool verticalToolbar = toolbarView && !horizontalToolbar;
    const auto moveInToolbar = [&](bool forward) {
        if (!toolbarView)
            return;
        const bool wasOpen = toolbarView->openMode_;
        toolbarView->CloseChildPopups();
        toolbarView->openMode_ = wasOpen;
        TBarItemViewer* next = toolbarView->NextSelectable(toolbarView->selected_, forward);
        if (next)
            toolbarView->SetSelected(next, false);
        if (wasOpen && toolbarView->selected_)
            toolbarView->OpenChildPopup(true);
    };
    const auto selectAndShow = [&](TBarItemViewer* viewer) {
        if (!viewer)
            return;
        SetSelected(viewer, false);
        ScrollSelectedIntoView();
    };
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
        if (verticalToolbar && toolbarView == this) {
            OpenChildPopup(true);
            return true;
        }
        if (key == VK_LEFT) {
            if (IsPopup()) {
                if (!toolbarView || verticalToolbar) {
                    if (parentView_)
                        parentView_->CloseChildPopupsByKeyboard();
                } else if (toolbarView == this || toolbarView == parentView_) {
                    moveInToolbar(false);
                } else {
                    if (parentView_)
                        parentView_->CloseChildPopupsByKeyboard();
                }
            } else if (toolbarView == this) {
                moveInToolbar(false);
            }
            return true;
        }
        {
            const bool opened = IsPopup() && selected_ && IsSubmenuItem(selected_->Item()) && OpenChildPopup(true);
            if ((toolbarView == this || !opened) && horizontalToolbar)
                moveInToolbar(true);
        }
        return true;
    case VK_UP:
    case VK_DOWN:
        if (horizontalToolbar && toolbarView == this) {
            openMode_ = true;
            OpenChildPopup(true);
            return true;
        }
        selectAndShow(NextSelectable(selected_, key == VK_DOWN));
        return true;
    case VK_HOME:
        selectAndShow(NextSelectable(nullptr, true));
        return true;
    case VK_END:
        selectAndShow(NextSelectable(nullptr, false));
        return true;
    case VK_TAB:
        selectAndShow(NextSelectable(selected_, !(modifiers & Qt::ShiftModifier)));
        return true;
    case VK_RETURN:
        ExecuteSelected(true);
        return true;
    case VK_ESCAPE:
        if (parentView_) {
            parentView_->CloseChildPopupsByKeyboard();
        } else {
            RootView()->DoneAction().DoneAction = TBarDoneActionData::tbdaCancel;
        }
        return true;
    case VK_MENU:
    case VK_F10:
        RootView()->DoneAction().DoneAction = TBarDoneActionData::tbdaCancel;
        return true;
    case VK_F1:
        for (TBarView* view = this; view; view = view->parentView_)
            if (view->selected_ && view->selected_->Item().HelpContext() != 0) {
                TBarDoneActionData& done = RootView()->DoneAction();
                done.DoneAction = TBarDoneActionData::tbdaHelpContext;
                done.ContextID = view->selected_->Item().HelpContext();
                break;
            }
        return true;
    default:
        return false;
    }
}

void TBarView::CharInput(char32_t ch)
{
    bool onlyOne = false;
    if (TBarItemViewer* found = FindAccelerator(ch, selected_, onlyOne, false)) {
        SetSelected(found, false);
        ScrollSelectedIntoView();
        if (onlyOne)
            ExecuteSelected(true);
        return;
    }
    TBarView* root = RootView();
    if ((ch == U' ' || ch == U'-') && root == this && !IsPopup() && QApplication::activeWindow()) {
        TBarDoneActionData& done = root->DoneAction();
        done.DoneAction = TBarDoneActionData::tbdaOpenSystemMenu;
        done.Key = static_cast<int>(ch);
        return;
    }
    AppServices::Instance().Beep();
}

// --- timers -----------------------------------------------------------------------------------

void TBarView::StartTimer(int number)
{
    if (!isPopup_ || number < 0 || number > 3)
        return;
    StopTimer(number);
    auto& timer = timerObjects_[number];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, this, [this, number] { TimerExpired(number); });
    }
    timer->start(number < 2 ? GetMenuShowDelay() : kScrollInterval);
    timers_ |= static_cast<std::uint8_t>(1u << number);
}

void TBarView::StopTimer(int number)
{
    if (number < 0 || number > 3)
        return;
    if (timerObjects_[number])
        timerObjects_[number]->stop();
    timers_ &= static_cast<std::uint8_t>(~(1u << number));
}

void TBarView::TimerExpired(int number)
{
    switch (number) {
    case 0:
        StopTimer(0);
        CloseChildPopups();
        OpenChildPopup(false);
        break;
    case 1:
        StopTimer(1);
        CloseChildPopups();
        break;
    case 2:
        if (showUpArrow_)
            ScrollStep(false);
        else
            StopTimer(2);
        break;
    case 3:
        if (showDownArrow_)
            ScrollStep(true);
        else
            StopTimer(3);
        break;
    default: break;
    }
    CheckMode(*this);
}

}  // namespace velmoran
