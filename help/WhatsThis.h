// The "What's this?" mode: context help for every control without code in the forms. F1 shows the
// help pop-up of the focused control, Shift+F1 (or a linked menu item, toolbar button or action)
// enters a context mode in which the next click asks for help on the clicked control, and a right
// click (or the Applications key) opens a small "What's this?" menu over a control. The help
// context of a control comes from its `helpContext` property (a label's buddy's, or that of the
// widget its `focusControl` property names), its `tag`, its parents, a context map and the
// OnGetContext event; a control whose `action` property is WTAction counts as the linked button.
// The help is asked for through the application's help entry, which the help router serves.
//
// Input is watched by one application event filter, installed while the instance is. Only one
// instance is installed at a time: the live instances form a stack, and when the installed one
// goes the nearest live one below takes over. A filter installed later (a toolbar's menu mode)
// sees input before this one.
//
// In context mode the cursor is the help cursor over the application's windows and the arrow
// elsewhere. A context map placed on the same owner, before Loaded or after it, serves when none
// was chosen.
//
// A window that asks for the "?" button of its caption (Qt::WindowContextHelpButtonHint) tells
// the window manager so (_NET_WM_CONTEXT_HELP); when the user presses that button, Qt hands the
// application QEvent::EnterWhatsThisMode. That starts mode 2: the next left press asks for help on
// the control under it, and the control does not see the press.
//
// A right click or the Applications key asks for our menu; the control's own context menu waits
// until that request is answered, and opens only when our menu does not (no context, OnPopup).
#pragma once

#include "help/HelpBase.h"
#include "help/HelpContextMap.h"
#include "html/viewer/OptionSet.h"
#include "platform/Action.h"
#include "toolbar/TBarItem.h"

#include <QAbstractButton>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QContextMenuEvent;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QWidget;

namespace velmoran {

enum class TF1Action { goContext, goDefault, goTOC };

enum TWhatsThisOption : unsigned {
    wtDirectHelp,
    wtMenuRightClick,
    wtNoContextHelp,
    wtNoContextMenu,
    wtPopupOnForm,
    wtInheritFormContext,
    wtUseTag,
    wtUseAppKey,
};
using TWhatsThisOptions = TOptionSet<TWhatsThisOption>;

class TWhatsThis;
using TWTNotifyEvent = std::function<void(TWhatsThis& sender)>;
using TWTHelpContextEvent =
    std::function<void(TWhatsThis& sender, QObject* helpItem, bool isMenu, int& context, int x, int y)>;
using TWTHelpEvent =
    std::function<void(TWhatsThis& sender, QObject* helpItem, bool isMenu, int context, int x, int y, bool& callHelp)>;
using TWTPopupEvent =
    std::function<void(TWhatsThis& sender, QObject* helpItem, int context, int x, int y, bool& doPopup)>;
using TF1KeyDownEvent = std::function<void(TWhatsThis& sender, bool& callHelp)>;

class TWhatsThis : public TehsBase {
public:
    // The modes of the mode machine.
    enum Mode { mdIdle = 0, mdPopupRequested = 1, mdCaptionHelp = 2, mdContext = 3 };
    // The private messages.
    static constexpr unsigned kShowForItem = 1124;
    static constexpr unsigned kHelpForItem = 1125;
    static constexpr unsigned kStopTracking = 1126;
    // A child joined the owner: a context map among the children serves when none was chosen.
    static constexpr unsigned kComponentInserted = 1127;

    explicit TWhatsThis(QObject* owner = nullptr);
    ~TWhatsThis() override;

    // Installs when Active.
    void Loaded() override;

    static TWhatsThis* ActiveInstance();
    bool Installed() const { return installed_; }
    int CurrentMode() const { return mode_; }

    bool Active() const { return active_; }
    void SetActive(bool active);
    THelpContextMap* HelpContextMap() const { return map_; }
    void SetHelpContextMap(THelpContextMap* map) { map_ = map; }
    TF1Action F1Action = TF1Action::goContext;
    TWhatsThisOptions Options{wtMenuRightClick, wtNoContextHelp, wtNoContextMenu, wtInheritFormContext};
    const std::string& PopupCaption() const { return popupCaption_; }
    void SetPopupCaption(const std::string& caption);
    int PopupHelpContext() const { return popupHelpContext_; }
    void SetPopupHelpContext(int context) { popupHelpContext_ = context; }

    // The linked items that enter context mode; each raises while installed.
    TBarCustomItem* WTMenuItem() const { return menuItem_; }
    void SetWTMenuItem(TBarCustomItem* item);
    QAbstractButton* WTToolbarButton() const { return button_; }
    void SetWTToolbarButton(QAbstractButton* button);
    Action* WTAction() const { return action_; }
    void SetWTAction(Action* action);

