// Runs of the pane buttons: which slots run, which boxes follow, and the pane lock around the boxes.
#include "ConsoleRig.h"
#include "SimUnits.h"

#include <QTest>

namespace
{

using Box = FakeOperationView::Box;

const Box ComCheckFinished{"Communication Check is finished.", "Communication Check", BoxIcon::Information};

} // namespace

class ConsoleRunTest : public QObject
{
    Q_OBJECT

private:
    SimUnits m_unit;

private slots:
    void initTestCase() { QVERIFY2(m_unit.start({"0"}), qPrintable(m_unit.error())); }

    void noTickedSlotDoesNothing_data()
    {
        QTest::addColumn<ConsoleOp>("op");
        QTest::newRow("check") << ConsoleOp::ComCheck;
        QTest::newRow("port") << ConsoleOp::SetPort;
        QTest::newRow("gateway") << ConsoleOp::SetGW;
        QTest::newRow("mask") << ConsoleOp::SetSubnet;
    }

    void noTickedSlotDoesNothing()
    {
        QFETCH(ConsoleOp, op);
        FakeOperationView view;
        ConsoleRig rig(view);
        for (int slot = 0; slot < 8; ++slot)
            fillRow(view, op, slot, "127.0.0.1", m_unit.portText(0),
                    op == ConsoleOp::SetPort ? "2328" : "1.1.1.1");
        // Ticks of another pane do not count.
        tick(view, op == ConsoleOp::ComCheck ? ConsoleOp::SetPort : ConsoleOp::ComCheck, 2);

        rig.ops.runAllTicked(op);

        QVERIFY(view.log.isEmpty());
        QVERIFY(view.boxes.isEmpty());
        QCOMPARE(view.events, (QStringList{"busy", "idle"}));
    }

    void outOfRangeSlotDoesNothing()
    {
        FakeOperationView view;
        ConsoleRig rig(view);
        rig.ops.runSlotButton(ConsoleOp::ComCheck, 8);
        QVERIFY(!rig.ops.SetGWSlot(-1));
        QVERIFY(view.log.isEmpty() && view.boxes.isEmpty());
    }

    void completionBoxFollowsLastTickedSlot_data()
    {
        QTest::addColumn<bool>("firstPasses");
        QTest::addColumn<QList<Box>>("boxes");
        QTest::newRow("first fails, last passes")
            << false
            << QList<Box>{{"SLOT 1 : IP Address Error!", "Communication Check", BoxIcon::Critical},
                          ComCheckFinished};
        QTest::newRow("first passes, last fails")
            << true << QList<Box>{{"SLOT 3 : IP Address Error!", "Communication Check", BoxIcon::Critical}};
    }

    void completionBoxFollowsLastTickedSlot()
    {
        QFETCH(bool, firstPasses);
        QFETCH(QList<Box>, boxes);
        FakeOperationView view;
        ConsoleRig rig(view);
        const QString port = m_unit.portText(0);
        fillRow(view, ConsoleOp::ComCheck, 1, firstPasses ? "127.0.0.1" : "127.0.0", port);
        fillRow(view, ConsoleOp::ComCheck, 3, firstPasses ? "127.0.0" : "127.0.0.1", port);
        fillRow(view, ConsoleOp::ComCheck, 5, "127.0.0.1", port); // not ticked
        tick(view, ConsoleOp::ComCheck, 1);
        tick(view, ConsoleOp::ComCheck, 3);

        rig.ops.runAllTicked(ConsoleOp::ComCheck);

        QCOMPARE(view.boxes, boxes);
        QCOMPARE(view.slotIP.keys(), QList<int>{firstPasses ? 1 : 3});
        QCOMPARE(view.log.count(QStringLiteral("<SLOT ")), 2);
        QCOMPARE(view.events.count(QStringLiteral("lock pane 4")), 2);
        QCOMPARE(view.events.first(), QStringLiteral("busy"));
        QCOMPARE(view.events.last(), QStringLiteral("idle"));
    }

    // The error box opens with the pane still locked and the pointer still the hourglass; the
    // completion box opens once the pane is free again.
    void paneStaysLockedWhileErrorBoxIsOpen()
    {
        FakeOperationView view;
        ConsoleRig rig(view);
        QList<bool> lockedAtBox;
        view.onBox = [&](const Box &) {
            lockedAtBox.append(view.locked[int(Pane::ComCheck)] && view.hourglass && view.operationBusy);
        };
        fillRow(view, ConsoleOp::ComCheck, 0, "127.0.0.1", "");
        fillRow(view, ConsoleOp::ComCheck, 1, "127.0.0.1", m_unit.portText(0));
        tick(view, ConsoleOp::ComCheck, 0);
        tick(view, ConsoleOp::ComCheck, 1);

        rig.ops.runAllTicked(ConsoleOp::ComCheck);

        QCOMPARE(view.boxes.size(), 2);
        QCOMPARE(lockedAtBox, (QList<bool>{true, false}));
        QVERIFY(!view.anyPaneLocked() && !view.hourglass && !view.operationBusy);
    }
};

QTEST_GUILESS_MAIN(ConsoleRunTest)
#include "ConsoleRunTest.moc"
