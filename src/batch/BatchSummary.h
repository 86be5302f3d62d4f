#pragma once

#include "BatchReport.h"

#include <QList>
#include <QString>

// How a unit ended: every step passed; some step failed; or nothing failed but not every step ran
// (an interrupted unit, or one without steps).
enum class UnitResult { Passed, Failed, Skipped };

UnitResult UnitResultOf(const QList<StepOutcome> &unitOutcomes);

// The closing lines of a run, from the report's outcomes in plan order: each failed step with its
// text, then "Units: P passed, F failed, S skipped, N in all; total time T s".
QString SummaryText(const QList<StepOutcome> &outcomes, qint64 elapsedMs);
