#include "BatchProgram.h"

#include "BatchOptions.h"
#include "BatchPlan.h"
#include "BatchProgress.h"
#include "BatchReport.h"
#include "BatchRerun.h"
#include "BatchRun.h"
#include "BatchSummary.h"
#include "ConsoleSettings.h"
#include "FileReplacement.h"
#include "HostChecks.h"
#include "OperationView.h"
#include "PrintText.h"
#include "SettingsStore.h"
#include "TerminationSignals.h"
#include "platform/CommandRunner.h"
#include "platform/HostQuestions.h"
#include "platform/StandardErrorTerminal.h"

#include <QEventLoop>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{

// Standard output carries the dry run and the summary: losing them is a failure like a lost report.
bool printToStandardOutput(const QString &text)
{
    errno = 0;
    const bool written = PrintText(stdout, text);
    if (!written)
        PrintText(stderr, QStringLiteral("pelmora2-batch: standard output: %1\n")
                              .arg(QString::fromLocal8Bit(std::strerror(errno ? errno : EIO))));
    return written;
}

// What the run writes, each location tried before anything is sent.
QList<std::pair<QString, QString>> outputFiles(const BatchOptions &options)
{
    QList<std::pair<QString, QString>> files;
    for (const auto &[option, path] : {std::pair{QStringLiteral("--report"), options.reportPath},
                                       std::pair{QStringLiteral("--summary"), options.summaryPath},
                                       std::pair{QStringLiteral("--log"), options.logPath}}) {
        if (!path.isEmpty())
            files.append({option, path});
    }
    return files;
}

bool outputsWritable(const BatchOptions &options)
{
    bool writable = true;
    for (const auto &[option, path] : outputFiles(options)) {
        QString error;
        if (!ProbeFileReplacement(path, error)) {
            PrintText(stderr,
                      QStringLiteral("pelmora2-batch: %1 %2: cannot be written (%3); nothing was sent\n")
                          .arg(option, path, error));
            writable = false;
        }
    }
    return writable;
}

// The units a run takes on: the whole plan, or what an earlier report shows as not done.
struct RunUnits {
    PlanUnitList units;   // as they run
    PlanUnitList planned; // the same as the plan gives them
};

// The boxes of the host checks, as lines on standard error.
struct StandardErrorBoxes : MessageBoxes {
    void showMessageBox(const QString &text, const QString &title, BoxIcon) override
    {
        PrintText(stderr,
                  QStringLiteral("pelmora2-batch: %1: %2\n").arg(title, QString(text).replace("\r\n", " ")));
    }
};

bool hasAssignStep(const PlanUnitList &units)
{
    return std::any_of(units.cbegin(), units.cend(),
                       [](const PlanUnit &unit) { return unit.steps().contains(BatchStep::Assign); });
}

// An IP assignment changes the host's neighbour table: it needs what the window needs to start.
bool mayAssign(HostQuestions &host)
{
    StandardErrorBoxes boxes;
    bool ended = false;
    HostChecks checks(host, boxes, [&ended] { ended = true; });
    return checks.CheckAdminRights() && !ended;
}

bool writeLog(const QString &path, const QString &text, QString *error)
{
    // The same care as the report: the program may run as root over a folder open to all.
    return ReplaceFileContent(path, text.toUtf8(), *error);
}

int exitStatus(const BatchRun &run, const QList<StepOutcome> &outcomes)
{
    if (run.interrupted())
        return BatchExitInterrupted;
    const bool allPassed = std::all_of(outcomes.cbegin(), outcomes.cend(), [](const StepOutcome &outcome) {
        return outcome.result == StepOutcome::Result::Pass;
    });
    return allPassed ? BatchExitPassed : BatchExitFailed;
}

int runPlan(const BatchOptions &options, const BatchPlan &plan, const RunUnits &chosen)
{
    CommandRunner runner;
    const std::unique_ptr<HostQuestions> host = CreateHostQuestions();
    if (hasAssignStep(chosen.units) && !mayAssign(*host))
        return BatchExitUsage;
    // Read and repaired once, so that concurrent units never race on the settings file.
    SettingsStore store;
    const ConsoleSettings consoleSettings = loadConsoleSettings(store);

    BatchRun run(chosen.units, options.jobs, consoleSettings, runner, *host);
    int stepCount = 0;
    for (const PlanUnit &unit : chosen.units)
        stepCount += int(unit.steps().size());
    BatchProgress progress(int(chosen.units.size()), stepCount, StandardErrorIsTerminal(), stderr);
    QObject::connect(&run, &BatchRun::stepFinished, &progress, &BatchProgress::stepFinished);
    QObject::connect(&run, &BatchRun::unitFinished, &progress, &BatchProgress::unitFinished);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &run, &BatchRun::interrupt);
    QEventLoop loop;
    QObject::connect(&run, &BatchRun::finished, &loop, &QEventLoop::quit);
    run.start();
    loop.exec();
    progress.end();

    QList<StepOutcome> outcomes = run.outcomes();
    AddPlannedAddresses(chosen.units, outcomes);
    int status = exitStatus(run, outcomes);
    QString error;
    if (!options.reportPath.isEmpty() && !WriteBatchReport(options.reportPath, outcomes, &error)) {
        PrintText(stderr, QStringLiteral("pelmora2-batch: --report %1: %2\n").arg(options.reportPath, error));
        status = std::max<int>(status, BatchExitFailed);
    }
    if (!options.summaryPath.isEmpty() &&
        !WriteBatchSummary(options.summaryPath, chosen.planned, plan.noteColumns, outcomes, &error)) {
        PrintText(stderr,
                  QStringLiteral("pelmora2-batch: --summary %1: %2\n").arg(options.summaryPath, error));
        status = std::max<int>(status, BatchExitFailed);
    }
    if (!options.logPath.isEmpty() && !writeLog(options.logPath, run.logText(), &error)) {
        PrintText(stderr, QStringLiteral("pelmora2-batch: --log %1: %2\n").arg(options.logPath, error));
        status = std::max<int>(status, BatchExitFailed);
    }
    const QString note = plan.encodingNote.isEmpty() ? QString() : plan.encodingNote + QLatin1Char('\n');
    if (!printToStandardOutput(note + SummaryText(outcomes, progress.elapsedMs())))
        status = std::max<int>(status, BatchExitFailed);
    return status;
}

} // namespace

int RunBatchProgram(const BatchOptions &options)
{
    BatchPlan plan = ReadBatchPlan(options.planPath);
    if (!plan.problems.isEmpty()) {
        for (const QString &line : PlanProblemLines(options.planPath, plan))
            PrintText(stderr, line + QLatin1Char('\n'));
        return BatchExitUsage;
    }
    RunUnits chosen{plan.units, plan.units};
    if (!options.rerunPath.isEmpty()) {
        const BatchRerun rerun = SelectRerun(plan.units, options.rerunPath);
        if (!rerun.problem.isEmpty()) {
            PrintText(
                stderr,
                QStringLiteral("pelmora2-batch: --rerun %1: %2\n").arg(options.rerunPath, rerun.problem));
            return BatchExitUsage;
        }
        chosen = {rerun.units, rerun.planned};
    }
    const QString note = plan.encodingNote.isEmpty() ? QString() : plan.encodingNote + QLatin1Char('\n');
    if (options.dryRun) {
        plan.units = chosen.units;
        return printToStandardOutput(note + DescribeDryRun(plan)) ? BatchExitPassed : BatchExitFailed;
    }
    if (!outputsWritable(options))
        return BatchExitUsage;
    return runPlan(options, plan, chosen);
}
