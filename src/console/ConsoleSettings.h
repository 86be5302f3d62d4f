#pragma once

#include <QString>

class SettingsStore;

// The console's two settings in the per-user store (application "REMOTE").
struct ConsoleSettings {
    int recvTimeoutMs = 5000; // limit of every receive wait
    int attachTries = 5;      // ESC attempts of one attach
};

// Reads both settings, repairs what is unusable (missing, not a number, beyond 16 bits, below 1: the
// default) and writes the values in use back, so the store always ends up holding usable entries.
ConsoleSettings loadConsoleSettings(SettingsStore &store);

// A stored setting text as a 16-bit signed value: surrounding blanks are ignored, a fraction is rounded
// to the nearest whole number, and anything that is not a number or does not fit counts as 0.
qint16 storedInt16(const QString &text);
