#pragma once

#include "BatchPlan.h"

#include <QHash>
#include <QList>

// What must differ between the rows of a plan: their labels, and the consoles (address and port) they
// reach. Rows are given in file order; each problem names the earlier row.
class PlanUniqueness
{
public:
    // Problems of the unit's label ("unit" column), given a well-formed label.
    QList<PlanProblem> claimLabel(const PlanUnit &unit);
    // Problems of the unit's address with its port and its new port, given well-formed texts.
    QList<PlanProblem> claimConsoles(const PlanUnit &unit);

private:
    struct ConsoleUser {
        int line = 0;
        QString label;
        bool byNewPort = false;
    };
    void claimConsole(const PlanUnit &unit, const QString &address, const QString &portText, bool byNewPort,
                      QList<PlanProblem> &problems);

    QHash<QString, int> m_labelLines;
    // The 12-digit address as a number << 17, 1 << 16 when a port is given, the port: the first row using it.
    QHash<quint64, ConsoleUser> m_consoles;
};
