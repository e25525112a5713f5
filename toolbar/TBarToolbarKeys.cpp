// The keyboard's way into menus and toolbars: one application event filter turns Alt and
// Alt+letter into key-menu commands for the active form's menu bars (installed while a menu bar
// exists), and one filter runs the registered toolbars' shortcuts (installed while one is
// registered). Both see a key press before the focused widget does.
//
// Keys act only in their own window: a form's bars take them only while that form, or a window
// one of its bars floats in, is the active window and no other modal window is open; a key the
// focused control uses itself (an edit's copy, paste, undo, Home, End, Del) reaches the control.
#include "platform/AppServices.h"
#include "platform/Form.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarFloatingWindow.h"
#include "toolbar/TBarModalHandler.h"
#include "toolbar/TBarPopupWindow.h"
#include "toolbar/TBarToolbar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>

namespace velmoran {

namespace {

// A key event goes from the focused widget up through its parents, and an application filter
// sees every step; only the first one counts.
class FirstSight {
public:
    bool IsRepeat(QObject* watched, const QEvent* event)
    {
        if (event == event_ && receiver_ && watched != receiver_ && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isAncestorOf(receiver_))
            return true;
        event_ = event;
        receiver_ = watched->isWidgetType() ? static_cast<QWidget*>(watched) : nullptr;
        return false;
    }

private:
    const QEvent* event_ = nullptr;
    QPointer<QWidget> receiver_;
};

// The form a widget belongs to; a bar floating in its own window belongs to the form it floats
// for.
QWidget* OwnerFormOf(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    if (const auto* floating = dynamic_cast<const TBarFloatingWindowParent*>(widget->window()))
        return FormOf(floating->ParentForm());
    return FormOf(widget);
}

// The form whose bars may take a key: that of the active window; while none is active (or a menu
// window is), that of the widget the key went to. None while a modal window other than that form
// is open, so that no key reaches a window below a dialog.
QWidget* ActiveForm(QObject* receiver)
{
    QWidget* active = QApplication::activeWindow();
    if ((!active || dynamic_cast<TBarPopupWindow*>(active)) && receiver->isWidgetType())
        active = static_cast<QWidget*>(receiver);
    QWidget* form = OwnerFormOf(active);
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != form ? nullptr : form;
}

// Whether the control the key went to uses the key itself: asked as Qt asks before its own
// shortcuts, it accepts the override.
bool ControlWantsKey(QObject* receiver, const QKeyEvent& key)
{
    QKeyEvent probe(QEvent::ShortcutOverride, key.key(), key.modifiers(), key.nativeScanCode(),
                    key.nativeVirtualKey(), key.nativeModifiers(), key.text(), key.isAutoRepeat(),
                    static_cast<quint16>(key.count()));
    probe.ignore();
    QCoreApplication::sendEvent(receiver, &probe);
    return probe.isAccepted();
}

// --- shortcuts ----------------------------------------------------------------------------------

std::vector<TBarCustomToolbar*>& ShortCutList()
{
    static std::vector<TBarCustomToolbar*> list;
    return list;
}

bool TryForm(QWidget* form, QKeyEvent& event)
{
    if (!form || !form->isEnabled())
        return false;
    const std::vector<TBarCustomToolbar*> list = ShortCutList();
    for (TBarCustomToolbar* toolbar : list) {
        if (std::find(ShortCutList().begin(), ShortCutList().end(), toolbar) == ShortCutList().end())
            continue;
        if (!toolbar->ProcessShortCuts() || OwnerFormOf(toolbar) != form)
            continue;
        if (toolbar->TryShortCut(event))
            return true;
    }
    return false;
}

class ShortCutFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType() || first_.IsRepeat(watched, event))
            return false;
        if (TBarModalHandler::Active())
            return false;
        auto& key = static_cast<QKeyEvent&>(*event);
        QWidget* form = ActiveForm(watched);
        if (!form || ControlWantsKey(watched, key))
            return false;
        return TryForm(form, key);
    }

private:
    FirstSight first_;
};

std::unique_ptr<ShortCutFilter>& ShortCutFilterRef()
{
    static std::unique_ptr<ShortCutFilter> filter;
    return filter;
}

// --- Alt and Alt+letter -------------------------------------------------------------------------

std::vector<TBarCustomToolbar*>& MenuBarList()
{
    static std::vector<TBarCustomToolbar*> list;
    return list;
}

