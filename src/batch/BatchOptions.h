#pragma once

#include <QString>
#include <QStringList>

// The command line of pelmora2-batch: PLAN.csv [--jobs N] [--report FILE] [--log FILE] [--dry-run].
struct BatchOptions {
    static constexpr int DefaultJobs = 8;

    QString planPath;
    int jobs = DefaultJobs;
    QString reportPath; // empty: no report file
    QString logPath;    // empty: no log file
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
