// The shared hooks on application event filters; see ThreadHooks.h.
#include "platform/ThreadHooks.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QtGui/qevent.h>
#include <QWidget>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace velmoran {

namespace {

struct THookUserData {
    const void* UserData = nullptr;
    THookTypes InstalledHookTypes = 0;
};

struct THookProcData {
    THookProc Proc = nullptr;
    THookProcTypes ProcTypes = 0;
    // The registrations, the newest first.
    std::vector<THookUserData> Users;
};

// The filter of one hook kind, installed on the application object.
class HookFilter : public QObject {
public:
    explicit HookFilter(THookType type) : type_(type) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    THookType type_;
};

struct THookInfo {
    std::array<std::unique_ptr<HookFilter>, kHookTypeCount> Handles;
    std::array<int, kHookTypeCount> Counts{};
};

std::unique_ptr<THookInfo> hookInfo;
std::unique_ptr<std::vector<THookProcData>> hookProcList;

constexpr THookTypes Bit(THookType type)
{
    return static_cast<THookTypes>(1u << static_cast<unsigned>(type));
}

THookTypes HookTypesFor(THookProcTypes procTypes)
{
    THookTypes types = 0;
    const auto has = [procTypes](THookProcType t) { return (procTypes & HookProcTypes(t)) != 0; };
    if (has(THookProcType::hpSendActivate) || has(THookProcType::hpSendActivateApp)
        || has(THookProcType::hpSendWindowPosChanged))
        types |= Bit(THookType::htCallWndProc);
    if (has(THookProcType::hpPreDestroy))
        types |= Bit(THookType::htCBT);
    if (has(THookProcType::hpGetMessage))
        types |= Bit(THookType::htGetMessage);
    return types;
}

// Calls every procedure registered for the type once, in list order. The procedures are taken
// first, so that one that unregisters itself (or another) does not upset the walk.
void Dispatch(THookProcType code, QWidget* wnd, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!hookProcList)
        return;
    std::vector<THookProc> procs;
    for (const THookProcData& data : *hookProcList)
        if (data.ProcTypes & HookProcTypes(code))
            procs.push_back(data.Proc);
    for (THookProc proc : procs)
        proc(code, wnd, wParam, lParam);
}

QWidget* TopLevelWidget(QObject* object)
{
    if (!object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    return widget->isWindow() ? widget : nullptr;
}

void DispatchSent(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ApplicationStateChange:
        if (watched == QCoreApplication::instance()) {
            const bool active = static_cast<QApplicationStateChangeEvent*>(event)->applicationState() == Qt::ApplicationActive;
            Dispatch(THookProcType::hpSendActivateApp, nullptr, active ? 1 : 0, 0);
        }
        return;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (QWidget* window = TopLevelWidget(watched))
            Dispatch(THookProcType::hpSendActivate, window, event->type() == QEvent::WindowActivate ? 1 : 0, 0);
        return;
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
        if (QWidget* window = TopLevelWidget(watched)) {
            const std::intptr_t flags = event->type() == QEvent::Show   ? SWP_SHOWWINDOW
                                        : event->type() == QEvent::Hide ? SWP_HIDEWINDOW
                                                                        : SWP_FRAMECHANGED;
            Dispatch(THookProcType::hpSendWindowPosChanged, window, 0, flags);
        }
        return;
    default:
        return;
    }
}

bool HookFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (type_ == THookType::htCallWndProc)
        DispatchSent(watched, event);
    else if (type_ == THookType::htGetMessage)
        Dispatch(THookProcType::hpGetMessage, nullptr, reinterpret_cast<std::uintptr_t>(watched),
                 reinterpret_cast<std::intptr_t>(event));
    return false;
}

