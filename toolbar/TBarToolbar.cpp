// The toolbar, its view and its chevron; see TBarToolbar.h. The keyboard filters live in
// TBarToolbarKeys.cpp.
#include "toolbar/TBarToolbar.h"

#include "platform/Action.h"
#include "platform/AppServices.h"
#include "platform/Edges.h"
#include "platform/Form.h"
#include "platform/StringTable.h"
#include "platform/SystemColors.h"
#include "toolbar/TBarAccessible.h"
#include "toolbar/TBarAnimation.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarModalHandler.h"
#include "toolbar/TBarPopupWindow.h"

#include <QApplication>
#include <QChildEvent>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QToolTip>

namespace velmoran {

// Shortcut registration lives with the keyboard filters.
void RegisterShortCutToolbar(TBarCustomToolbar* toolbar, bool registered);
void RegisterMenuBar(TBarCustomToolbar* toolbar, bool registered);

namespace {

constexpr const char* kFloatRightX = "FloatRightX";

void InitiateActions(TBarCustomItem& item)
{
    for (int i = 0; i < item.Count(); ++i) {
        TBarCustomItem* child = item.Items(i);
        child->InitiateAction();
        InitiateActions(*child);
    }
}

}  // namespace

// --- the chevron ------------------------------------------------------------------------------

TBarChevronItem::TBarChevronItem(TBarCustomToolbar& toolbar) : toolbar_(toolbar)
{
    SetStyle(istOpensPopup | istSubmenuKind | istNoHoverOpen);
    ApplyHint(TBarCustomToolbar::DefaultChevronHint());
}

void TBarChevronItem::ApplyHint(const std::string& hint)
{
    SetHint(hint);
    SetCaption(EscapeAmpersands(ShortHint(hint)));
}

std::unique_ptr<TBarItemViewer> TBarChevronItem::CreateViewer(TBarView& view, int groupLevel)
{
    return std::make_unique<TBarChevronItemViewer>(view, *this, groupLevel);
}

TBarView* TBarChevronItem::GetChevronParentView()
{
    return &toolbar_.View();
}

void TBarChevronItemViewer::CalcSize(Canvas& /*canvas*/, int& width, int& height)
{
    width = kChevronSize;
    height = kChevronSize;
}

void TBarChevronItemViewer::Paint(Canvas& canvas, const TRect& clientAreaRect, bool isSelected, bool isPushed,
                                  bool /*useDisabledShadow*/)
{
    TRect r = clientAreaRect;
    const bool enabled = Item().Enabled();
    const bool pushed = enabled && (isPushed || View().OpenViewer() == this);
    if (pushed)
        DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT);
    else if (enabled && isSelected)
        DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RECT);
    const bool vertical = View().Orientation() == TBarViewOrientation::voVertical;
    int x = vertical ? r.Right - 9 : r.Left + 2;
    int y = vertical ? r.Top + 2 : r.Top + 4;
    if (pushed) {
        ++x;
        ++y;
    }
    const auto glyph = [&](int gx, int gy, ColorRef color) {
        if (vertical)
            DrawGlyphRows(canvas, {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20}, 5, gx, gy, color);
        else
            DrawGlyphRows(canvas, {0xCC, 0x66, 0x33, 0x66, 0xCC}, 8, gx, gy, color);
    };
    if (enabled) {
        glyph(x, y, SystemColor(COLOR_BTNTEXT));
    } else {
        glyph(x + 1, y + 1, SystemColor(COLOR_BTNHIGHLIGHT));
        glyph(x, y, SystemColor(COLOR_BTNSHADOW));
    }
}

// --- the view ---------------------------------------------------------------------------------

TBarToolbarView::TBarToolbarView(TBarCustomToolbar& toolbar, TBarCustomItem& root)
    : TBarView(&toolbar, nullptr, &root, true, false, true), toolbar_(toolbar)
{
}

LogicalFont TBarToolbarView::GetFont() const
{
    if (!toolbar_.SystemFont())
        return toolbar_.Font;
    return TBarView::GetFont();
}

