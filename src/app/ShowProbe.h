#pragma once

class QWidget;

// For start-up measurements: when the environment variable PELMORA2_EXIT_AFTER_SHOW is set, the
// program prints one line "PELMORA2_SHOWN vmhwm_kb=<peak resident memory in kB>" to stdout once the
// window has been painted for the first time, and ends at once with status 0 (the close handling does
// not run, so nothing is saved). Returns whether the probe is armed.
bool ExitAfterFirstShowIfAsked(QWidget &window);

// For tests of the whole program: when the environment variable PELMORA2_CLICK_AFTER_SHOW names a button
// of the window, that button is clicked once the window has been painted for the first time, as the
// user would.
void ClickAfterFirstShowIfAsked(QWidget &window);
