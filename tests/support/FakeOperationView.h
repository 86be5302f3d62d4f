#pragma once

#include "OperationView.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <array>
#include <functional>

// Records what an operation does to the window: boxes, log text, lock and pointer changes, stored
// slot values. Fields and ticks are set by the test.
class FakeOperationView : public OperationView
{
public:
    struct Box {
        QString text;
        QString title;
        BoxIcon icon;
        bool operator==(const Box &) const = default;
    };

    QString fieldText(Field field, int slot) const override { return fields.value({field, slot}); }
    void setFieldText(Field field, int slot, const QString &text) override { fields[{field, slot}] = text; }
    bool slotTicked(Pane pane, int slot) const override { return ticked.value({pane, slot}, false); }

    void appendLog(const QString &text) override { log += text; }

    void setPaneEnabled(Pane pane, bool enabled) override
    {
        events.append(QString("%1 pane %2").arg(enabled ? "unlock" : "lock").arg(int(pane)));
        locked[int(pane)] = !enabled;
    }
    void setHourglass(bool on) override
    {
        events.append(on ? "hourglass" : "pointer");
        hourglass = on;
    }
    void setOperationBusy(bool busy) override
    {
        events.append(busy ? "busy" : "idle");
        operationBusy = busy;
    }

    void showMessageBox(const QString &text, const QString &title, BoxIcon icon) override
    {
        boxes.append({text, title, icon});
        events.append("box " + text);
        if (onBox)
            onBox(boxes.last());
    }

    void storeSlotMAC(int slot, const QString &macTail) override { slotMAC[slot] = macTail; }
    void storeSlotIP(int slot, const QString &ip) override { slotIP[slot] = ip; }
    void storeSlotPort(int slot, const QString &port) override { slotPort[slot] = port; }

    bool anyPaneLocked() const
    {
        for (bool l : locked)
            if (l)
                return true;
        return false;
    }

    QMap<QPair<Field, int>, QString> fields;
    QMap<QPair<Pane, int>, bool> ticked;
    QString log;
    QList<Box> boxes;
    QStringList events;
    std::array<bool, 5> locked{};
    bool hourglass = false;
    bool operationBusy = false;
    QMap<int, QString> slotMAC, slotIP, slotPort;
    std::function<void(const Box &)> onBox; // called while the "modal" box is open
};
