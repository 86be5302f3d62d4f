#pragma once

#include "AssignGate.h"
#include "BatchPlan.h"
#include "BatchReport.h"
#include "UnitWorker.h"

#include <QList>
#include <QObject>
#include <memory>
#include <vector>

// Runs the units of a plan, at most `jobs` at once, each in its own worker, in plan order; their IP
// assignments as many at once as the platform allows. After an interrupt no unit and no step starts
// any more, the steps in flight end at once as "interrupted", and every step that did not run is
// reported as "skipped: interrupted".
class BatchRun : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxJobs = 256;

    BatchRun(const PlanUnitList &units, int jobs, const ConsoleSettings &consoleSettings,
             const CommandRunner &runner, HostQuestions &hostQuestions, QObject *parent = nullptr);
    ~BatchRun() override;

    // Starts the first units; finished() follows once every unit has ended.
    void start();
    // From the program's thread, e.g. on Ctrl+C.
    void interrupt();
    bool interrupted() const { return m_interrupted; }

    // Once finished: one outcome per step of every unit, in plan order; the units' log lines in plan order.
    QList<StepOutcome> outcomes() const;
    QString logText() const;

signals:
    void stepFinished(const StepOutcome &outcome);
    // A unit's last step has been reported.
    void unitFinished(const QList<StepOutcome> &unitOutcomes);
    void finished();

private:
    void startNext();
    void workerFinished(UnitWorker *worker);
    void finishIfDone();

    const PlanUnitList m_units;
    const int m_jobs;
    AssignGate m_assignGate;
    UnitWorkerShared m_shared;
    qsizetype m_nextUnit = 0;
    std::vector<std::unique_ptr<UnitWorker>> m_running;
    QList<QList<StepOutcome>> m_outcomes; // per unit, filled as units end
    QStringList m_logs;                   // per unit
    bool m_interrupted = false;
    bool m_finished = false;
};
