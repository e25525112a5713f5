// The "What's this?" mode; see WhatsThis.h.
#include "help/WhatsThis.h"

#include "help/HelpContextMap.h"
#include "platform/Action.h"
#include "platform/AppServices.h"
#include "platform/HelpEngine.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"
#include "toolbar/TBarItem.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QVariant>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace velmoran {

namespace {

// The live instances, the most recently installed last; the installed one is the active one.
std::vector<TWhatsThis*>& LiveInstances()
{
    static std::vector<TWhatsThis*> instances;
    return instances;
}

TWhatsThis*& ActiveOne()
{
    static TWhatsThis* active = nullptr;
    return active;
}

int IntProperty(const QObject* object, const char* name)
{
    const QVariant value = object->property(name);
    return value.isValid() ? value.toInt() : 0;
}

// A label's focus control: its buddy, else a `focusControl` property naming a widget.
QWidget* FocusControlOf(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control); label && label->buddy())
        return label->buddy();
    return qobject_cast<QWidget*>(control->property("focusControl").value<QObject*>());
}

// The composite a widget belongs to: a combo's line edit, a spin box's edit, a scroll area's
// viewport or a focus proxy count as their owner.
QWidget* Composite(QWidget* widget)
{
    while (widget) {
        QWidget* parent = widget->parentWidget();
        if (!parent || widget->isWindow())
            return widget;
        auto* area = qobject_cast<QAbstractScrollArea*>(parent);
        const bool inner = parent->focusProxy() == widget || (area && area->viewport() == widget) ||
                           qobject_cast<QComboBox*>(parent) || qobject_cast<QAbstractSpinBox*>(parent);
        if (!inner)
            return widget;
        widget = parent;
    }
    return widget;
}

}  // namespace

TWhatsThis::TWhatsThis(QObject* owner) : TehsBase(owner), menu_(std::make_unique<QMenu>())
{
    menuAction_ = menu_->addAction(QString::fromStdString(popupCaption_));
    QObject::connect(menuAction_, &QAction::triggered, this, [this] { PopupItemClick(); });
    QObject::connect(menu_.get(), &QMenu::aboutToShow, this, [this] {
        if (!tracking_)
            return;
        inMenuLoop_ = true;
        highlighted_ = nullptr;
        if (mode_ == mdPopupRequested)
            mode_ = mdIdle;
    });
    QObject::connect(menu_.get(), &QMenu::aboutToHide, this, [this] {
        if (tracking_)
            inMenuLoop_ = false;
    });
    QObject::connect(menu_.get(), &QMenu::hovered, this, [this](QAction* action) {
        if (tracking_)
            highlighted_ = action;
    });
    LiveInstances().push_back(this);
}

TWhatsThis::~TWhatsThis()
{
    const bool wasActive = ActiveOne() == this;
    if (installed_)
        Uninstall();
    auto& live = LiveInstances();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    if (wasActive) {
        ActiveOne() = nullptr;
        // The nearest live instance below takes over.
        if (!live.empty()) {
            ActiveOne() = live.back();
            if (live.back()->active_ && live.back()->loaded_)
                live.back()->Install();
        }
    }
}

TWhatsThis* TWhatsThis::ActiveInstance() { return ActiveOne(); }

void TWhatsThis::Loaded()
{
    TehsBase::Loaded();
    loaded_ = true;
    // A context map placed on the same owner serves when none was chosen.
    AdoptInsertedMap();
    // Later ones are told as they join (their children's notice comes while they are being made,
    // so the look waits for a posted message).
    if (Owner())
        Owner()->installEventFilter(this);
    if (active_ && !installed_)
        Install();
}

void TWhatsThis::AdoptInsertedMap()
{
    if (map_ || !Owner())
        return;
    for (QObject* child : Owner()->children())
        if (auto* map = dynamic_cast<THelpContextMap*>(child)) {
            map_ = map;
            return;
        }
}

void TWhatsThis::SetActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    if (!loaded_)
        return;
    if (active)
        Install();
    else if (installed_)
        Uninstall();
}

void TWhatsThis::SetPopupCaption(const std::string& caption)
{
    popupCaption_ = caption;
    menuAction_->setText(QString::fromStdString(caption));
}

// ---------------------------------------------------------------------------------------------
// Installing