TBarCustomItem* TBarToolbarView::GetChevronItem()
{
    return &toolbar_.ChevronItem();
}

void TBarToolbarView::AutoSize(int width, int height)
{
    toolbar_.ViewSizeChanged(width, height);
}

TSize TBarToolbarView::UpdatePositions()
{
    // A bar thinner than its dock row takes the row's thickness: its items are centred across it.
    TSize least;
    if (TBarDock* dock = toolbar_.CurrentDock(); dock && toolbar_.EffectiveDockRow >= 0) {
        const int row = dock->GetRowThicknessExcluding(toolbar_.EffectiveDockRow, &toolbar_);
        (dock->Vertical() ? least.cx : least.cy) = row;
    }
    TSize total = UpdatePositionsAtLeast(least);
    TBarItemViewer* chevron = FindViewer(&toolbar_.ChevronItem());
    if (!chevron || !chevron->Show || ChevronOffset() <= 0)
        return total;
    TRect& r = chevron->BoundsRect;
    if (Orientation() == TBarViewOrientation::voVertical) {
        const int top = std::max(0, ChevronOffset() - ChevronSize());
        r = TRect{r.Left, top, r.Right, top + ChevronSize()};
        total.cy = std::max(total.cy, r.Bottom);
    } else {
        const int left = std::max(0, ChevronOffset() - ChevronSize());
        r = TRect{left, r.Top, left + ChevronSize(), r.Bottom};
        total.cx = std::max(total.cx, r.Right);
    }
    return total;
}

// --- the toolbar ------------------------------------------------------------------------------

TBarCustomToolbar::TBarCustomToolbar(QWidget* parent) : menuFont_(std::make_unique<TBarMenuFontUser>())
{
    TBarPopupAnimation::Install();
    InstallToolbarAccessibility();
    root_ = std::make_unique<TBarRootItem>();
    root_->SetHostComponent(this);
    chevron_ = std::make_unique<TBarChevronItem>(*this);
    chevron_->SetLinkSubitems(root_.get());
    view_ = std::make_unique<TBarToolbarView>(*this, *root_);
    // The view was made before it could ask for the chevron: the viewers again, with it.
    view_->RecreateAllViewers();
    view_->SetShowHints(showHint_);
    SetColor(SystemColor(COLOR_BTNFACE));
    resize(23, 22);
    if (parent)
        SetParent(parent);
    UpdateIdleRegistration();
}

TBarCustomToolbar::~TBarCustomToolbar()
{
    if (TBarModalHandler* handler = TBarModalHandler::Active(); handler && view_->ModalHandler() == handler)
        handler->Finish(true);
    if (menuBar_)
        RegisterMenuBar(this, false);
    if (shortCutsRegistered_)
        RegisterShortCutToolbar(this, false);
    if (auto* form = dynamic_cast<Form*>(FormOf(this))) {
        form->UnregisterIdleHandler(this);
        form->UnregisterDialogKeyHandler(this);
    }
    // Child widgets go with the toolbar; their items must not free them twice.
    for (int i = root_->Count() - 1; i >= 0; --i)
        if (auto* control = dynamic_cast<TBarControlItem*>(root_->Items(i)))
            control->KeepControl = true;
    view_.reset();
    chevron_.reset();
    root_.reset();
}

void TBarCustomToolbar::SetMenuBar(bool value)
{
    if (menuBar_ == value)
        return;
    menuBar_ = value;
    view_->SetMenuBar(value);
    view_->SetHideKeyboardCuesStyle(value);
    SetFullSize(value);
    SetShrinkMode(value ? TBarShrinkMode::tbsmWrap : TBarShrinkMode::tbsmChevron);
    SetCloseButton(!value);
    RegisterMenuBar(this, value);
    UpdateIdleRegistration();
    SetProcessShortCuts(value);
    UpdateShortCutRegistration();
}

void TBarCustomToolbar::SetProcessShortCuts(bool value)
{
    if (processShortCuts_ == value)
        return;
    processShortCuts_ = value;
    UpdateShortCutRegistration();
}

