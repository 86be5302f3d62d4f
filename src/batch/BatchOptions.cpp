#include "BatchOptions.h"

#include "BatchRun.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <iterator>
#include <utility>

namespace
{

const char *const Description =
    R"(Commissions the QV512 units of a plan file, many at once, and writes a report.

The plan is a CSV file (UTF-8, or CP932 as Japanese Excel saves it) with a header row; column order is
free and names are case-insensitive:
  unit      a label, unique in the plan (required)
  ip        the unit's IP address (required)
  port      its console port, 1 to 4 hex digits (required for console steps)
  mac       MAC tail XX-XX-XX: the unit first gets its IP address (static neighbour entry + ping)
  gateway   a gateway address to set
  mask      a subnet mask to set
  new_port  a new console port to set
  check     yes/no (default yes): a communication check last, on new_port when the port was changed
  note, comment  free text, copied into the summary
Steps of one unit run in this order: assign, gateway, mask, new_port, check. A failing step ends that
unit; its later steps are reported as skipped. Nothing is sent before the whole plan has been checked.
A unit whose port refuses connections while its new_port answers has had its port changed already
(a plan run again): new_port passes as "already listening on <new_port>" and the other steps use it.
The console's receive limit and ESC attempts come from the REMOTE settings, as in the window.

Report (--report): CSV (UTF-8 with a byte-order mark, for Excel) with one row per step: unit, ip, port
(the address and port the step talked to), step, result (pass, error, skipped,
interrupted), text, started,
duration_ms.
Summary (--summary): the same form with one row per unit: unit, ip, port (where the unit listens at the
end), gateway, mask, result, failed_step, text, then the plan's note columns.
Log (--log): the window's log lines, grouped per unit in plan order.
Re-run (--rerun REPORT): only the units with a row that is not pass in that earlier report run, each
from its first such step.
The report, summary and log locations are tried before anything is sent.

Exit status: 0 every step passed, 1 some step failed, 2 plan or usage error (nothing was run),
130 interrupted (Ctrl+C or SIGTERM; the report is still written).)";

// A file the run will write: its folder must exist, and it must not be the plan or a folder.
QString outputProblem(const QString &option, const QString &path, const QString &planPath)
{
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("%1: %2 is a folder").arg(option, path);
    if (!file.absoluteDir().exists())
        return QStringLiteral("%1: the folder of %2 does not exist").arg(option, path);
    if (file.absoluteFilePath() == QFileInfo(planPath).absoluteFilePath())
        return QStringLiteral("%1: %2 is the plan itself").arg(option, path);
    return {};
}

} // namespace

ParsedBatchCommandLine ParseBatchCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    parser.addPositionalArgument(QStringLiteral("PLAN.csv"), QStringLiteral("The plan file."));
    const QCommandLineOption jobs(
        QStringLiteral("jobs"),
        QStringLiteral("How many units work at the same time (1 to %1, default %2).")
            .arg(BatchRun::MaxJobs)
            .arg(BatchOptions::DefaultJobs),
        QStringLiteral("N"));
    const QCommandLineOption report(QStringLiteral("report"), QStringLiteral("Write the report to FILE."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption summary(
        QStringLiteral("summary"), QStringLiteral("Write one row per unit to FILE."), QStringLiteral("FILE"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Write the log lines to FILE."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption rerun(QStringLiteral("rerun"),
                                   QStringLiteral("Run only what did not pass in the earlier REPORT."),
                                   QStringLiteral("REPORT"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Check the plan and print what each unit would be sent."));
    parser.addOptions({jobs, report, summary, log, rerun, dryRun});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOption(version);

    ParsedBatchCommandLine parsed;
    if (!parser.parse(arguments)) {
        parsed.text = parser.errorText();
        return parsed;
    }
    if (parser.isSet(help)) {
        parsed.outcome = ParsedBatchCommandLine::Outcome::Help;
        parsed.text = parser.helpText();
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.outcome = ParsedBatchCommandLine::Outcome::Help;
        parsed.text = QStringLiteral("pelmora2-batch %1\n").arg(QLatin1String(Pelmora2VersionText));
        return parsed;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        parsed.text = positional.isEmpty()
                          ? QStringLiteral("no plan file given")
                          : QStringLiteral("one plan file only, not %1").arg(positional.join(' '));
        return parsed;
    }

    BatchOptions &options = parsed.options;
    options.planPath = positional.first();
    options.dryRun = parser.isSet(dryRun);
    options.reportPath = parser.value(report);
    options.summaryPath = parser.value(summary);
    options.logPath = parser.value(log);
    options.rerunPath = parser.value(rerun);
    if (parser.isSet(jobs)) {
        bool ok = false;
        options.jobs = parser.value(jobs).toInt(&ok);
        if (!ok || options.jobs < 1 || options.jobs > BatchRun::MaxJobs) {
            parsed.text = QStringLiteral("--jobs: %1 is not a whole number from 1 to %2")
                              .arg(parser.value(jobs))
                              .arg(BatchRun::MaxJobs);
            return parsed;
        }
    }
    const std::pair<QString, QString> outputs[] = {{QStringLiteral("--report"), options.reportPath},
                                                   {QStringLiteral("--summary"), options.summaryPath},
                                                   {QStringLiteral("--log"), options.logPath}};
    for (qsizetype i = 0; i < qsizetype(std::size(outputs)); ++i) {
        const auto &[option, path] = outputs[i];
        if (path.isEmpty())
            continue;
        if (QString problem = outputProblem(option, path, options.planPath); !problem.isEmpty()) {
            parsed.text = problem;
            return parsed;
        }
        for (qsizetype j = 0; j < i; ++j) {
            if (!outputs[j].second.isEmpty() &&
                QFileInfo(outputs[j].second).absoluteFilePath() == QFileInfo(path).absoluteFilePath()) {
                parsed.text = QStringLiteral("%1 and %2 name the same file").arg(outputs[j].first, option);
                return parsed;
            }
        }
    }
    parsed.outcome = ParsedBatchCommandLine::Outcome::Run;
    return parsed;
}