void TWhatsThis::Install()
{
    if (installed_)
        return;
    TWhatsThis* other = ActiveOne();
    if (other && other != this && other->installed_)
        other->Uninstall();
    auto& live = LiveInstances();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    live.push_back(this);
    mode_ = mdIdle;
    ActiveOne() = this;
    qApp->installEventFilter(this);
    installed_ = true;
    LinkItems();
}

void TWhatsThis::Uninstall()
{
    SetTracking(false);
    if (mode_ == mdContext)
        LeaveContextMode();
    else if (mode_ == mdCaptionHelp)
        LeaveCaptionHelp();
    held_ = {};
    UnlinkItems();
    qApp->removeEventFilter(this);
    installed_ = false;
}

// A linked item enters context mode, also when the mode is on already: a second click on the
// button keeps it, so that the click after it still asks for help.
void TWhatsThis::LinkItems()
{
    if (menuItem_) {
        savedItemClick_ = menuItem_->OnClick;
        menuItem_->OnClick = [this](TBarCustomItem&) { EnterContextMode(); };
    }
    if (button_)
        buttonConnection_ = QObject::connect(button_, &QAbstractButton::clicked, this, [this] { EnterContextMode(); });
    if (action_) {
        savedActionExecute_ = action_->OnExecute;
        action_->OnExecute = [this](Action&) { EnterContextMode(); };
    }
}

void TWhatsThis::UnlinkItems()
{
    if (menuItem_)
        menuItem_->OnClick = savedItemClick_;
    QObject::disconnect(buttonConnection_);
    if (action_)
        action_->OnExecute = savedActionExecute_;
    savedItemClick_ = nullptr;
    savedActionExecute_ = nullptr;
}

void TWhatsThis::CheckChangeable() const
{
    if (installed_)
        throw Exception("TWhatsThis must be deactivated to change this property");
}

void TWhatsThis::SetWTMenuItem(TBarCustomItem* item)
{
    CheckChangeable();
    if (menuItem_)
        menuItem_->SetShortCut(scNone);
    menuItem_ = item;
    if (item)
        item->SetShortCut(ShortCutOf(KeyCodeOfQtKey(Qt::Key_F1), Qt::ShiftModifier));
    action_ = nullptr;
}

void TWhatsThis::SetWTToolbarButton(QAbstractButton* button)
{
    CheckChangeable();
    button_ = button;
    action_ = nullptr;
}

