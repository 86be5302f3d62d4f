#include "UnitWorker.h"

#include "AssignGate.h"
#include "ConsoleOperations.h"
#include "HeadlessView.h"
#include "HostChecks.h"
#include "IpPaneOperations.h"
#include "PortWait.h"
#include "RemoteConsole.h"

#include <QElapsedTimer>
#include <QScopeGuard>

namespace
{

const QString SkippedEarlierFailed = QStringLiteral("skipped: earlier step failed");
const QString InterruptedText = QStringLiteral("interrupted");

} // namespace

QString SkippedInterruptedText()
{
    return QStringLiteral("skipped: interrupted");
}

// The window's parts for one unit, made and used in the worker's thread.
class UnitWorker::Session
{
public:
    Session(const PlanUnit &unit, const UnitWorkerShared &shared)
        : console(shared.consoleSettings), view(unit), consoleOperations(view, console),
          hostChecks(shared.hostQuestions, view, [] {}), ipPane(view, hostChecks, shared.runner)
    {
    }

    RemoteConsole console;
    HeadlessView view;
    ConsoleOperations consoleOperations;
    HostChecks hostChecks;
    IpPaneOperations ipPane;
};

UnitWorker::UnitWorker(int index, const PlanUnit &unit, const UnitWorkerShared &shared, QObject *parent)
    : QThread(parent), m_index(index), m_unit(unit), m_shared(shared)
{
}

void UnitWorker::interrupt()
{
    m_interrupted = true;
    const QMutexLocker lock(&m_consoleMutex);
    if (m_console)
        m_console->abandon();
}

void UnitWorker::publishConsole(RemoteConsole *console)
{
    const QMutexLocker lock(&m_consoleMutex);
    m_console = console;
    // An interrupt that came before the console existed still reaches it.
    if (console && m_interrupted)
        console->abandon();
}

void UnitWorker::run()
{
    Session session(m_unit, m_shared);
    publishConsole(&session.console);
    // interrupt() must never reach the console once it is gone, however the thread leaves.
    const auto unpublish = qScopeGuard([this] { publishConsole(nullptr); });
    // Once a step did not pass, the rest of the unit is skipped for the reason it ended.
    std::optional<QString> skipReason;
    for (const BatchStep step : m_unit.steps()) {
        if (!skipReason && m_interrupted)
            skipReason = SkippedInterruptedText();
        StepOutcome outcome;
        if (skipReason) {
            outcome.unit = m_unit.unit;
            outcome.step = step;
            outcome.text = *skipReason;
        } else {
            if (step == BatchStep::Check && m_unit.steps().contains(BatchStep::NewPort))
                WaitUntilListening(m_unit.ip, m_unit.newPort, RemoteConsole::ConnectLimitMs, m_interrupted);
            bool cutOff = false;
            outcome = runStep(step, session, &cutOff);
            if (cutOff)
                skipReason = SkippedInterruptedText();
            else if (outcome.result != StepOutcome::Result::Pass)
                skipReason = SkippedEarlierFailed;
        }
        m_outcomes.append(outcome);
        emit stepFinished(outcome);
    }
    m_log = session.view.log();
}

StepOutcome UnitWorker::runStep(BatchStep step, Session &session, bool *cutOff)
{
    StepOutcome outcome;
    outcome.unit = m_unit.unit;
    outcome.step = step;
    const bool assign = step == BatchStep::Assign;
    if (assign && !m_shared.assignGate.acquire()) {
        *cutOff = true;
        outcome.text = SkippedInterruptedText();
        return outcome;
    }

    outcome.started = QDateTime::currentDateTime();
    QElapsedTimer elapsed;
    elapsed.start();
    // The row button of the step's pane, on slot 0, boxes and all, as in the window.
    SlotOutcome slot;
    if (assign) {
        // The next unit's turn comes however this one ends.
        const auto release = qScopeGuard([this] { m_shared.assignGate.release(); });
        slot = session.ipPane.cmdSet_IP_Click(0);
    } else {
        slot = session.consoleOperations.runSlotButton(ConsoleOpFor(step), 0);
    }
    outcome.durationMs = elapsed.elapsed();

    // Cut off: its waits or its closing pause were ended early, so even an accepted command may not
    // have taken effect, and whatever the step left says nothing about the unit.
    *cutOff = m_interrupted;
    const bool passed = !*cutOff && slot.passed;
    outcome.result = passed ? StepOutcome::Result::Pass : StepOutcome::Result::Error;
    outcome.text = *cutOff ? InterruptedText : slot.text;
    return outcome;
}
