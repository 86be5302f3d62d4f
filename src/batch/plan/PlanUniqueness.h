#pragma once

#include "BatchPlan.h"
#include "PlanTextArena.h"

#include <QHash>
#include <QList>
#include <vector>

// What must differ between the rows of a plan: their labels, and the consoles (address and port) they
// reach. Rows are given in file order; each problem names the earlier row. What it keeps of each row is
// packed (a label's UTF-8 bytes, a console's address and port as one number), as a plan may hold hundreds
// of thousands of rows.
class PlanUniqueness
{
public:
    // Problems of the unit's label ("unit" column), given a well-formed label.
    QList<PlanProblem> claimLabel(const PlanUnit &unit);
    // Problems of the unit's address with its port and its new port, given well-formed texts.
    QList<PlanProblem> claimConsoles(const PlanUnit &unit);

private:
    struct ConsoleUser {
        qint32 line = 0;
        quint32 label = 0; // in m_labels
        bool byNewPort = false;
    };
    // A label known: where it is in m_labels plus one (0: a free slot), the line that claimed it (0: none
    // yet, it is known as the label of a console's user).
    struct LabelSlot {
        quint32 at = 0;
        qint32 line = 0;
    };
    void claimConsole(const PlanUnit &unit, const QString &address, const QString &portText, bool byNewPort,
                      QList<PlanProblem> &problems);
    // The label's slot, added when new.
    LabelSlot &knownLabel(const QString &label);

    PlanTextArena m_labels;
    std::vector<LabelSlot> m_labelSlots; // open addressing, a power of two in size, at most half full
    qsizetype m_labelCount = 0;
    // The 12-digit address as a number << 17, 1 << 16 when a port is given, the port: the first row using it.
    QHash<quint64, ConsoleUser> m_consoles;
};
