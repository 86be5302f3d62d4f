#include "StandardErrorTerminal.h"

#include <windows.h>

bool StandardErrorIsTerminal()
{
    // Only a console handle has a console mode; files and pipes fail the call.
    DWORD mode = 0;
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}
