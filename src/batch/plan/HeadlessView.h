#pragma once

#include "BatchPlan.h"
#include "OperationView.h"

#include <QMap>
#include <QString>

// The window as the operations on one unit of a plan see it, without widgets: slot row 0 holds the
// unit's fields from the plan, the log collects the lines the window would show, and message boxes are
// not shown, so that nothing ever waits for a user (each slot's outcome says how it went). The slot
// table is left alone.
class HeadlessView : public OperationView
{
public:
    explicit HeadlessView(const PlanUnit &unit);

    QString fieldText(Field field, int slot) const override;
    void setFieldText(Field field, int slot, const QString &text) override;
    bool slotTicked(Pane pane, int slot) const override;
    void appendLog(const QString &text) override { m_log += text; }
    void setPaneEnabled(Pane, bool) override {}
    void setHourglass(bool) override {}
    void setOperationBusy(bool) override {}
    void storeSlotMAC(int, const QString &) override {}
    void storeSlotIP(int, const QString &) override {}
    void storeSlotPort(int, const QString &) override {}
    void showMessageBox(const QString &, const QString &, BoxIcon) override {}

    const QString &log() const { return m_log; }
    // Replaces the log from position `from` on with text.
    void replaceLogFrom(qsizetype from, const QString &text) { m_log = m_log.left(from) + text; }

private:
    QMap<Field, QString> m_fields;
    QString m_log;
};
