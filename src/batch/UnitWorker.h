#pragma once

#include "BatchPlan.h"
#include "BatchReport.h"
#include "ConsoleSettings.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QThread>
#include <atomic>

class AssignGate;
class CommandRunner;
class HostQuestions;
class RemoteConsole;

// The report text of a step that did not start because the run was interrupted.
QString SkippedInterruptedText();

// What every unit's worker shares with the others.
struct UnitWorkerShared {
    ConsoleSettings consoleSettings; // read from the store once per run
    AssignGate &assignGate;          // IP assignments one at a time
    CommandRunner &runner;           // used only while holding the gate
    HostQuestions &hostQuestions;    // likewise
};

// Works through the steps of one unit in a thread of its own, with its own event loop, console and
// headless view, so that the window's console operations and IP assignment run unchanged: the same
// bytes on the wire, the same pauses, the same log lines and result texts. A failing step ends the
// unit; its later steps are reported as skipped.
class UnitWorker : public QThread
{
    Q_OBJECT

public:
    UnitWorker(int index, const PlanUnit &unit, const UnitWorkerShared &shared, QObject *parent = nullptr);

    int index() const { return m_index; }
    // From any thread: no further step starts, and a console step in flight ends at once with its
    // connection closed. (The host command and the assignment queue are ended by whoever owns them.)
    void interrupt();

    // Once the thread has finished: one outcome per step, and the log lines of the whole unit.
    const QList<StepOutcome> &outcomes() const { return m_outcomes; }
    const QString &logText() const { return m_log; }

signals:
    // Emitted from the worker's thread as each step ends (skipped ones too).
    void stepFinished(const StepOutcome &outcome);

protected:
    void run() override;

private:
    class Session;
    void publishConsole(RemoteConsole *console);
    // cutOff: the step did not pass because of an interrupt (or never started because of one).
    StepOutcome runStep(BatchStep step, Session &session, bool *cutOff);

    const int m_index;
    const PlanUnit m_unit;
    const UnitWorkerShared m_shared;
    std::atomic<bool> m_interrupted{false};
    QMutex m_consoleMutex;
    RemoteConsole *m_console = nullptr; // while the thread runs; guarded by m_consoleMutex
    QList<StepOutcome> m_outcomes;
    QString m_log;
};
