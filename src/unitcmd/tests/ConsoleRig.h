#pragma once

#include "ConsoleOperations.h"
#include "FakeOperationView.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"

#include <QTemporaryDir>
#include <optional>

// The operations over a fake window and a real console whose store holds short limits, so that a
// silent unit or a missing echo fails within a second.
struct ConsoleRig {
    explicit ConsoleRig(FakeOperationView &view) : view(view)
    {
        store.write(QStringLiteral("REMOTE"), QStringLiteral("TIMEOUT"), QStringLiteral("RESET"),
                    QStringLiteral("300"));
        store.write(QStringLiteral("REMOTE"), QStringLiteral("RESET_RETRY"), QStringLiteral("NORMAL"),
                    QStringLiteral("2"));
    }

    QTemporaryDir storeDir;
    SettingsStore store{storeDir.path()};
    RemoteConsole console{store};
    FakeOperationView &view;
    ConsoleOperations ops{view, console};
};

// The entry fields of an operation's pane, as the window names them.
struct PaneRow {
    Pane pane = Pane::ComCheck;
    Field ip = Field::IPAddr_ComCheck;
    Field port = Field::Port_ComCheck;
    std::optional<Field> further; // New Port, GateWay or SubnetMask
};

inline PaneRow paneRow(ConsoleOp op)
{
    switch (op) {
    case ConsoleOp::ComCheck:
        return {Pane::ComCheck, Field::IPAddr_ComCheck, Field::Port_ComCheck, std::nullopt};
    case ConsoleOp::SetPort:
        return {Pane::Port, Field::IPAddr_Port, Field::Port_Port, Field::NewPort};
    case ConsoleOp::SetGW:
        return {Pane::GW, Field::IPAddr_GW, Field::Port_GW, Field::GateWay};
    case ConsoleOp::SetSubnet:
        break;
    }
    return {Pane::Sub, Field::IPAddr_Sub, Field::Port_Sub, Field::SubnetMask};
}

inline void fillRow(FakeOperationView &view, ConsoleOp op, int slot, const QString &ip, const QString &port,
                    const QString &further = {})
{
    const PaneRow row = paneRow(op);
    view.fields[{row.ip, slot}] = ip;
    view.fields[{row.port, slot}] = port;
    if (row.further)
        view.fields[{*row.further, slot}] = further;
}

inline void tick(FakeOperationView &view, ConsoleOp op, int slot)
{
    view.ticked[{paneRow(op).pane, slot}] = true;
}

Q_DECLARE_METATYPE(ConsoleOp)
