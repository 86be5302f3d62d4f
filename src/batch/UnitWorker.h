#pragma once

#include "BatchPlan.h"
#include "BatchReport.h"
#include "ConsoleSettings.h"
#include "platform/CommandRunner.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QThread>
#include <atomic>

class AssignGate;
class HostQuestions;
class RemoteConsole;

// The report text of a step that did not start because the run was interrupted.
QString SkippedInterruptedText();

// What every unit's worker shares with the others.
struct UnitWorkerShared {
    ConsoleSettings consoleSettings; // read from the store once per run
    AssignGate &assignGate;          // how many IP assignments run at once
    const CommandRunner &runner;     // its adapter folder and time limit go to each worker's own runner
    HostQuestions &hostQuestions;    // asked only before the run and from the assignments' own checks
};

// Works through the steps of one unit in a thread of its own, with its own event loop, console and
// headless view, so that the window's console operations and IP assignment run unchanged: the same
// bytes on the wire, the same pauses, the same log lines and result texts. A failing step ends the
// unit; its later steps are reported as skipped. A step cut off by an interrupt is reported, and
// logged, as interrupted. A unit found already listening on its new port (a plan run again) counts its
// port change as done and talks to the new port.
class UnitWorker : public QThread
{
    Q_OBJECT

public:
    UnitWorker(int index, const PlanUnit &unit, const UnitWorkerShared &shared, QObject *parent = nullptr);

    int index() const { return m_index; }
    // From any thread: no further step starts, and a step in flight ends at once: its connection is
    // closed, its host command ended with everything it started. (The assignment queue is ended by
    // whoever owns it.)
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
    // Before the first console step: whether the unit already moved to its new port, as after an
    // earlier run of the same plan; the later steps then talk to the new port.
    bool alreadyOnNewPort(Session &session);
    // The text of a port change that was cut off: where the unit listens now.
    QString interruptedPortChangeText();
    // The step's part of the log, from `from` on, ends with what the report says of it.
    void logInterrupted(Session &session, qsizetype from, BatchStep step, const QString &text);

    const int m_index;
    const PlanUnit m_unit;
    const UnitWorkerShared m_shared;
    std::atomic<bool> m_interrupted{false};
    CommandRunner m_runner; // its own, so that an interrupt ends exactly this unit's host command
    QMutex m_consoleMutex;
    RemoteConsole *m_console = nullptr; // while the thread runs; guarded by m_consoleMutex
    QList<StepOutcome> m_outcomes;
    QString m_log;
};
