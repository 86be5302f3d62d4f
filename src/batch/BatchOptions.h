#pragma once

#include <QString>
#include <QStringList>

// The command line of pelmora2-batch: PLAN.csv [--jobs N] [--report FILE] [--summary FILE] [--log FILE]
// [--rerun REPORT] [--dry-run].
struct BatchOptions {
    static constexpr int DefaultJobs = 8;

    QString planPath;
    int jobs = DefaultJobs;
    QString reportPath;  // empty: no report file
    QString summaryPath; // empty: no summary file
    QString logPath;     // empty: no log file
    QString rerunPath;   // empty: every unit of the plan runs
    bool dryRun = false;
};

struct ParsedBatchCommandLine {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Error;
    BatchOptions options;
    QString text; // the help text, or what is wrong
};

// arguments[0] is the program.
ParsedBatchCommandLine ParseBatchCommandLine(const QStringList &arguments);
