#pragma once

#include "BatchPlan.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The outcome of one step of one unit, one row of the report.
struct StepOutcome {
    enum class Result { Pass, Error, Skipped, Interrupted };

    QString unit;
    BatchStep step = BatchStep::Check;
    Result result = Result::Skipped;
    QString text; // the window's text for the outcome: "Time Out Error!", "skipped: earlier step failed"...
    QDateTime started; // written as ISO 8601 with milliseconds
    qint64 durationMs = 0;
};

// "pass", "error", "skipped", "interrupted".
QString ResultName(StepOutcome::Result result);

// Writes the report as CSV (RFC 4180, UTF-8): the header "unit,step,result,text,started,duration_ms"
// and one row per outcome in the order given. Replaces the file atomically; false with the reason in
// error when it could not be written.
// Fields holding a comma, a quote, CR or LF are quoted. A field that starts with "=", "+", "-", "@",
// tab or CR gets a leading "'", so that a spreadsheet shows it as text instead of running it as a
// formula. started is ISO 8601 with milliseconds and the UTC offset (2026-12-06T09:05:07.042+01:00),
// empty for a step that never started. The file is replaced as the settings files are: it keeps its
// owner and mode, and a symbolic link is followed only to a file of the link's own owner.
bool WriteBatchReport(const QString &path, const QList<StepOutcome> &outcomes, QString *error);
