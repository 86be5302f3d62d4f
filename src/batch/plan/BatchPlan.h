#pragma once

#include "PlanUnitList.h"

#include <QList>
#include <QString>
#include <QStringList>

// A plan of pelmora2-batch: one unit per data row of a CSV file, each with the steps it runs.

// One problem found in a plan, printed as "PLAN:LINE: COLUMN: reason".
struct PlanProblem {
    int line = 0;   // line of the file (1 = header); 0 for the file as a whole
    QString column; // the column's name as the plan spells it in the report ("ip", "port", ...)
    QString reason;
};

struct BatchPlan {
    // Problems listed; those found beyond this many are only counted.
    static constexpr int MaxListedProblems = 100;

    PlanUnitList units;          // in file order; left empty once a problem is found
    QList<PlanProblem> problems; // the first problems found, by line; empty: the plan may run
    int moreProblems = 0;        // found beyond the listed ones
    QStringList noteColumns;     // the names of the note and comment columns as the header spells them
    QString encodingNote;        // the plan was not UTF-8 but was read in another encoding: says so
};

// Reads and checks a plan file (CSV per RFC 4180, UTF-8, a header row; column order free, names
// case-insensitive), as it streams by, so that even the largest plan takes little memory. Every row goes
// through the window's own checks of address, port and MAC tail, and the plan as a whole through the
// checks of unknown and missing columns, duplicate labels and duplicate address+port pairs. What a
// spreadsheet writes is read as meant: empty fields at the ends of rows, note and comment columns, and a
// file that is not UTF-8 but CP932 (Shift-JIS) throughout. Nothing is sent or run.
BatchPlan ReadBatchPlan(const QString &path);

// "PLAN:LINE: COLUMN: reason", with the plan's path as given on the command line.
QString FormatPlanProblem(const QString &planPath, const PlanProblem &problem);

// Every problem line to print for the plan: the listed ones, then "PLAN: … and N more" when some were
// only counted.
QStringList PlanProblemLines(const QString &planPath, const BatchPlan &plan);

// What --dry-run prints for the plan: per unit, its steps and the exact command lines each would send
// (console lines with their control characters made visible, host command lines as text).
QString DescribeDryRun(const BatchPlan &plan);