void TBarCustomToolbar::UpdateShortCutRegistration()
{
    const bool wanted = processShortCuts_ || menuBar_;
    if (wanted == shortCutsRegistered_)
        return;
    shortCutsRegistered_ = wanted;
    RegisterShortCutToolbar(this, wanted);
}

void TBarCustomToolbar::SetShrinkMode(TBarShrinkMode mode)
{
    if (shrinkMode_ == mode)
        return;
    shrinkMode_ = mode;
    if (CurrentDock())
        CurrentDock()->ArrangeToolbars();
    else if (!Floating())
        Arrange();
}

void TBarCustomToolbar::SetFloatingWidth(int width)
{
    if (floatingWidth_ == width)
        return;
    floatingWidth_ = width;
    if (Floating()) {
        SetLimits(nullptr, true);
        Arrange();
    }
}

void TBarCustomToolbar::SetSystemFont(bool value)
{
    if (systemFont_ == value)
        return;
    systemFont_ = value;
    view_->InvalidatePositions();
    Arrange();
}

void TBarCustomToolbar::SetUpdateActions(bool value)
{
    updateActions_ = value;
    UpdateIdleRegistration();
}

void TBarCustomToolbar::SetChevronMoveItems(bool value)
{
    chevronMoveItems_ = value;
    view_->SetUsePriorityList(value);
}

void TBarCustomToolbar::SetShowHint(bool value)
{
    showHint_ = value;
    view_->SetShowHints(value);
}

void TBarCustomToolbar::SetChevronPriorityForNewItems(TBarChevronPriorityForNewItems value)
{
    chevronPriority_ = value;
    ApplyNewItemPriority();
}

void TBarCustomToolbar::ApplyNewItemPriority()
{
    view_->SetNewViewersGetHighestPriority(shownOnce_ && chevronPriority_ == TBarChevronPriorityForNewItems::tbcpHighest);
}

std::string TBarCustomToolbar::DefaultChevronHint()
{
    return LoadStr(sChevronHint);
}

void TBarCustomToolbar::SetChevronHint(const std::string& hint)
{
    chevron_->ApplyHint(hint);
}

void TBarCustomToolbar::UpdateIdleRegistration()
{
    auto* form = dynamic_cast<Form*>(FormOf(this));
    if (!form)
        return;
    form->UnregisterIdleHandler(this);
    if (updateActions_)
        form->RegisterIdleHandler(this, [this] { InitiateActions(*root_); });
    form->UnregisterDialogKeyHandler(this);
    if (!menuBar_)
        form->RegisterDialogKeyHandler(this, [this](QKeyEvent& event) { return DialogChar(event); });
}

// --- layout -----------------------------------------------------------------------------------

void TBarCustomToolbar::SetLimits(TBarDock* dock, bool floating)
{
    TBarViewOrientation orientation = TBarViewOrientation::voHorizontal;
    if (floating)
        orientation = TBarViewOrientation::voFloating;
    else if (dock && dock->Vertical())
        orientation = TBarViewOrientation::voVertical;
    const bool vertical = orientation == TBarViewOrientation::voVertical;
    const QPoint nc = GetDockedNCAreaSize();
    const int ncAlong = vertical ? nc.y() : nc.x();
    int chevron = 0;
    int wrap = 0;
    if (floating) {
        wrap = floatingWidth_;
    } else if (dock) {
        if (shrinkMode_ == TBarShrinkMode::tbsmChevron && ShrunkLength > 0)
            chevron = std::max(0, ShrunkLength - ncAlong);
        if (shrinkMode_ == TBarShrinkMode::tbsmWrap) {
            const int length = vertical ? dock->height() - dock->NonClientHeight() : dock->width() - dock->NonClientWidth();
            wrap = std::max(0, length - ncAlong);
        }
    } else if (!AutoResize() || AnchoredLeftAndRight()) {
        // On a plain parent that fixes its width the bar keeps to that width.
        const int own = ClientWidth();
        if (shrinkMode_ == TBarShrinkMode::tbsmChevron)
            chevron = own;
        else if (shrinkMode_ == TBarShrinkMode::tbsmWrap)
            wrap = own;
    }
    view_->SetOrientation(orientation);
    view_->SetChevronSize(kChevronSize);
    view_->SetChevronOffset(chevron);
    view_->SetWrapOffset(wrap);
}

