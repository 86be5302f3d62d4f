#pragma once

#include "BatchPlan.h"

#include <QList>
#include <QString>

// The part of a plan still to do after an earlier run, told by that run's report.
struct BatchRerun {
    PlanUnitList units;   // to run, each from its first step that did not pass
    PlanUnitList planned; // the same units as the plan gives them
    QString problem;      // why the report cannot be used; then nothing runs
};

// A unit runs again when the report has a row of it that is not "pass"; it starts at its first such step.
// Steps before it passed in that run or an earlier one (a re-run's report names only the steps it ran) and
// are left out: after a passed port change the later steps use the new port. A unit the report does not
// name passed earlier and does not run.
BatchRerun SelectRerun(const PlanUnitList &units, const QString &reportPath);
