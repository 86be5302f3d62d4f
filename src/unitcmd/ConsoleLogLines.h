#pragma once

#include <QString>

// The lines a console operation writes into the log window for one slot, each ending in CR LF.

// "<SLOT 2 : Communication Check >"
QString SlotHeaderLine(int slot, const QString &headerText);
// "        IP : <ip>   Port : <port>" followed by further (already labelled) fields.
QString SlotFieldLine(const QString &ip, const QString &port, const QString &furtherFields);
// "        // Pass  " and an empty line.
QString SlotPassLines();
// "        // Error!  <text>" and an empty line.
QString SlotErrorLines(const QString &errorText);