void TWhatsThis::SetWTAction(Action* action)
{
    CheckChangeable();
    action_ = action;
    if (action)
        action->SetChecked(false);
    menuItem_ = nullptr;
    button_ = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Context mode

void TWhatsThis::CheckInstalled() const
{
    if (!installed_)
        throw Exception(objectName().toStdString() + " is currently not active.");
}

void TWhatsThis::ShowLinkedDown(bool down)
{
    if (button_) {
        if (button_->isCheckable())
            button_->setChecked(down);
        else
            button_->setDown(down);
    }
    if (action_)
        action_->SetChecked(down);
    if (menuItem_)
        menuItem_->SetChecked(down);
}

void TWhatsThis::EnterContextMode()
{
    CheckInstalled();
    mode_ = mdContext;
    SetContextCursor(Qt::WhatsThisCursor);
    ShowLinkedDown(true);
    if (OnEnterContextMode)
        OnEnterContextMode(*this);
}

void TWhatsThis::LeaveContextMode()
{
    CheckInstalled();
    mode_ = mdIdle;
    RestoreCursor();
    ShowLinkedDown(false);
    if (OnLeaveContextMode)
        OnLeaveContextMode(*this);
}

// The window manager's help loop shows the help cursor until the click; so do we.
void TWhatsThis::EnterCaptionHelp()
{
    if (mode_ == mdContext)
        LeaveContextMode();
    SetTracking(true);
    mode_ = mdCaptionHelp;
    SetContextCursor(Qt::WhatsThisCursor);
}

void TWhatsThis::LeaveCaptionHelp()
{
    mode_ = mdIdle;
    RestoreCursor();
}

// ---------------------------------------------------------------------------------------------
// Input

void TWhatsThis::SetTracking(bool on)
{
    tracking_ = on;
    if (!on)
        inMenuLoop_ = false;
}

// An input event travels from its widget up the parents, through this filter each time (a mouse
// event as a copy): it counts once. A new event may look alike, but it does not go to a parent of
// the widget that saw the last one.
bool TWhatsThis::FirstSight(QWidget* watched, QEvent* event)
{
    InputMemo memo;
    memo.Type = event->type();
    const auto* input = static_cast<QInputEvent*>(event);
    memo.Timestamp = input->timestamp();
    if (const auto* mouse = dynamic_cast<QMouseEvent*>(event)) {
        memo.Code = mouse->button();
        memo.Global = mouse->globalPosition().toPoint();
    } else if (const auto* key = dynamic_cast<QKeyEvent*>(event)) {
        memo.Code = key->key();
        memo.Global = QPoint(static_cast<int>(key->modifiers()), key->isAutoRepeat());
    }
    const bool travelling = memo == memo_ && memoWidget_ && watched != memoWidget_ && watched->isAncestorOf(memoWidget_);
    memo_ = memo;
    memoWidget_ = watched;
    return !travelling;
}

bool TWhatsThis::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ChildAdded && watched == Owner() && !map_) {
        PostMessage(kComponentInserted);
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        break;
    case QEvent::ContextMenu:
        return widget && HoldContextMenu(*widget, *static_cast<QContextMenuEvent*>(event));
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        ActivationChanged();
        return false;
    case QEvent::EnterWhatsThisMode:
        // The help button of a window's caption; Qt's own "What's this?" mode does not start.
        if (watched != qApp)
            return false;
        EnterCaptionHelp();
        return true;
    default:
        return false;
    }
    // In context mode and after the caption's help button a click is taken from the window before
    // Qt gives the clicked control the focus.
    const bool helpClick = mode_ == mdContext || mode_ == mdCaptionHelp;
    if (!widget && watched->isWindowType() && helpClick && event->type() == QEvent::MouseButtonPress) {
        auto& mouse = *static_cast<QMouseEvent*>(event);
        return mouse.button() == Qt::LeftButton && MousePress(nullptr, mouse);
    }
    if (!widget || !FirstSight(widget, event))
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return KeyPress(*static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
        return KeyRelease(*static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
        return MousePress(widget, *static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        return MouseRelease(*static_cast<QMouseEvent*>(event));
    default:  // a move
        return mode_ == mdContext && ContextMove(*static_cast<QMouseEvent*>(event));
    }
}

// A move in context mode: over the application's windows the help cursor, and the controls do
// not see the move (outside a menu); elsewhere the arrow.
bool TWhatsThis::ContextMove(QMouseEvent& event)
{
    const bool ours = QApplication::widgetAt(event.globalPosition().toPoint()) != nullptr;
    SetContextCursor(ours ? Qt::WhatsThisCursor : Qt::ArrowCursor);
    return ours && !inMenuLoop_;
}

void TWhatsThis::SetContextCursor(Qt::CursorShape shape)
{
    if (!cursorSet_) {
        QApplication::setOverrideCursor(shape);
        cursorSet_ = true;
    } else if (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() != shape) {
        QApplication::changeOverrideCursor(shape);
    }
}

void TWhatsThis::RestoreCursor()
{
    if (cursorSet_) {
        QApplication::restoreOverrideCursor();
        cursorSet_ = false;
    }
}

// Another window became active (or none is) while our menu was asked for: the request goes, as
// the menu would open over a window that is no longer the active one. The click that asked may
// itself activate its window; that keeps the request.
void TWhatsThis::ActivationChanged()
{
    if (mode_ != mdPopupRequested)
        return;
    const auto* control = qobject_cast<QWidget*>(stored_.data());
    if (!control || QApplication::activeWindow() != control->window())
        mode_ = mdIdle;
}

bool TWhatsThis::AppKeyIsOurs() const
{
    return Options.Has(wtUseAppKey) && !inMenuLoop_ && QApplication::activeWindow();
}

// Our menu stands in for a control's own one. A right press asks for ours before the control's
// menu event comes; the window system sends the Applications key's menu event before the key
// itself, whose release asks for ours. Either way the control's event waits for the answer.
bool TWhatsThis::HoldContextMenu(QWidget& target, const QContextMenuEvent& event)
{
    if (handingOn_)
        return false;
    if (menu_->isVisible())
        return true;
    const bool appKey = event.reason() == QContextMenuEvent::Keyboard && AppKeyIsOurs();
    if (mode_ != mdPopupRequested && !appKey)
        return false;
    held_ = HeldMenu{&target, event.reason(), event.pos(), event.globalPos(), event.modifiers()};
    return true;
}

void TWhatsThis::AnswerHeldMenu(bool ourMenuShown)
{
    const HeldMenu held = held_;
    held_ = {};
    if (ourMenuShown || !held.Target)
        return;
    QContextMenuEvent event(static_cast<QContextMenuEvent::Reason>(held.Reason), held.Pos, held.Global, held.Modifiers);
    handingOn_ = true;
    const ScopeExit done([this] { handingOn_ = false; });
    QApplication::sendEvent(held.Target, &event);
}

bool TWhatsThis::KeyRelease(QKeyEvent& event)
{
    if (event.key() == Qt::Key_Shift)
        shiftDown_ = false;
    if (event.key() != Qt::Key_Menu)
        return false;
    QWidget* focus = QApplication::focusWidget();
    if (!AppKeyIsOurs() || !focus) {
        // Nobody asks for our menu: the control's own opens, if it held one back.
        AnswerHeldMenu(false);
        return false;
    }
    stored_ = Composite(focus);
    const QPoint centre = focus->mapToGlobal(focus->rect().center());
    mode_ = mdPopupRequested;
    SetTracking(true);
    PostMessage(kShowForItem, centre.x(), centre.y());
    return false;
}

bool TWhatsThis::KeyPress(QKeyEvent& event)
{
    if (event.isAutoRepeat())
        return event.key() == Qt::Key_F1;
    if (mode_ == mdContext)
        LeaveContextMode();
    // The window manager's help loop ends at a key as well.
    if (mode_ == mdCaptionHelp)
        LeaveCaptionHelp();
    if (event.key() == Qt::Key_Shift) {
        shiftDown_ = true;
        return false;
    }
    // The Applications key asks for our menu on its release; the control's own menu waits.
    if (event.key() == Qt::Key_Menu)
        return Options.Has(wtUseAppKey) && !inMenuLoop_;
    if (event.key() != Qt::Key_F1)
        return false;
    mode_ = mdIdle;
    if (!QApplication::activeWindow() && F1Action == TF1Action::goContext)
        return false;
    QWidget* focus = QApplication::focusWidget();
    stored_ = focus ? Composite(focus) : nullptr;
    const bool shift = shiftDown_ || event.modifiers().testFlag(Qt::ShiftModifier);
    bool callHelp = true;
    if (!shift && OnF1KeyDown)
        OnF1KeyDown(*this, callHelp);
    if (callHelp) {
        if (shift) {
            EnterContextMode();
        } else if (inMenuLoop_ || F1Action == TF1Action::goContext) {
            // The control's top-left corner, or the mouse in a menu.
            const auto* control = qobject_cast<QWidget*>(stored_.data());
            const QPoint at = !inMenuLoop_ && control ? control->mapToGlobal(QPoint(0, 0)) : QCursor::pos();
            HelpForItem(at.x(), at.y());
        } else {
            AppServices::Instance().HelpCommand(F1Action == TF1Action::goDefault ? HELP_CONTENTS : HELP_TAB, 0);
        }
    }
    if (!inMenuLoop_)
        PostMessage(kStopTracking);
    return true;
}

QWidget* TWhatsThis::ControlAt(QWidget* watched, QPoint global) const
{
    QWidget* under = QApplication::widgetAt(global);
    if (!under && watched) {
        QWidget* window = watched->window();
        under = window->childAt(window->mapFromGlobal(global));
        if (!under && window->rect().contains(window->mapFromGlobal(global)))
            under = window;
    }
    return under ? Composite(under) : nullptr;
}

// A control names the action it runs by its `action` property.
bool TWhatsThis::UsesWTAction(QWidget* control) const
{
    return action_ && control && control->property("action").value<QObject*>() == action_.data();
}

bool TWhatsThis::MousePress(QWidget* watched, QMouseEvent& event)
{
    const QPoint global = event.globalPosition().toPoint();
    if (event.button() == Qt::LeftButton) {
        if (inMenuLoop_)
            return false;
        if (mode_ == mdIdle) {
            SetTracking(true);
            return false;
        }
        if (mode_ == mdCaptionHelp)
            return CaptionHelpPress(watched, global);
        if (mode_ != mdContext)
            return false;
        QWidget* control = ControlAt(watched, global);
        stored_ = control;
        if (button_ && control == button_.data() && (!action_ || UsesWTAction(control)))
            return false;
        if (control)
            PostMessage(kHelpForItem, global.x(), global.y());
        LeaveContextMode();
        return true;
    }
    if (event.button() != Qt::RightButton || (mode_ != mdIdle && mode_ != mdContext))
        return false;
    if (inMenuLoop_) {
        if ((Options.Has(wtMenuRightClick) || mode_ == mdContext) && highlighted_) {
            if (mode_ == mdContext)
                LeaveContextMode();
            PostMessage(kHelpForItem, global.x(), global.y());
            mode_ = mdIdle;
            swallowRelease_ = true;
            return true;
        }
        return false;
    }
    QWidget* control = ControlAt(watched, global);
    // A control that takes the right button itself (the preview's pages zoom out and drag with
    // it) opens no menu: the menu would take the mouse from it.
    if (!control || control->contextMenuPolicy() == Qt::PreventContextMenu)
        return false;
    if (mode_ == mdContext) {
        if (!(button_ && control == button_.data()) && !UsesWTAction(control))
            return false;
        LeaveContextMode();
    }
    stored_ = control;
    mode_ = mdPopupRequested;
    SetTracking(true);
    PostMessage(kShowForItem, global.x(), global.y());
    return false;
}

// The press after the caption's help button: help for the control under it, which does not see
// the press. The mode waits for no menu tracking: it is switched on with the mode here, and
// nothing ends it before the press.
bool TWhatsThis::CaptionHelpPress(QWidget* watched, QPoint global)
{
    QWidget* control = ControlAt(watched, global);
    stored_ = control;
    if (control) {
        PostMessage(kHelpForItem, global.x(), global.y());
        PostMessage(kStopTracking);
    }
    LeaveCaptionHelp();
    return true;
}

bool TWhatsThis::MouseRelease(QMouseEvent& event)
{
    if (event.button() == Qt::RightButton && swallowRelease_) {
        swallowRelease_ = false;
        return true;
    }
    // A click on a menu's command in context mode asks for the command's help, not for what the
    // command would do, and ends the mode.
    if (event.button() == Qt::LeftButton && inMenuLoop_ && mode_ == mdContext && highlighted_) {
        const QPoint global = event.globalPosition().toPoint();
        LeaveContextMode();
        PostMessage(kHelpForItem, global.x(), global.y());
        return true;
    }
    if (event.button() == Qt::LeftButton && !inMenuLoop_ && (mode_ == mdIdle || mode_ == mdContext))
        SetTracking(false);
    return false;
}

// ---------------------------------------------------------------------------------------------
// Posted messages

void TWhatsThis::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case kShowForItem:
        ShowForItem(static_cast<int>(message.WParam), static_cast<int>(message.LParam));
        break;
    case kHelpForItem:
        HelpForItem(static_cast<int>(message.WParam), static_cast<int>(message.LParam));
        break;
    case kStopTracking:
        SetTracking(false);
        break;
    case kComponentInserted:
        AdoptInsertedMap();
        break;
    default:
        TehsBase::WndProc(message);
    }
}