QPoint TBarCustomToolbar::ArrangeControls(bool canMoveControls, TDockType /*oldDockType*/, bool floating,
                                          TBarDock* dock)
{
    ++arranging_;
    SetLimits(dock, floating);
    TSize total;
    if (canMoveControls) {
        total = view_->UpdatePositions();
        UpdateTabOrder();
    } else {
        TSize base;
        int rows = 0;
        view_->CalculatePositions(false, view_->Orientation(), view_->WrapOffset(), view_->ChevronOffset(),
                                  kChevronSize, base, total, rows);
        view_->InvalidatePositions();
    }
    --arranging_;
    QPoint size(total.cx, total.cy);
    if (FullSize() && view_->WrapOffset() > 0) {
        if (view_->Orientation() == TBarViewOrientation::voVertical)
            size.setY(std::max(size.y(), view_->WrapOffset()));
        else
            size.setX(std::max(size.x(), view_->WrapOffset()));
    }
    return size;
}

QPoint TBarCustomToolbar::GetBaseSize()
{
    TSize base;
    TSize total;
    int rows = 0;
    const bool vertical = CurrentDock() && CurrentDock()->Vertical();
    view_->CalculatePositions(false, vertical ? TBarViewOrientation::voVertical : TBarViewOrientation::voHorizontal,
                              0, 0, kChevronSize, base, total, rows);
    view_->InvalidatePositions();
    return QPoint(total.cx, total.cy);
}

void TBarCustomToolbar::GetMinShrinkSize(int& minimumSize)
{
    const bool vertical = CurrentDock() && CurrentDock()->Vertical();
    const QPoint nc = GetDockedNCAreaSize();
    for (int i = 0; i < view_->ViewerCount(); ++i) {
        TBarItemViewer* viewer = view_->Viewers(i);
        if (viewer->Show && !viewer->Item().HasStyle(istSeparator) && viewer->Item().Visible()) {
            const TRect& r = viewer->BoundsRect;
            minimumSize = (vertical ? r.Height() + nc.y() : r.Width() + nc.x()) + kChevronSize;
            return;
        }
    }
}

void TBarCustomToolbar::ViewSizeChanged(int width, int height)
{
    const QSize size(width, height);
    if (size == viewSize_)
        return;
    viewSize_ = size;
    if (arranging_ == 0 && AutoResize())
        Arrange();
}

void TBarCustomToolbar::resizeEvent(QResizeEvent* event)
{
    TBarCustomDockableWindow::resizeEvent(event);
    // A dock that gave the bar another thickness (a thicker bar joined its row) asks for another
    // centring of the items, a parent that made it narrower for another shrinking.
    if (event->size() == event->oldSize())
        return;
    // On a plain parent the room is the bar's own width, which its parent's layout may set.
    if (!CurrentDock() && !Floating())
        SetLimits(nullptr, false);
    view_->InvalidatePositions();
}

bool TBarCustomToolbar::IsPointOverControl(QPoint clientPoint) const
{
    const TBarItemViewer* viewer = view_->ViewerFromPoint(TPoint{clientPoint.x(), clientPoint.y()});
    return viewer && !viewer->Item().HasStyle(istPassClicks);
}

void TBarCustomToolbar::ReadPositionData(const PositionReadInt& readInt)
{
    if (readInt)
        SetFloatingWidth(readInt(objectName().toStdString(), kFloatRightX, 0));
}

void TBarCustomToolbar::WritePositionData(const PositionWriteInt& writeInt)
{
    if (writeInt)
        writeInt(objectName().toStdString(), kFloatRightX, floatingWidth_);
}

