#pragma once

#include "ConsoleOperations.h"

#include <QList>
#include <QString>
#include <QStringList>

// One unit of a plan of pelmora2-batch and the steps it runs.

// The steps of one unit, in the order they run.
enum class BatchStep { Assign, Gateway, Mask, NewPort, Check };

// The name of a step in the report, the same as its plan column: "assign", "gateway", "mask",
// "new_port", "check".
QString BatchStepName(BatchStep step);
// The console operation of a step: the pane whose row button it presses. Assign is the IP pane's,
// not a console operation; it gives ComCheck like Check.
ConsoleOp ConsoleOpFor(BatchStep step);

// One unit: one data row, its texts as written in the file (surrounding blanks removed); the port texts
// and the MAC tail as the window's fields would hold them once typed (a-f become A-F).
struct PlanUnit {
    int line = 0; // line number of the row in the file; the header is line 1
    QString unit; // label, unique in the plan
    QString ip;
    QString port;    // console port, one to four hex digits; may be empty when no console step runs
    QString mac;     // MAC tail XX-XX-XX; given: the unit first gets its IP address
    QString gateway; // given: a gateway step
    QString mask;    // given: a subnet mask step
    QString newPort; // given: a port change step
    bool check = true;
    QStringList notes; // the texts of the plan's note and comment columns, in their order

    // The steps this unit runs, in order: assign, gateway, mask, new port, check.
    QList<BatchStep> steps() const;
    // The port the check talks to: the new port when the port is changed, else the port.
    QString checkPort() const;
    // The whole MAC address as the IP pane builds it: the fixed prefix, "-" and the MAC tail.
    QString macAddress() const;
    // The capture file of this unit's host commands, "temp-<line>.txt": units assign at the same time.
    QString captureFileName() const;
};