// A right press or the Applications key asked for our menu (or help at once) on the stored item;
// the control's own menu opens when neither comes.
void TWhatsThis::ShowForItem(int x, int y)
{
    if (mode_ != mdPopupRequested) {
        held_ = {};
        return;
    }
    const bool taken = AnswerForItem(x, y).Taken;
    mode_ = mdIdle;
    if (!inMenuLoop_)
        SetTracking(false);
    AnswerHeldMenu(taken);
}

// ---------------------------------------------------------------------------------------------
// Finding the context and asking for help

std::string TWhatsThis::MapKey(const QObject* item) const
{
    if (!map_ || map_->FileName().empty() || !item)
        return {};
    const std::string ext = std::filesystem::path(map_->FileName()).extension().string();
    std::string separator;
    if (SameText(ext, ".hpj"))
        separator = ".";
    else if (SameText(ext, ".hhp"))
        separator = "_";
    else
        return {};
    const std::string name = item->objectName().toStdString();
    const auto* widget = qobject_cast<const QWidget*>(item);
    if (!widget || widget->isWindow())
        return name;
    return widget->window()->objectName().toStdString() + separator + name;
}

int TWhatsThis::MapLookup(const QObject* item) const
{
    const std::string key = MapKey(item);
    return key.empty() ? 0 : map_->Lookup(key);
}

