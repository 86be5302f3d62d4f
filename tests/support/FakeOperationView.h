#pragma once

#include "OperationView.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <algorithm>
#include <array>

// Records what an operation does to the window: boxes, log text, lock and pointer changes, stored
// slot values. Fields and ticks are set by the test.
class FakeOperationView : public OperationView
{
public:
    struct Box {
        QString text, title;
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
    void setHourglass(bool on) override { events.append(on ? "hourglass" : "pointer"), hourglass = on; }
    void setOperationBusy(bool busy) override { events.append(busy ? "busy" : "idle"), operationBusy = busy; }
    void showMessageBox(const QString &text, const QString &title, BoxIcon icon) override
    {
        boxes.append({text, title, icon});
        events.append("box " + text);
    }

    void storeSlotMAC(int slot, const QString &macTail) override { slotMAC[slot] = macTail; }
    void storeSlotIP(int slot, const QString &ip) override { slotIP[slot] = ip; }
    void storeSlotPort(int, const QString &) override {}

    bool anyPaneLocked() const
    {
        return std::ranges::any_of(locked, [](bool l) { return l; });
    }

    QMap<QPair<Field, int>, QString> fields;
    QMap<QPair<Pane, int>, bool> ticked;
    QString log;
    QList<Box> boxes;
    QStringList events;
    std::array<bool, 5> locked{};
    bool hourglass = false;
    bool operationBusy = false;
    QMap<int, QString> slotMAC, slotIP;
};
