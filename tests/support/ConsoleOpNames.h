#pragma once

#include "ConsoleOperations.h"
#include "OperationView.h"

#include <QString>
#include <optional>

// Per console operation, in the order of ConsoleOp: its fields and controls, and the texts of its log
// lines and boxes.
struct ConsoleOpNames {
    Field ip, port;
    std::optional<Field> further;
    const char *menu, *ipName, *portName, *furtherName, *rowButton; // furtherName: nullptr for the check
    QString header, furtherLabel, errorTitle, completionTitle, completionText;
};

inline const ConsoleOpNames OpNames[] = {
    {Field::IPAddr_ComCheck, Field::Port_ComCheck, std::nullopt, "mnuComCheck", "txtIPAddr_ComCheck",
     "txtPort_ComCheck", nullptr, "cmdComCheck", " : Communication Check ", "", "Communication Check",
     "Communication Check", "Communication Check is finished."},
    {Field::IPAddr_Port, Field::Port_Port, Field::NewPort, "mnuPort", "txtIPAddr_Port", "txtPort_Port",
     "txtNewPort", "cmdSet_Port", " : Set Port ", "   New Port : ", "Set Port", "Set Port",
     "Port setting is finished."},
    {Field::IPAddr_GW, Field::Port_GW, Field::GateWay, "mnuGateWay", "txtIPAddr_GW", "txtPort_GW",
     "txtGateWay", "cmdSet_GW", " : Set GateWay Addr ", "   GateWay Addr : ", "Set GW Addr", "Set GW Addr",
     "GateWay Address setting is finished."},
    {Field::IPAddr_Sub, Field::Port_Sub, Field::SubnetMask, "mnuSubnet", "txtIPAddr_Sub", "txtPort_Sub",
     "txtSubnetMask", "cmdSet_Sub", " : Set Subnet Mask ", "   Subnet Mask : ", "Set Subnet Mask",
     "Subnet Mask", "Subnet Mask setting is finished."}};

inline const ConsoleOpNames &namesOf(ConsoleOp op)
{
    return OpNames[int(op)];
}

// The log lines of one slot; no error: it passed.
inline QString consoleLogBlock(ConsoleOp op, int slot, const QString &ip, const QString &port,
                               const QString &further = {}, const QString &error = {})
{
    const ConsoleOpNames &n = namesOf(op);
    return QStringLiteral("<SLOT %1%2>\r\n        IP : %3   Port : %4%5\r\n        %6\r\n\r\n")
        .arg(QString::number(slot), n.header, ip, port, n.furtherName ? n.furtherLabel + further : QString(),
             error.isEmpty() ? QStringLiteral("// Pass  ") : "// Error!  " + error);
}
