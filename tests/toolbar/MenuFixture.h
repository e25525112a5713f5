// A shown form with a menu bar ("&Datei" with "&Neu" Ctrl+N, "&Öffnen...", a separator,
// "&Speichern" Ctrl+S and the submenu "&Vorlagen"; "&Bearbeiten"; "&Ansicht") and a push button
// below it, for the menu-mode tests: keys and clicks are sent as the platform would, the menu
// delay is 20 ms, beeps are counted and every click is recorded with whether the mode still ran.
#pragma once

#include "platform/AppServices.h"
#include "platform/Form.h"
#include "platform/SystemParams.h"
#include "tests/toolbar/FakeBar.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarDock.h"
#include "toolbar/TBarModalHandler.h"
#include "toolbar/TBarPopupWindow.h"
#include "toolbar/TBarToolbar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace velmoran::testing {

class MenuFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        SystemParamsOverride() = {};
        SystemParamsOverride().MenuShowDelay = 20;
        SystemParamsOverride().MenuAnimation = false;
        SystemParamsOverride().KeyboardCues = false;
        AppServices::Instance().BeepHook = [this] { ++beeps; };
        form = ShownForm(600, 300);
        dock = new TBarDock(form.get(), TBarDockPosition::dpTop);
        bar = new TBarToolbar(dock);
        bar->setObjectName("Menü");
        bar->SetMenuBar(true);
        file = Submenu(bar->Items(), "&Datei");
        neu = Item(*file, "&Neu", scCtrl | 'N');
        open = Item(*file, "&Öffnen...");
        file->Add(new TBarSeparatorItem(file));
        save = Item(*file, "&Speichern", scCtrl | 'S');
        templates = Submenu(*file, "&Vorlagen");
        screen = Item(*templates, "&Bildschirm");
        edit = Submenu(bar->Items(), "&Bearbeiten");
        copy = Item(*edit, "&Kopieren");
        view = Submenu(bar->Items(), "&Ansicht");
        Item(*view, "&Leiste");
        button = new QPushButton("Knopf", form.get());
        button->setGeometry(200, 150, 100, 30);
        button->show();
        QObject::connect(button, &QPushButton::clicked, [this] { ++buttonClicks; });
        QApplication::setActiveWindow(form.get());
        Settle();
    }

    void TearDown() override
    {
        if (TBarModalHandler* handler = TBarModalHandler::Active())
            handler->Finish(true);
        form.reset();
        Settle();
        AppServices::Instance().BeepHook = {};
        SystemParamsOverride() = {};
    }

    TBarSubmenuItem* Submenu(TBarCustomItem& parent, const std::string& caption)
    {
        auto* item = new TBarSubmenuItem(&parent);
        item->SetCaption(caption);
        parent.Add(item);
        return item;
    }

    TBarItem* Item(TBarCustomItem& parent, const std::string& caption, TShortCut shortCut = 0)
    {
        auto* item = new TBarItem(&parent);
        item->SetCaption(caption);
        item->SetShortCut(shortCut);
        item->OnClick = [this](TBarCustomItem& sender) {
            clicks.push_back(StripAccelChars(sender.Caption()));
            clickedInMode.push_back(TBarModalHandler::Active() != nullptr);
        };
        parent.Add(item);
        return item;
    }

    static void Settle()
    {
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
    }
    // Runs the event loop for at least the time (the menu timers need it).
    static void RunFor(int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    QWidget* KeyTarget() const
    {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus : form.get();
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
    {
        QTest::keyClick(KeyTarget(), static_cast<Qt::Key>(key), modifiers);
        (void)text;
        Settle();
    }
    // Alt+letter as a keyboard sends it: Alt down, the letter with Alt, both up.
    bool AltKey(char letter)
    {
        QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QApplication::sendEvent(KeyTarget(), &altDown);
        const int qtKey = letter == '-' ? Qt::Key_Minus : Qt::Key_A + (letter - 'a');
        QKeyEvent down(QEvent::KeyPress, qtKey, Qt::AltModifier, QString(QChar(letter)));
        QApplication::sendEvent(KeyTarget(), &down);
        const bool taken = down.isAccepted() && TBarModalHandler::Active() != nullptr;
        QKeyEvent up(QEvent::KeyRelease, qtKey, Qt::AltModifier, QString(QChar(letter)));
        QApplication::sendEvent(KeyTarget(), &up);
        QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QApplication::sendEvent(KeyTarget(), &altUp);
        Settle();
        return taken;
    }

    // The centre of an item's viewer in a view, in global coordinates.
    static QPoint GlobalCentre(TBarView& view, TBarCustomItem* item)
    {
        TBarItemViewer* viewer = view.FindViewer(item);
        const TRect& r = viewer->BoundsRect;
        const QPoint centre((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        QWidget* window = view.Window();
        if (dynamic_cast<TBarPopupWindow*>(window))
            return window->mapToGlobal(centre + QPoint(TBarPopupWindow::kFrame, TBarPopupWindow::kFrame));
        return window->mapToGlobal(static_cast<NonClientWidget*>(window)->ClientToWindow(centre));
    }
    // A mouse event sent to the widget under the global point as the window system would.
    static void Mouse(QEvent::Type type, QWidget* receiver, QPoint global, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPointF local = receiver->mapFromGlobal(QPointF(global));
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, local, local, QPointF(global), type == QEvent::MouseMove ? Qt::NoButton : button,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(receiver, &event);
    }
    static void Click(QWidget* receiver, QPoint global)
    {
        Mouse(QEvent::MouseButtonPress, receiver, global);
        Mouse(QEvent::MouseButtonRelease, Routed(receiver), global);
        Settle();
    }
    // Where the window system sends mouse input: the widget holding the mouse, else the given one.
    static QWidget* Routed(QWidget* receiver)
    {
        QWidget* grabber = QWidget::mouseGrabber();
        return grabber ? grabber : receiver;
    }
    // A click where the window system sends it: to the widget holding the mouse, else the one
    // under the point.
    void ClickAt(QPoint global)
    {
        Mouse(QEvent::MouseButtonPress, Routed(WidgetAt(global)), global);
        Mouse(QEvent::MouseButtonRelease, Routed(WidgetAt(global)), global);
        Settle();
    }
    QWidget* WidgetAt(QPoint global) const
    {
        QWidget* child = form->childAt(form->mapFromGlobal(global));
        return child ? child : form.get();
    }

    TBarView& BarView() { return bar->View(); }
    // The open popup of a view, else nullptr.
    static TBarView* Child(TBarView& view) { return view.OpenViewerView(); }
    static std::string SelectedCaption(TBarView* view)
    {
        return view && view->Selected() ? StripAccelChars(view->Selected()->Item().Caption()) : std::string();
    }
    // Nothing of the mode is left behind.
    void ExpectModeGone()
    {
        EXPECT_EQ(TBarModalHandler::Active(), nullptr);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(BarView().Tracking());
        EXPECT_EQ(Child(BarView()), nullptr);
        EXPECT_EQ(BarView().Selected(), nullptr);
    }

    std::unique_ptr<Form> form;
    TBarDock* dock = nullptr;
    TBarToolbar* bar = nullptr;
    TBarSubmenuItem* file = nullptr;
    TBarItem* neu = nullptr;
    TBarItem* open = nullptr;
    TBarItem* save = nullptr;
    TBarSubmenuItem* templates = nullptr;
    TBarItem* screen = nullptr;
    TBarSubmenuItem* edit = nullptr;
    TBarItem* copy = nullptr;
    TBarSubmenuItem* view = nullptr;
    QPushButton* button = nullptr;
    int buttonClicks = 0;
    int beeps = 0;
    std::vector<std::string> clicks;
    std::vector<bool> clickedInMode;
};

}  // namespace velmoran::testing