void ShowMenuBarCues(QWidget* form, bool show)
{
    for (TBarCustomToolbar* bar : MenuBarList())
        if (OwnerFormOf(bar) == form && !bar->View().Tracking())
            bar->View().ShowKeyboardCues(show);
}

bool OfferTo(QWidget& widget, char32_t key)
{
    for (QObject* child : widget.children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow() || !w->isVisible())
            continue;
        if (auto* bar = dynamic_cast<TBarCustomDockableWindow*>(w)) {
            if (bar->isEnabled() && bar->HasMenuEvents() && bar->KeyMenu(key))
                return true;
            continue;
        }
        if (auto* dock = dynamic_cast<TBarDock*>(w)) {
            if (dock->isEnabled() && dock->RelayKeyMenu(key))
                return true;
        }
        if (OfferTo(*w, key))
            return true;
    }
    return false;
}

class KeyMenuFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        // A key a shortcut takes (a dialog's Alt+O) never arrives as a key press, so its Alt is
        // not alone: the override that every key press sends first says so.
        if (type == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() != Qt::Key_Alt)
            altAlone_ = false;
        if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType())
            return false;
        if (first_.IsRepeat(watched, event) || TBarModalHandler::Active())
            return false;
        auto& key = static_cast<QKeyEvent&>(*event);
        QWidget* form = ActiveForm(watched);
        if (!form)
            return false;
        if (type == QEvent::KeyPress) {
            if (key.key() == Qt::Key_Alt) {
                altAlone_ = !key.isAutoRepeat() ? true : altAlone_;
                ShowMenuBarCues(form, true);
                return false;
            }
            altAlone_ = false;
            if (key.modifiers() != Qt::AltModifier)
                return false;
            const char32_t ch = CharacterOf(key);
            if (ch == 0 || ch == U' ' || ch == U'-') {
                ShowMenuBarCues(form, false);
                return false;
            }
            const bool taken = OfferKeyMenu(*form, ch);
            if (!TBarModalHandler::Active())
                ShowMenuBarCues(form, false);
            return taken;
        }
        if (key.key() != Qt::Key_Alt || key.isAutoRepeat())
            return false;
        const bool alone = altAlone_;
        altAlone_ = false;
        if (alone && OfferKeyMenu(*form, 0))
            return true;
        ShowMenuBarCues(form, false);
        return false;
    }

private:
    static char32_t CharacterOf(const QKeyEvent& key)
    {
        const std::u32string text = key.text().toStdU32String();
        if (text.size() == 1 && text[0] >= 32)
            return CharLowerOf(text[0]);
        const int code = key.key();
        if (code >= 32 && code < 0x110000 && code != Qt::Key_unknown)
            return CharLowerOf(static_cast<char32_t>(code));
        return 0;
    }

    FirstSight first_;
    bool altAlone_ = false;
};

std::unique_ptr<KeyMenuFilter>& KeyMenuFilterRef()
{
    static std::unique_ptr<KeyMenuFilter> filter;
    return filter;
}

}  // namespace

void RegisterShortCutToolbar(TBarCustomToolbar* toolbar, bool registered)
{
    auto& list = ShortCutList();
    std::erase(list, toolbar);
    if (registered)
        list.insert(list.begin(), toolbar);
    auto& filter = ShortCutFilterRef();
    if (!list.empty() && !filter) {
        filter = std::make_unique<ShortCutFilter>();
        qApp->installEventFilter(filter.get());
    } else if (list.empty() && filter) {
        qApp->removeEventFilter(filter.get());
        filter.reset();
    }
}

void RegisterMenuBar(TBarCustomToolbar* toolbar, bool registered)
{
    auto& list = MenuBarList();
    std::erase(list, toolbar);
    if (registered)
        list.push_back(toolbar);
    auto& filter = KeyMenuFilterRef();
    if (!list.empty() && !filter) {
        filter = std::make_unique<KeyMenuFilter>();
        qApp->installEventFilter(filter.get());
    } else if (list.empty() && filter) {
        qApp->removeEventFilter(filter.get());
        filter.reset();
    }
}

bool IsToolbarShortCutFilterInstalled()
{
    return ShortCutFilterRef() != nullptr;
}

const std::vector<TBarCustomToolbar*>& ShortCutToolbars()
{
    return ShortCutList();
}

bool OfferKeyMenu(QWidget& form, char32_t key)
{
    if (!form.isEnabled() || !form.isVisible())
        return false;
    return OfferTo(form, key);
}

}  // namespace velmoran