// --- control items ----------------------------------------------------------------------------

void TBarCustomToolbar::AddControlItem(QWidget* control)
{
    for (int i = 0; i < root_->Count(); ++i)
        if (auto* item = dynamic_cast<TBarControlItem*>(root_->Items(i)); item && item->Control() == control)
            return;
    auto* item = new TBarControlItem(root_.get());
    item->SetControl(control);
    root_->Add(item);
}

void TBarCustomToolbar::RemoveControlItems(QObject* control)
{
    for (int i = root_->Count() - 1; i >= 0; --i)
        if (auto* item = dynamic_cast<TBarControlItem*>(root_->Items(i));
            item && (item->Control() == control || !item->Control())) {
            item->KeepControl = true;
            delete item;
        }
}

void TBarCustomToolbar::UpdateTabOrder()
{
    QWidget* previous = nullptr;
    for (int i = 0; i < view_->ViewerCount(); ++i)
        if (auto* item = dynamic_cast<TBarControlItem*>(&view_->Viewers(i)->Item()))
            if (auto* control = qobject_cast<QWidget*>(item->Control())) {
                if (previous)
                    QWidget::setTabOrder(previous, control);
                previous = control;
            }
}

void TBarCustomToolbar::childEvent(QChildEvent* event)
{
    TBarCustomDockableWindow::childEvent(event);
    if (!root_)
        return;
    if (event->type() == QEvent::ChildAdded) {
        if (event->child()->isWidgetType() && !static_cast<QWidget*>(event->child())->isWindow())
            AddControlItem(static_cast<QWidget*>(event->child()));
    } else if (event->type() == QEvent::ChildRemoved) {
        RemoveControlItems(event->child());
    }
}

// --- the keyboard -----------------------------------------------------------------------------

bool TBarCustomToolbar::OpenByKeyboard(char32_t key, bool primaryOnly)
{
    TBarView& view = *view_;
    if (view.Tracking() || TBarModalHandler::Active())
        return false;
    view.ValidatePositions();
    view.ShowKeyboardCues(true);
    bool entered = false;
    if (key == 0) {
        if (TBarItemViewer* first = view.FirstSelectable()) {
            view.SetSelected(first, false);
            TBarModalHandler::EnterToolbarLoop(view, 0);
            entered = true;
        }
    } else {
        bool onlyOne = false;
        TBarItemViewer* found = view.FindAccelerator(key, nullptr, onlyOne, true);
        if (found && primaryOnly && GetAccelChar(found->GetCaptionText()) == 0)
            found = nullptr;
        if (found && found->Item().Enabled()) {
            if (onlyOne) {
                view.SetSelected(found, false);
                TBarModalHandler::EnterToolbarLoop(view, kLoopOpenAtOnce);
                entered = true;
            } else if (menuBar_) {
                view.SetSelected(found, false);
                TBarModalHandler::EnterToolbarLoop(view, 0);
                entered = true;
            }
        }
    }
    if (!entered || !view.Tracking())
        view.ShowKeyboardCues(false);
    return entered;
}

bool TBarCustomToolbar::KeyMenu(char32_t key)
{
    if (!menuBar_ || !isEnabled() || !isVisible() || QWidget::mouseGrabber() || key == U' ')
        return false;
    if (OpenByKeyboard(key, false))
        return true;
    if (key == U'-')
        return false;
    AppServices::Instance().Beep();
    return true;
}

bool TBarCustomToolbar::DialogChar(QKeyEvent& event)
{
    if (menuBar_ || !isEnabled() || !isVisible())
        return false;
    const std::u32string text = event.text().toStdU32String();
    if (text.size() != 1 || text[0] < 32)
        return false;
    return OpenByKeyboard(CharLowerOf(text[0]), true);
}

bool TBarCustomToolbar::TryShortCut(QKeyEvent& event)
{
    bool handled = false;
    if (OnShortCut)
        OnShortCut(event, handled);
    return handled || root_->IsShortCut(event);
}

