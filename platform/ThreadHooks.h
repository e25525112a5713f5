// The shared window hooks of the toolbar framework: instead of every dockable window watching the
// application on its own, one application event filter per hook kind is installed while anyone
// needs it, reference-counted, and each event is handed to every registered procedure once.
//
// The hook kinds and what feeds their procedures:
//   htCallWndProc  hpSendActivate          WindowActivate / WindowDeactivate of a top-level widget
//                                           (Wnd = that widget, WParam = 1 active, 0 inactive)
//                  hpSendActivateApp       ApplicationStateChange (Wnd = nullptr, WParam = 1 when
//                                           the application became active, else 0)
//                  hpSendWindowPosChanged  Show, Hide and WindowStateChange of a top-level widget
//                                           (Wnd = that widget, LParam = SWP_SHOWWINDOW,
//                                           SWP_HIDEWINDOW or SWP_FRAMECHANGED); a move or resize
//                                           alone gives no callback: its one user acts on those
//                                           three alone, and a drag would call it at every step
//   htCBT          hpPreDestroy            a form's destructor, while its children are whole
//                                           (Wnd = the form)
//   htGetMessage   hpGetMessage            every event the filter sees (Wnd = nullptr, WParam =
//                                           the receiving QObject*, LParam = the QEvent*)
// Only the GUI thread uses hooks, so there is one set of lists. Nothing here waits or runs a loop.
#pragma once

#include <cstdint>

class QWidget;

namespace velmoran {

enum class THookProcType : std::uint8_t {
    hpSendActivate,
    hpSendActivateApp,
    hpSendWindowPosChanged,
    hpPreDestroy,
    hpGetMessage
};
// A set of THookProcType: bit n stands for the type of value n.
using THookProcTypes = std::uint8_t;
constexpr THookProcTypes HookProcTypes(THookProcType type)
{
    return static_cast<THookProcTypes>(1u << static_cast<unsigned>(type));
}
constexpr THookProcTypes operator|(THookProcType a, THookProcType b)
{
    return static_cast<THookProcTypes>(HookProcTypes(a) | HookProcTypes(b));
}
constexpr THookProcTypes operator|(THookProcTypes a, THookProcType b)
{
    return static_cast<THookProcTypes>(a | HookProcTypes(b));
}

enum class THookType : std::uint8_t { htCallWndProc, htCBT, htGetMessage };
constexpr int kHookTypeCount = 3;
using THookTypes = std::uint8_t;

// The window-position flags an hpSendWindowPosChanged callback carries in LParam.
constexpr std::intptr_t SWP_FRAMECHANGED = 0x20;
constexpr std::intptr_t SWP_SHOWWINDOW = 0x40;
constexpr std::intptr_t SWP_HIDEWINDOW = 0x80;

using THookProc = void (*)(THookProcType code, QWidget* wnd, std::uintptr_t wParam, std::intptr_t lParam);

// Registers proc for the given types on behalf of userData (which identifies the registrant).
// Registering the same pair again adds nothing and counts nothing twice.
void InstallHookProc(const void* userData, THookProc proc, THookProcTypes procTypes);
// Removes that registration; one that was never made does nothing.
void UninstallHookProc(const void* userData, THookProc proc);

// Told by a form's destructor while its children are still whole.
void NotifyPreDestroy(QWidget& window);

// For tests and diagnostics: whether the filter of a kind is installed, how many registrations
// hold it, and whether the bookkeeping exists at all (it is freed when it becomes empty).
bool IsHookInstalled(THookType type);
int HookCount(THookType type);
bool HookListsExist();

}  // namespace velmoran
