#include "UnitWorker.h"

#include "AssignGate.h"
#include "ConsoleLogLines.h"
#include "ConsoleOperations.h"
#include "HeadlessView.h"
#include "HostChecks.h"
#include "HostText.h"
#include "IpPaneOperations.h"
#include "PortWait.h"
#include "RemoteConsole.h"

#include <QElapsedTimer>
#include <QScopeGuard>

namespace
{

const QString SkippedEarlierFailed = QStringLiteral("skipped: earlier step failed");
const QString InterruptedText = QStringLiteral("interrupted");
const QString LogIndent = QStringLiteral("        ");
// How long the unit's old port may take to refuse before a plan run again looks at the new port.
constexpr int RefusalProbeMs = 3000;
// How long a port change cut off waits for the unit to show up on its new port.
constexpr int MovedProbeMs = 1000;

} // namespace

QString SkippedInterruptedText()
{
    return QStringLiteral("skipped: interrupted");
}

// The window's parts for one unit, made and used in the worker's thread.
class UnitWorker::Session
{
public:
    Session(const PlanUnit &unit, const UnitWorkerShared &shared, CommandRunner &runner)
        : console(shared.consoleSettings), view(unit), consoleOperations(view, console),
          hostChecks(shared.hostQuestions, view, [] {}), ipPane(view, hostChecks, runner)
    {
        ipPane.setCaptureFileName(unit.captureFileName());
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
    m_runner.setAdapterFolder(shared.runner.adapterFolder());
    m_runner.setTimeLimit(shared.runner.timeLimit());
}

void UnitWorker::interrupt()
{
    // The flag first: a host command that ends now must be seen as cut off, not as failed.
    m_interrupted = true;
    m_runner.abortRunning();
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
    Session session(m_unit, m_shared, m_runner);
    publishConsole(&session.console);
    // interrupt() must never reach the console once it is gone, however the thread leaves.
    const auto unpublish = qScopeGuard([this] { publishConsole(nullptr); });
    // Once a step did not pass, the rest of the unit is skipped for the reason it ended.
    std::optional<QString> skipReason;
    std::optional<bool> moved; // known before the first console step
    for (const BatchStep step : m_unit.steps()) {
        if (!skipReason && m_interrupted)
            skipReason = SkippedInterruptedText();
        StepOutcome outcome;
        outcome.unit = m_unit.unit;
        outcome.step = step;
        if (skipReason) {
            outcome.text = *skipReason;
            m_outcomes.append(outcome);
            emit stepFinished(outcome);
            continue;
        }
        if (step != BatchStep::Assign && !moved)
            moved = alreadyOnNewPort(session);
        if (step == BatchStep::NewPort && moved.value_or(false)) {
            outcome.result = StepOutcome::Result::Pass;
            outcome.text = QStringLiteral("already listening on %1").arg(m_unit.newPort);
            outcome.started = QDateTime::currentDateTime();
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

bool UnitWorker::alreadyOnNewPort(Session &session)
{
    if (!m_unit.steps().contains(BatchStep::NewPort) || m_interrupted ||
        portFromHexText(m_unit.port) == portFromHexText(m_unit.newPort))
        return false;
    // Only a refusal on the old port: a unit that is slow or away there gets the plan's steps as written.
    if (ProbePort(m_unit.ip, m_unit.port, RefusalProbeMs, false, m_interrupted) != PortProbe::Refused ||
        ProbePort(m_unit.ip, m_unit.newPort, m_shared.consoleSettings.recvTimeoutMs, true, m_interrupted) !=
            PortProbe::Answered)
        return false;
    for (const Field field : {Field::Port_Port, Field::Port_GW, Field::Port_Sub})
        session.view.setFieldText(field, 0, m_unit.newPort);
    return true;
}

QString UnitWorker::interruptedPortChangeText()
{
    // The run is ending: a short look, not stopped by the interrupt that brought us here.
    const std::atomic<bool> keepLooking{false};
    QString where;
    if (WaitUntilListening(m_unit.ip, m_unit.newPort, MovedProbeMs, keepLooking))
        where = m_unit.newPort;
    else if (ProbePort(m_unit.ip, m_unit.port, MovedProbeMs, false, keepLooking) == PortProbe::Accepted)
        where = m_unit.port;
    else
        where = QStringLiteral("neither %1 nor %2").arg(m_unit.port, m_unit.newPort);
    return InterruptedText + QStringLiteral("; listening on ") + where;
}

void UnitWorker::logInterrupted(Session &session, qsizetype from, BatchStep step, const QString &text)
{
    // The operation wrote its verdict as if it had run its course; the report's word replaces it.
    QString part = session.view.log().mid(from);
    if (part.endsWith(SlotPassLines())) {
        part.chop(SlotPassLines().size());
    } else if (const qsizetype at = part.lastIndexOf(LogIndent + QStringLiteral("// Error!  "));
               at >= 0 && part.indexOf(QStringLiteral("\r\n"), at) == part.size() - 4) {
        part.truncate(at);
    }
    // An assignment logs only once it got through: the header then tells what was cut off.
    if (part.isEmpty() && step == BatchStep::Assign)
        part = QStringLiteral("<SLOT 0 : Set %1>\r\n").arg(m_unit.macAddress());
    session.view.replaceLogFrom(from,
                                part + LogIndent + QStringLiteral("// ") + text + QStringLiteral("\r\n\r\n"));
}

StepOutcome UnitWorker::runStep(BatchStep step, Session &session, bool *cutOff)
{
    StepOutcome outcome;
    outcome.unit = m_unit.unit;
    outcome.step = step;
    const bool assign = step == BatchStep::Assign;
    if (assign && !m_shared.assignGate.acquire()) {
        *cutOff = true; // never started
        outcome.text = SkippedInterruptedText();
        return outcome;
    }

    outcome.started = QDateTime::currentDateTime();
    const qsizetype logStart = session.view.log().size();
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
    if (*cutOff) {
        if (assign)
            session.ipPane.AbandonHostWork(); // the capture file goes
        outcome.result = StepOutcome::Result::Interrupted;
        outcome.text = step == BatchStep::NewPort ? interruptedPortChangeText() : InterruptedText;
        logInterrupted(session, logStart, step, outcome.text);
        return outcome;
    }
    outcome.result = slot.passed ? StepOutcome::Result::Pass : StepOutcome::Result::Error;
    outcome.text = slot.text;
    return outcome;
}
