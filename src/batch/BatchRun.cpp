#include "BatchRun.h"

#include "platform/AssignmentsAtOnce.h"
#include "platform/CaptureFolder.h"
#include "platform/OpenFileLimit.h"

#include <QTimer>
#include <algorithm>

BatchRun::BatchRun(const PlanUnitList &units, int jobs, const ConsoleSettings &consoleSettings,
                   const CommandRunner &runner, HostQuestions &hostQuestions, QObject *parent)
    : QObject(parent), m_units(units), m_jobs(std::clamp(jobs, 1, MaxJobs)),
      m_assignGate(AssignmentsAtOnce()), m_shared{consoleSettings, m_assignGate, runner, hostQuestions},
      m_outcomes(units.size()), m_logs(units.size())
{
    qRegisterMetaType<StepOutcome>();
}

BatchRun::~BatchRun()
{
    // Workers still running here only when the program ends early: they must not outlive their run.
    if (!m_running.empty())
        interrupt();
    for (const auto &worker : m_running)
        worker->wait();
}

void BatchRun::start()
{
    // Each unit at work holds a connection, a thread's event loop and, while assigning, a host command.
    RaiseOpenFileLimit();
    // Made once before the workers start, so that their first assignments do not race to make it.
    const bool assigns = std::any_of(m_units.cbegin(), m_units.cend(), [](const PlanUnit &unit) {
        return unit.steps().contains(BatchStep::Assign);
    });
    if (assigns)
        MakeCaptureFolder(CaptureBaseFolder());
    while (!m_interrupted && qsizetype(m_running.size()) < m_jobs && m_nextUnit < m_units.size())
        startNext();
    // A plan without units ends at once, but still through the event loop like any other.
    QTimer::singleShot(0, this, &BatchRun::finishIfDone);
}

void BatchRun::startNext()
{
    const int index = int(m_nextUnit++);
    auto worker = std::make_unique<UnitWorker>(index, m_units.at(index), m_shared);
    UnitWorker *raw = worker.get();
    connect(raw, &UnitWorker::stepFinished, this, &BatchRun::stepFinished, Qt::QueuedConnection);
    connect(
        raw, &QThread::finished, this, [this, raw] { workerFinished(raw); }, Qt::QueuedConnection);
    m_running.push_back(std::move(worker));
    raw->start();
}

void BatchRun::workerFinished(UnitWorker *worker)
{
    const auto found = std::find_if(m_running.begin(), m_running.end(),
                                    [worker](const auto &running) { return running.get() == worker; });
    if (found == m_running.end())
        return;
    worker->wait();
    m_outcomes[worker->index()] = worker->outcomes();
    m_logs[worker->index()] = worker->logText();
    const std::unique_ptr<UnitWorker> ended = std::move(*found);
    m_running.erase(found);
    emit unitFinished(ended->outcomes());

    if (!m_interrupted && m_nextUnit < m_units.size())
        startNext();
    finishIfDone();
}

void BatchRun::finishIfDone()
{
    if (m_finished || !m_running.empty() || (!m_interrupted && m_nextUnit < m_units.size()))
        return;
    m_finished = true;
    emit finished();
}

void BatchRun::interrupt()
{
    if (m_interrupted)
        return;
    m_interrupted = true;
    // The workers first, so that a host command ended now counts as cut off in every one of them.
    for (const auto &worker : m_running)
        worker->interrupt();
    m_assignGate.interrupt();
    finishIfDone();
}

QList<StepOutcome> BatchRun::outcomes() const
{
    QList<StepOutcome> all;
    for (qsizetype index = 0; index < m_units.size(); ++index) {
        if (index < m_nextUnit) {
            all += m_outcomes.at(index);
            continue;
        }
        // Never started: every step was cut off before it began.
        const PlanUnit unit = m_units.at(index);
        for (const BatchStep step : unit.steps()) {
            StepOutcome skipped;
            skipped.unit = unit.unit;
            skipped.step = step;
            skipped.text = SkippedInterruptedText();
            all.append(skipped);
        }
    }
    return all;
}

QString BatchRun::logText() const
{
    // Every unit works as the window's slot 0, so each group is headed by the unit it belongs to.
    QString text;
    for (qsizetype index = 0; index < m_units.size(); ++index) {
        if (m_logs.at(index).isEmpty())
            continue;
        const PlanUnit &unit = m_units.at(index);
        text += QStringLiteral("==== unit %1 (plan line %2) ====\r\n").arg(unit.unit).arg(unit.line);
        text += m_logs.at(index);
    }
    return text;
}