void InstallHooks(THookTypes types, THookTypes& installed)
{
    if (!hookInfo)
        hookInfo = std::make_unique<THookInfo>();
    for (int i = 0; i < kHookTypeCount; ++i) {
        const THookTypes bit = Bit(static_cast<THookType>(i));
        if ((types & bit) && !(installed & bit)) {
            ++hookInfo->Counts[i];
            installed |= bit;
        }
    }
    // The pre-destroy kind has nothing to watch: the forms tell it directly. A kind that could not
    // be installed (no application object yet) is tried again by the next registration.
    QCoreApplication* app = QCoreApplication::instance();
    for (int i = 0; i < kHookTypeCount; ++i) {
        if (!(installed & Bit(static_cast<THookType>(i))) || hookInfo->Handles[i] || !app)
            continue;
        hookInfo->Handles[i] = std::make_unique<HookFilter>(static_cast<THookType>(i));
        if (static_cast<THookType>(i) != THookType::htCBT)
            app->installEventFilter(hookInfo->Handles[i].get());
    }
}

void UninstallHooks(THookTypes types, bool force)
{
    if (!hookInfo)
        return;
    for (int i = 0; i < kHookTypeCount; ++i) {
        if (!(types & Bit(static_cast<THookType>(i))))
            continue;
        if (!force)
            --hookInfo->Counts[i];
        if ((force || hookInfo->Counts[i] == 0) && hookInfo->Handles[i]) {
            if (QCoreApplication* app = QCoreApplication::instance())
                app->removeEventFilter(hookInfo->Handles[i].get());
            hookInfo->Handles[i].reset();
        }
    }
    const bool idle = std::all_of(hookInfo->Counts.begin(), hookInfo->Counts.end(), [](int c) { return c == 0; })
                      && std::none_of(hookInfo->Handles.begin(), hookInfo->Handles.end(), [](const auto& h) { return h != nullptr; });
    if (idle)
        hookInfo.reset();
}

// Removes any filter still installed when the program ends.
struct Finalization {
    ~Finalization() { UninstallHooks(Bit(THookType::htCallWndProc) | Bit(THookType::htCBT) | Bit(THookType::htGetMessage), true); }
} finalization;

}  // namespace

void InstallHookProc(const void* userData, THookProc proc, THookProcTypes procTypes)
{
    if (!hookProcList)
        hookProcList = std::make_unique<std::vector<THookProcData>>();
    auto data = std::find_if(hookProcList->begin(), hookProcList->end(), [proc](const THookProcData& d) { return d.Proc == proc; });
    if (data == hookProcList->end()) {
        hookProcList->push_back({proc, procTypes, {}});
        data = hookProcList->end() - 1;
    }
    auto user = std::find_if(data->Users.begin(), data->Users.end(), [userData](const THookUserData& u) { return u.UserData == userData; });
    if (user == data->Users.end())
        user = data->Users.insert(data->Users.begin(), THookUserData{userData, 0});
    InstallHooks(HookTypesFor(procTypes), user->InstalledHookTypes);
}

void UninstallHookProc(const void* userData, THookProc proc)
{
    if (!hookProcList)
        return;
    auto data = std::find_if(hookProcList->begin(), hookProcList->end(), [proc](const THookProcData& d) { return d.Proc == proc; });
    if (data != hookProcList->end()) {
        auto user = std::find_if(data->Users.begin(), data->Users.end(), [userData](const THookUserData& u) { return u.UserData == userData; });
        if (user == data->Users.end())
            return;
        const THookTypes installed = user->InstalledHookTypes;
        data->Users.erase(user);
        if (data->Users.empty())
            hookProcList->erase(data);
        UninstallHooks(installed, false);
    }
    if (hookProcList->empty())
        hookProcList.reset();
}

void NotifyPreDestroy(QWidget& window)
{
    if (hookInfo && hookInfo->Handles[static_cast<int>(THookType::htCBT)])
        Dispatch(THookProcType::hpPreDestroy, &window, 0, 0);
}

bool IsHookInstalled(THookType type)
{
    return hookInfo && hookInfo->Handles[static_cast<int>(type)] != nullptr;
}

int HookCount(THookType type)
{
    return hookInfo ? hookInfo->Counts[static_cast<int>(type)] : 0;
}

bool HookListsExist()
{
    return hookInfo || hookProcList;
}

}  // namespace velmoran
