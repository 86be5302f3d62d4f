#pragma once

class QWidget;

// For start-up measurements: when the environment variable PELMORA2_EXIT_AFTER_SHOW is set, the
// program prints one line "PELMORA2_SHOWN vmhwm_kb=<peak resident memory in kB>" to stdout once the
// window has been painted for the first time, and ends at once with status 0 (the close handling does
// not run, so nothing is saved). Returns whether the probe is armed.
bool ExitAfterFirstShowIfAsked(QWidget &window);

// For tests of the whole program: once the window has been painted for the first time, carries out the
// steps that the environment variable PELMORA2_CLICK_AFTER_SHOW lists, separated by ';', one after the
// other as the user would: "name" clicks the button or chooses the menu item of that name,
// "name=text" puts the text into the entry field of that name.
void ClickAfterFirstShowIfAsked(QWidget &window);
