// The shared hooks: one record per procedure, one filter per kind held while any registration
// needs it, each procedure called once per event, and only the events that a hook kind stands for.
#include "platform/ThreadHooks.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QtGui/qevent.h>
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

using namespace velmoran;

namespace {

std::vector<std::string> calls;

void Record(THookProcType code, QWidget* wnd, std::uintptr_t wParam, std::intptr_t lParam)
{
    std::string text = std::to_string(static_cast<int>(code)) + ":" + (wnd ? wnd->objectName().toStdString() : "-");
    if (code == THookProcType::hpSendActivate || code == THookProcType::hpSendActivateApp)
        text += ":" + std::to_string(wParam);
    if (code == THookProcType::hpSendWindowPosChanged)
        text += ":" + std::to_string(lParam);
    calls.push_back(text);
}

void Other(THookProcType, QWidget*, std::uintptr_t, std::intptr_t) {}

const THookProcTypes kSendTypes = THookProcType::hpSendActivate | THookProcType::hpSendActivateApp
                                  | THookProcType::hpSendWindowPosChanged;

class ThreadHooks : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    void TearDown() override { EXPECT_FALSE(HookListsExist()) << "a test left a registration behind"; }
    int a = 0;
    int b = 0;
};

}  // namespace

TEST_F(ThreadHooks, TwoUsersShareOneRecordAndTheFilterStaysUntilBothHaveGone)
{
    InstallHookProc(&a, Record, kSendTypes);
    InstallHookProc(&b, Record, kSendTypes);
    EXPECT_EQ(HookCount(THookType::htCallWndProc), 2);
    QWidget window;
    window.setObjectName("w");
    window.show();
    // One procedure with two users is still called once per event.
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "2:w:64"), 1);

    UninstallHookProc(&a, Record);
    EXPECT_TRUE(IsHookInstalled(THookType::htCallWndProc));
    UninstallHookProc(&b, Record);
    EXPECT_FALSE(IsHookInstalled(THookType::htCallWndProc));
    calls.clear();
    window.hide();
    EXPECT_TRUE(calls.empty());
}

TEST_F(ThreadHooks, ThePairRegisteredTwiceCountsOnceAndUnknownRemovalsDoNothing)
{
    InstallHookProc(&a, Record, kSendTypes);
    InstallHookProc(&a, Record, kSendTypes);
    EXPECT_EQ(HookCount(THookType::htCallWndProc), 1);
    UninstallHookProc(&b, Record);
    UninstallHookProc(&a, Other);
    EXPECT_EQ(HookCount(THookType::htCallWndProc), 1);
    UninstallHookProc(&a, Record);
    EXPECT_EQ(HookCount(THookType::htCallWndProc), 0);
    UninstallHookProc(&a, Record);
}

TEST_F(ThreadHooks, EachKindIsInstalledOnlyForTheTypesThatNeedIt)
{
    InstallHookProc(&a, Record, HookProcTypes(THookProcType::hpSendActivate));
    EXPECT_TRUE(IsHookInstalled(THookType::htCallWndProc));
    EXPECT_FALSE(IsHookInstalled(THookType::htCBT));
    EXPECT_FALSE(IsHookInstalled(THookType::htGetMessage));

    InstallHookProc(&b, Other, THookProcType::hpPreDestroy | THookProcType::hpGetMessage);
    EXPECT_TRUE(IsHookInstalled(THookType::htCBT));
    EXPECT_TRUE(IsHookInstalled(THookType::htGetMessage));
    UninstallHookProc(&b, Other);
    EXPECT_FALSE(IsHookInstalled(THookType::htCBT));
    EXPECT_FALSE(IsHookInstalled(THookType::htGetMessage));
    EXPECT_TRUE(IsHookInstalled(THookType::htCallWndProc));

    UninstallHookProc(&a, Record);
    // Nothing of the bookkeeping remains (checked in TearDown too).
    EXPECT_FALSE(HookListsExist());
}

TEST_F(ThreadHooks, ShowHideStateAndActivationCallBackButAResizeAloneDoesNot)
{
    InstallHookProc(&a, Record, kSendTypes);
    QWidget window;
    window.setObjectName("w");
    window.show();
    // The platform activates the shown window and the application on its own time.
    QCoreApplication::processEvents();
    calls.clear();

    window.resize(window.width() + 30, window.height() + 10);
    window.move(window.pos() + QPoint(5, 5));
    QCoreApplication::processEvents();
    EXPECT_TRUE(calls.empty()) << ::testing::PrintToString(calls);

    // Each step on its own: the platform may add activations of its own to a show.
    const auto after = [](auto step) {
        calls.clear();
        step();
        return calls;
    };
    const auto has = [](const std::vector<std::string>& list, const std::string& call) {
        return std::find(list.begin(), list.end(), call) != list.end();
    };
    EXPECT_TRUE(has(after([&] { window.hide(); }), "2:w:128"));
    EXPECT_TRUE(has(after([&] { window.show(); }), "2:w:64"));
    QWindowStateChangeEvent stateChange(Qt::WindowNoState);
    EXPECT_EQ(after([&] { QCoreApplication::sendEvent(&window, &stateChange); }), std::vector<std::string>{"2:w:32"});
    QEvent activate(QEvent::WindowActivate);
    EXPECT_EQ(after([&] { QCoreApplication::sendEvent(&window, &activate); }), std::vector<std::string>{"0:w:1"});
    QEvent deactivate(QEvent::WindowDeactivate);
    EXPECT_EQ(after([&] { QCoreApplication::sendEvent(&window, &deactivate); }), std::vector<std::string>{"0:w:0"});
    QApplicationStateChangeEvent appInactive(Qt::ApplicationInactive);
    EXPECT_EQ(after([&] { QCoreApplication::sendEvent(QCoreApplication::instance(), &appInactive); }),
              std::vector<std::string>{"1:-:0"});

    // A child widget is no window: its showing is not reported.
    calls.clear();
    QWidget child(&window);
    child.setObjectName("c");
    child.hide();
    child.show();
    EXPECT_TRUE(calls.empty());
    UninstallHookProc(&a, Record);
}

TEST_F(ThreadHooks, PreDestroyAndGetMessageReachOnlyTheirProcedures)
{
    InstallHookProc(&a, Record, THookProcType::hpPreDestroy | THookProcType::hpGetMessage);
    InstallHookProc(&b, Other, kSendTypes);
    QWidget window;
    window.setObjectName("w");
    NotifyPreDestroy(window);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "3:w"), 1);
    calls.clear();
    QEvent user(QEvent::User);
    QCoreApplication::sendEvent(&window, &user);
    EXPECT_EQ(calls, std::vector<std::string>{"4:-"});
    UninstallHookProc(&a, Record);
    UninstallHookProc(&b, Other);
}
