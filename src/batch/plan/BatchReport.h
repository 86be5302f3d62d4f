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
    QString ip;   // the address the step talked to, as the plan writes it
    QString port; // the console port it talked to (hex, as the plan writes it); "" for an assignment
};

// "pass", "error", "skipped", "interrupted".
QString ResultName(StepOutcome::Result result);

// The port a step of the unit talks to as planned: the port, the new port for the check after a port
// change, none for an assignment.
QString PlannedStepPort(const PlanUnit &unit, BatchStep step);

// Gives each outcome without an address the one its unit's plan row names for the step.
void AddPlannedAddresses(const PlanUnitList &units, QList<StepOutcome> &outcomes);

// Writes the report as CSV (RFC 4180, UTF-8 with a byte-order mark, so that Excel reads it as UTF-8
// whatever its locale; CR LF line ends): the header "unit,ip,port,step,result,text,started,duration_ms"
// and one row per outcome in the order given. Replaces the file atomically; false with the reason in
// error when it could not be written.
// Fields are written as CsvLine writes them: quoted where needed, formulas kept as text. started is ISO
// 8601 with milliseconds and the UTC offset (2026-12-06T09:05:07.042+01:00), empty for a step that
// never started. The file is replaced as the settings files are: it keeps its owner and mode, and a
// symbolic link is followed only to a file of the link's own owner.
bool WriteBatchReport(const QString &path, const QList<StepOutcome> &outcomes, QString *error);

// Writes the summary: the same form as the report, one row per unit of units (in their order) with
// "unit,ip,port,gateway,mask,result,failed_step,text", then the plan's note columns. port is where the
// unit listens at the end; gateway and mask are those the unit was given (empty when it was not);
// result is "pass", or the result of the unit's first step that did not pass, named in failed_step and
// told in text. A step with no outcome was done by an earlier run and counts as passed.
bool WriteBatchSummary(const QString &path, const PlanUnitList &units, const QStringList &noteColumns,
                       const QList<StepOutcome> &outcomes, QString *error);
