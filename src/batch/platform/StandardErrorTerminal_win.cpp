#include "StandardErrorTerminal.h"

#include <windows.h>

bool StandardErrorIsTerminal()
{
    // Only a console handle has a console mode; files and pipes fail the call.
    DWORD mode = 0;
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

int StandardErrorColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(handle, &info))
        return 0;
    return int(info.srWindow.Right - info.srWindow.Left + 1);
}
