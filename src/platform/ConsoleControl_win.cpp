#include "ConsoleControl.h"

#include <windows.h>

#include <atomic>

namespace
{

std::atomic<ConsoleControlCallback> g_callback{nullptr};
std::atomic<void *> g_context{nullptr};
// Set when the program is done with its ending work; a Close event's routine waits for it.
HANDLE g_released = nullptr;

constexpr DWORD kCloseGraceMs = 10000;

BOOL WINAPI handlerRoutine(DWORD event)
{
    return ConsoleControlRoutine(event) ? TRUE : FALSE;
}

} // namespace

int ConsoleControlRoutine(unsigned long event)
{
    const ConsoleControlCallback callback = g_callback.load();
    if (callback == nullptr)
        return 0;
    switch (event) {
    case CTRL_C_EVENT:
        callback(g_context.load(), ConsoleControlEvent::Interrupt);
        return 1;
    case CTRL_BREAK_EVENT:
        callback(g_context.load(), ConsoleControlEvent::Break);
        return 1;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends when this returns: give the program the time to write its report first.
        callback(g_context.load(), ConsoleControlEvent::Close);
        WaitForSingleObject(g_released, kCloseGraceMs);
        return 1;
    default:
        return 0;
    }
}

bool InstallConsoleControl(ConsoleControlCallback callback, void *context)
{
    g_released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_context = context;
    g_callback = callback;
    return g_released != nullptr && SetConsoleCtrlHandler(handlerRoutine, TRUE) != 0;
}

void RemoveConsoleControl()
{
    SetConsoleCtrlHandler(handlerRoutine, FALSE);
    g_callback = nullptr;
    if (g_released != nullptr)
        SetEvent(g_released);
}
