#pragma once

#include <QString>

// The simulator's stdout: state lines (listening, READY, moved, address) always, event lines
// unless quiet. Every line is flushed at once so that a reader waiting on a pipe sees it.
class EventLog
{
public:
    explicit EventLog(bool quiet) : m_quiet(quiet) {}

    void state(const QString &line);
    void event(const QString &line);

private:
    bool m_quiet;
};

// A port as the program's port fields show it: upper-case hexadecimal.
QString hexPort(quint16 port);
