#include "TerminationSignals.h"

// Windows ends a program through window messages (a log-off closes the window, which saves the slot
// table), and the Job object of a running host command ends that command with the program.
struct TerminationSignals::Hooks {
};

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals() = default;