int TWhatsThis::ControlContext(QWidget* control) const
{
    for (QWidget* widget = control; widget; widget = widget->parentWidget()) {
        if (widget->isWindow() && !Options.Has(wtInheritFormContext))
            continue;
        int context = IntProperty(widget, "helpContext");
        if (context == 0)
            context = MapLookup(widget);
        if (context == 0) {
            if (QWidget* focus = FocusControlOf(widget)) {
                context = IntProperty(focus, "helpContext");
                if (context == 0)
                    context = MapLookup(focus);
            }
        }
        if (context == 0 && Options.Has(wtUseTag))
            context = IntProperty(widget, "tag");
        if (context != 0)
            return context;
    }
    return 0;
}

// The items of a menu this component tracks: the one item of its own menu, whose context is
// PopupHelpContext, else the map's entry for the item's name.
int TWhatsThis::MenuItemContext(QObject* item) const
{
    if (item == menuAction_ && popupHelpContext_ != 0)
        return popupHelpContext_;
    return MapLookup(item);
}

bool TWhatsThis::HelpForItem(int x, int y)
{
    return AnswerForItem(x, y).Found;
}

TWhatsThis::ItemAnswer TWhatsThis::AnswerForItem(int x, int y)
{
    QObject* item = nullptr;
    bool isMenu = false;
    int context = 0;
    if (inMenuLoop_ && highlighted_) {
        item = highlighted_;
        isMenu = true;
        menu_->close();
        context = MenuItemContext(item);
    } else {
        auto* control = qobject_cast<QWidget*>(stored_.data());
        if (!control)
            return {};
        if (mode_ == mdPopupRequested && !Options.Has(wtPopupOnForm) && control->isWindow())
            return {};
        item = control;
        context = ControlContext(control);
    }
    if (OnGetContext)
        OnGetContext(*this, item, isMenu, context, x, y);
    const bool menuWanted = mode_ == mdPopupRequested && !Options.Has(wtDirectHelp);
    ItemAnswer answer;
    answer.Found = context != 0;
    if (!answer.Found)
        answer.Found = menuWanted ? Options.Has(wtNoContextMenu) : Options.Has(wtNoContextHelp);
    if (answer.Found) {
        if (menuWanted) {
            bool doPopup = true;
            if (OnPopup)
                OnPopup(*this, item, context, x, y, doPopup);
            if (doPopup) {
                popupItem_ = item;
                popupContext_ = context;
                popupPoint_ = QPoint(x, y);
                menu_->popup(QPoint(x, y));
            }
            answer.Taken = doPopup;
        } else {
            AskHelp(item, isMenu, context, x, y);
            answer.Taken = true;
        }
    }
    stored_ = nullptr;
    return answer;
}

void TWhatsThis::AskHelp(QObject* item, bool isMenu, int context, int x, int y)
{
    bool callHelp = true;
    if (OnHelp)
        OnHelp(*this, item, isMenu, context, x, y, callHelp);
    if (!callHelp)
        return;
    auto& services = AppServices::Instance();
    if (context >= 0) {
        if (x != 0 && y != 0)
            services.HelpCommand(HELP_SETPOPUP_POS, PackHelpPoint(QPoint(x, y)));
        services.HelpCommand(HELP_CONTEXTPOPUP, context);
    } else {
        services.HelpCommand(HELP_CONTEXT, -static_cast<std::int64_t>(context));
    }
}

void TWhatsThis::PopupItemClick()
{
    // Chosen while in context mode: the mode and its cursor end with it.
    if (mode_ == mdContext)
        LeaveContextMode();
    mode_ = mdIdle;
    AskHelp(popupItem_, false, popupContext_, popupPoint_.x(), popupPoint_.y());
}

}  // namespace velmoran
