#pragma once

#include "BatchReport.h"

#include <QList>
#include <QString>

// How a unit ended: every step passed; some step failed; a step was cut off by an interrupt; or nothing
// failed but not every step ran (a unit the interrupt kept from starting, or one without steps).
enum class UnitResult { Passed, Failed, Skipped, Interrupted };

UnitResult UnitResultOf(const QList<StepOutcome> &unitOutcomes);

// The closing lines of a run, from the report's outcomes in plan order: each failed step with its
// text, then "Units: P passed, F failed, S skipped, N in all; total time T s", with "I interrupted, "
// before the skipped ones when a step was cut off.
QString SummaryText(const QList<StepOutcome> &outcomes, qint64 elapsedMs);
