#pragma once

#include "BatchPlan.h"

#include <QList>
#include <QStringList>
#include <optional>

// The columns of a plan and how a header row maps its fields onto them.

enum class PlanColumn { Unit, Ip, Port, Mac, Gateway, Mask, NewPort, Check };

// The column's name as the report and the messages spell it: "unit", "new_port"...
QString PlanColumnName(PlanColumn column);

// "field 3" for the field at index 2.
QString PlanFieldName(qsizetype index);

// What the header row says about the fields of every row.
struct PlanHeader {
    QList<std::optional<PlanColumn>> columnAt; // per header field: the column it names, if any
    QList<qsizetype> noteAt;                   // the fields of note and comment columns, in order
    QStringList noteNames;                     // their names as the header spells them
    bool hasPortColumn = false;

    bool has(PlanColumn column) const { return columnAt.contains(column); }
    // The field of the row for the column, without surrounding blanks; "" when the row has none.
    QString value(const QStringList &fields, PlanColumn column) const;
    QStringList notes(const QStringList &fields) const;
};

// Maps the fields of the header row (on line) onto columns; problems go to the list. Empty fields at
// the end of the row, as a spreadsheet writes them, name no column and are no problem.
PlanHeader ReadPlanHeader(const QStringList &fields, int line, QList<PlanProblem> &problems);