void TBarCustomToolbar::SettingsChanged()
{
    ReloadMenuFont();
    view_->InvalidatePositions();
    Arrange();
}

// --- mouse, hints, painting -------------------------------------------------------------------

TBarItemViewer* TBarCustomToolbar::ViewerAtWindowPoint(QPoint windowPoint) const
{
    const QPoint p = WindowToClient(windowPoint);
    if (!ClientRect().contains(windowPoint))
        return nullptr;
    return view_->ViewerFromPoint(TPoint{p.x(), p.y()});
}

void TBarCustomToolbar::SetHotViewer(TBarItemViewer* viewer)
{
    if (view_->Tracking())
        return;
    view_->SetSelected(viewer, true);
    std::string hint;
    if (viewer && !(viewer->Item().EffectiveOptions() & tboLongHintInMenuOnly))
        hint = viewer->Item().Hint();
    hint_ = hint;
    const std::string_view longHint = LongHint(hint);
    AppServices::Instance().SetHint(std::string(longHint));
    setCursor(viewer ? viewer->GetCursor(0, 0) : Qt::ArrowCursor);
}

void TBarCustomToolbar::mousePressEvent(QMouseEvent* event)
{
    // A right press asks for a context menu, which may never reach the bar ("Was ist das?" takes
    // the request first): the button under it is no longer hot either way.
    if (event->button() == Qt::RightButton)
        SetHotViewer(nullptr);
    const QPoint p = event->position().toPoint();
    TBarItemViewer* viewer = event->button() == Qt::LeftButton ? ViewerAtWindowPoint(p) : nullptr;
    if (!viewer || viewer->Item().HasStyle(istPassClicks) || view_->Tracking()) {
        TBarCustomDockableWindow::mousePressEvent(event);
        return;
    }
    view_->SetSelected(viewer, true);
    TBarModalHandler::EnterToolbarLoop(*view_, kLoopMouse);
}

void TBarCustomToolbar::mouseMoveEvent(QMouseEvent* event)
{
    TBarCustomDockableWindow::mouseMoveEvent(event);
    SetHotViewer(ViewerAtWindowPoint(event->position().toPoint()));
}

void TBarCustomToolbar::leaveEvent(QEvent* event)
{
    TBarCustomDockableWindow::leaveEvent(event);
    SetHotViewer(nullptr);
}

void TBarCustomToolbar::contextMenuEvent(QContextMenuEvent* event)
{
    // The button under a right click is no longer hot: the context menu takes the pointer.
    SetHotViewer(nullptr);
    TBarCustomDockableWindow::contextMenuEvent(event);
}

void TBarCustomToolbar::changeEvent(QEvent* event)
{
    TBarCustomDockableWindow::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        if (!systemFont_)
            SettingsChanged();
        break;
    case QEvent::StyleChange:
        SettingsChanged();
        break;
    case QEvent::ParentChange:
        UpdateIdleRegistration();
        break;
    default: break;
    }
}

bool TBarCustomToolbar::event(QEvent* event)
{
    if (event->type() == QEvent::Show && !shownOnce_) {
        shownOnce_ = true;
        ApplyNewItemPriority();
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        TBarItemViewer* viewer = ViewerAtWindowPoint(help->pos());
        const std::string hint = viewer && view_->HintWanted(*viewer) ? viewer->GetHintText() : std::string();
        if (hint.empty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const TRect& r = viewer->BoundsRect;
        const QRect area = QRect(r.Left, r.Top, r.Width(), r.Height()).translated(ClientToWindow(QPoint(0, 0)));
        QToolTip::showText(help->globalPos(), QString::fromStdString(hint), this, area);
        return true;
    }
    return TBarCustomDockableWindow::event(event);
}

void TBarCustomToolbar::PaintClient(Canvas& canvas)
{
    TBarCustomDockableWindow::PaintClient(canvas);
    view_->ValidatePositions();
    view_->PaintViewers(canvas, TRect{0, 0, ClientWidth(), ClientHeight()});
}

}  // namespace velmoran
