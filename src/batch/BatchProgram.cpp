#include "BatchProgram.h"

#include "BatchOptions.h"
#include "BatchPlan.h"
#include "BatchProgress.h"
#include "BatchReport.h"
#include "BatchRun.h"
#include "BatchSummary.h"
#include "ConsoleSettings.h"
#include "FileReplacement.h"
#include "HostChecks.h"
#include "OperationView.h"
#include "SettingsStore.h"
#include "TerminationSignals.h"
#include "platform/CommandRunner.h"
#include "platform/HostQuestions.h"
#include "platform/StandardErrorTerminal.h"

#include <QEventLoop>
#include <algorithm>
#include <cstdio>

namespace
{

void printTo(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

// The boxes of the host checks, as lines on standard error.
struct StandardErrorBoxes : MessageBoxes {
    void showMessageBox(const QString &text, const QString &title, BoxIcon) override
    {
        printTo(stderr,
                QStringLiteral("pelmora2-batch: %1: %2\n").arg(title, QString(text).replace("\r\n", " ")));
    }
};

bool hasAssignStep(const BatchPlan &plan)
{
    return std::any_of(plan.units.cbegin(), plan.units.cend(),
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

int runPlan(const BatchOptions &options, const BatchPlan &plan)
{
    CommandRunner runner;
    const std::unique_ptr<HostQuestions> host = CreateHostQuestions();
    if (hasAssignStep(plan) && !mayAssign(*host))
        return BatchExitUsage;
    // Read and repaired once, so that concurrent units never race on the settings file.
    SettingsStore store;
    const ConsoleSettings consoleSettings = loadConsoleSettings(store);

    BatchRun run(plan.units, options.jobs, consoleSettings, runner, *host);
    BatchProgress progress(int(plan.units.size()), StandardErrorIsTerminal(), stderr);
    QObject::connect(&run, &BatchRun::stepFinished, &progress, &BatchProgress::stepFinished);
    QObject::connect(&run, &BatchRun::unitFinished, &progress, &BatchProgress::unitFinished);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &run, &BatchRun::interrupt);
    QEventLoop loop;
    QObject::connect(&run, &BatchRun::finished, &loop, &QEventLoop::quit);
    run.start();
    loop.exec();
    progress.end();

    const QList<StepOutcome> outcomes = run.outcomes();
    int status = exitStatus(run, outcomes);
    QString error;
    if (!options.reportPath.isEmpty() && !WriteBatchReport(options.reportPath, outcomes, &error)) {
        printTo(stderr, QStringLiteral("pelmora2-batch: --report %1: %2\n").arg(options.reportPath, error));
        status = std::max<int>(status, BatchExitFailed);
    }
    if (!options.logPath.isEmpty() && !writeLog(options.logPath, run.logText(), &error)) {
        printTo(stderr, QStringLiteral("pelmora2-batch: --log %1: %2\n").arg(options.logPath, error));
        status = std::max<int>(status, BatchExitFailed);
    }
    printTo(stdout, SummaryText(outcomes, progress.elapsedMs()));
    return status;
}

} // namespace

int RunBatchProgram(const BatchOptions &options)
{
    const BatchPlan plan = ReadBatchPlan(options.planPath);
    if (!plan.problems.isEmpty()) {
        for (const PlanProblem &problem : plan.problems)
            printTo(stderr, FormatPlanProblem(options.planPath, problem) + QLatin1Char('\n'));
        return BatchExitUsage;
    }
    if (options.dryRun) {
        printTo(stdout, DescribeDryRun(plan));
        return BatchExitPassed;
    }
    return runPlan(options, plan);
}