    TWTNotifyEvent OnEnterContextMode;
    TWTNotifyEvent OnLeaveContextMode;
    TWTHelpContextEvent OnGetContext;
    TWTHelpEvent OnHelp;
    TWTPopupEvent OnPopup;
    TF1KeyDownEvent OnF1KeyDown;

    // Both raise "<name> is currently not active." when not installed.
    void EnterContextMode();
    void LeaveContextMode();
    bool InContextMode() const { return mode_ == mdContext; }

    // The help context of a control as the search finds it (without OnGetContext).
    int ControlContext(QWidget* control) const;
    // The map key of an object: "Form.Name" for a ".hpj" project, "Form_Name" for ".hhp".
    std::string MapKey(const QObject* item) const;
    // The "What's this?" menu.
    QMenu* PopupMenu() const { return menu_.get(); }
    bool InMenuLoop() const { return inMenuLoop_; }

    // Help for an item at a point: menu help for the highlighted item in a menu loop, else the
    // stored control's; returns whether a context was found.
    bool HelpForItem(int x, int y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void WndProc(TMessage& message) override;

private:
    void Install();
    void Uninstall();
    void LinkItems();
    void UnlinkItems();
    void ShowLinkedDown(bool down);
    void CheckInstalled() const;
    void CheckChangeable() const;
    void SetTracking(bool on);
    void TrackMenu();

    bool KeyPress(QKeyEvent& event);
    bool KeyRelease(QKeyEvent& event);
    bool MousePress(QWidget* watched, QMouseEvent& event);
    bool CaptionHelpPress(QWidget* watched, QPoint global);
    bool MouseRelease(QMouseEvent& event);
    bool ContextMove(QMouseEvent& event);
    void SetContextCursor(Qt::CursorShape shape);
    void RestoreCursor();
    // The help button of a window's caption was pressed: help for the next left press.
    void EnterCaptionHelp();
    void LeaveCaptionHelp();
    // The Applications key asks for our menu.
    bool AppKeyIsOurs() const;
    // The active window changed: a waiting request for our menu ends.
    void ActivationChanged();
    // A control's own context menu event: kept back while our menu is asked for.
    bool HoldContextMenu(QWidget& target, const QContextMenuEvent& event);
    // The answer to the request: the control's menu opens when ours did not, else it is dropped.
    void AnswerHeldMenu(bool ourMenuShown);
    void ShowForItem(int x, int y);
    // A context map that joined the owner after Loaded.
    void AdoptInsertedMap();
    bool FirstSight(QWidget* watched, QEvent* event);
    QWidget* ControlAt(QWidget* watched, QPoint global) const;
    bool UsesWTAction(QWidget* control) const;

    // What help for an item came to: whether a context was found, and whether our menu opened or
    // help was asked for (the request was taken).
    struct ItemAnswer {
        bool Found = false;
        bool Taken = false;
    };
    ItemAnswer AnswerForItem(int x, int y);
    int MenuItemContext(QObject* item) const;
    int MapLookup(const QObject* item) const;
    void AskHelp(QObject* item, bool isMenu, int context, int x, int y);
    void PopupItemClick();

    bool active_ = true;
    bool loaded_ = false;
    bool installed_ = false;
    int mode_ = mdIdle;
    bool shiftDown_ = false;
    bool tracking_ = false;
    bool inMenuLoop_ = false;
    bool cursorSet_ = false;
    // A right press that asked for help in a menu: its release must not choose the item.
    bool swallowRelease_ = false;
    QPointer<QObject> stored_;
    QPointer<QAction> highlighted_;
    QPointer<QObject> popupItem_;
    int popupContext_ = 0;
    QPoint popupPoint_;
    std::unique_ptr<QMenu> menu_;
    QAction* menuAction_ = nullptr;
    std::string popupCaption_ = "What's this?";
    int popupHelpContext_ = 0;
    QPointer<THelpContextMap> map_;
    QPointer<TBarCustomItem> menuItem_;
    QPointer<QAbstractButton> button_;
    QPointer<Action> action_;
    std::function<void(TBarCustomItem&)> savedItemClick_;
    std::function<void(Action&)> savedActionExecute_;
    QMetaObject::Connection buttonConnection_;
    // The last input event seen, so that one that travels up the parents is handled once.
    struct InputMemo {
        int Type = 0;
        unsigned long long Timestamp = 0;
        int Code = 0;
        QPoint Global;
        bool operator==(const InputMemo&) const = default;
    } memo_;
    QPointer<QWidget> memoWidget_;
    // A control's context menu event kept back, and whether one is being handed on.
    struct HeldMenu {
        QPointer<QWidget> Target;
        int Reason = 0;
        QPoint Pos;
        QPoint Global;
        Qt::KeyboardModifiers Modifiers;
    };
    HeldMenu held_;
    bool handingOn_ = false;
};

}  // namespace velmoran
