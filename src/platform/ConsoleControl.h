#pragma once

// The console's requests to end a program (Windows: Ctrl+C, Ctrl+Break, closing the console window,
// log-off, shutdown), turned into one callback. The system calls its handler routine on a thread of its
// own, so the callback must only hand the event on to the program's thread.
enum class ConsoleControlEvent { Interrupt, Break, Close };
using ConsoleControlCallback = void (*)(void *context, ConsoleControlEvent event);

// Installs the handler routine; false when the system refuses it. One callback at a time.
bool InstallConsoleControl(ConsoleControlCallback callback, void *context);

// Removes the routine. A Close event ends the process as soon as the routine returns, so after one the
// routine holds on until this is called (the program has written what it must) or ten seconds pass.
void RemoveConsoleControl();

// The routine the system calls, with a Win32 control event code; returns whether it handled the event.
// Tests call it from another thread, as the system does, where no real event can be delivered.
int ConsoleControlRoutine(unsigned long event);
