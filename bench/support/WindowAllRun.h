#pragma once
// The window's "All" button of one console operation over the first `count` simulated units (prompt ">"):
// fills and ticks the pane's rows of the real main window and times ConsoleOperations::runAllTicked.
// A port change asks for the port each unit already has, so every unit stays put.
#include "ConsoleOperations.h"
#include "MainWindow.h"
#include "SimUnits.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>

// Milliseconds, negated when any slot failed (any box but the single completion box).
inline double timeWindowAll(frmPelmora2 &window, ConsoleOperations &operations, const SimUnits &sim,
                            int count, ConsoleOp op)
{
    static struct Boxes : MessageBoxes {
        void showMessageBox(const QString &, const QString &, BoxIcon icon) override { icons.append(icon); }
        QList<BoxIcon> icons;
    } boxes;
    const char *const menus[] = {"mnuComCheck", "mnuPort", "mnuGateWay", "mnuSubnet"}; // by ConsoleOp
    const char *const panes[] = {"ComCheck", "Port", "GW", "Sub"};
    const char *const further[] = {nullptr, "txtNewPort", "txtGateWay", "txtSubnetMask"};
    window.setMessageBoxes(&boxes);
    window.show();
    window.findChild<QAction *>(menus[int(op)])->trigger();
    const auto field = [&](const QString &name, int slot) {
        return window.findChild<QWidget *>(QStringLiteral("%1[%2]").arg(name).arg(slot));
    };
    for (int slot = 0; slot < count; ++slot) {
        qobject_cast<QLineEdit *>(field(QString("txtIPAddr_") + panes[int(op)], slot))->setText("127.0.0.1");
        qobject_cast<QLineEdit *>(field(QString("txtPort_") + panes[int(op)], slot))
            ->setText(sim.portText(slot));
        if (further[int(op)])
            qobject_cast<QLineEdit *>(field(further[int(op)], slot))
                ->setText(op == ConsoleOp::SetPort ? sim.portText(slot) : "10.0.0.1");
        if (auto *tick = qobject_cast<QCheckBox *>(field(QString("chkSlot_") + panes[int(op)], slot));
            !tick->isChecked())
            tick->click();
    }
    boxes.icons.clear();
    QElapsedTimer timer;
    timer.start();
    operations.runAllTicked(op);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    return boxes.icons == QList<BoxIcon>{BoxIcon::Information} ? ms : -ms;
}
