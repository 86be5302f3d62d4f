// The console operations on a recording view, over a real console, against qv512-sim units.
#include "ConsoleOperations.h"
#include "ConsoleOpNames.h"
#include "FakeOperationView.h"
#include "OperationView.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "SimUnits.h"
#include "TestSettings.h"

#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

namespace
{

using Box = FakeOperationView::Box;

// The recording view with the address fields at 127.0.0.1, and console limits (300 ms, two attempts) that
// make a silent unit fail quickly.
struct Rig : FakeOperationView {
    Rig() { setConsoleLimits(store); }
    void fill(ConsoleOp op, int slot, const QString &port, const QString &further = {})
    {
        const ConsoleOpNames &n = namesOf(op);
        fields[{n.ip, slot}] = "127.0.0.1";
        fields[{n.port, slot}] = port;
        if (n.further)
            fields[{*n.further, slot}] = further;
    }
    void setFieldText(Field field, int slot, const QString &text) override
    {
        if (fieldsGone)
            throw std::runtime_error("field gone");
        FakeOperationView::setFieldText(field, slot, text);
    }
    bool fieldsGone = false;
    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    RemoteConsole console{store};
    ConsoleOperations ops{*this, console};
};

// A slot that fails; unit -1 leaves the port empty, further "*" stands for the unit's port. With the
// fields gone, writing the window's fields fails inside the procedure.
struct Failure {
    ConsoleOp op{};
    int unit = 0;
    QString further, error;
    bool fieldsGone = false;
};

} // namespace

Q_DECLARE_METATYPE(Failure)

class ConsoleOperationsTest : public QObject
{
    Q_OBJECT

    enum Unit { WrongEsc, Idle };
    SimUnits m_units;

private slots:
    void initTestCase() { QVERIFY2(m_units.start({"0:wrong-esc", "0"}), qPrintable(m_units.error())); }

    void failuresGiveEachOperationsTexts_data()
    {
        QTest::addColumn<Failure>("f");
        const ConsoleOp check = ConsoleOp::ComCheck, port = ConsoleOp::SetPort, mask = ConsoleOp::SetSubnet;
        // Each operation checks its own fields before any connection. The console's failure texts, and the
        // operations' fallbacks for the check, the gateway and the mask, are seen through the batch program.
        QTest::newRow("check: empty port") << Failure{check, -1, "", "Port No Error!"};
        QTest::newRow("mask: empty port") << Failure{mask, -1, "255.0.0.0", "Port No Error!"};
        // The port change asks for the present port, so the unit stays put.
        QTest::newRow("port: attach refused") << Failure{port, WrongEsc, "*", "Connection Error!"};
        // An unexpected failure has no text of its own: the generic one.
        QTest::newRow("port: unexpected failure")
            << Failure{port, Idle, "2328", "SLOT6 : Set Port Error!", true};
    }

    void failuresGiveEachOperationsTexts()
    {
        QFETCH(Failure, f);
        const QString port = f.unit < 0 ? QString() : m_units.portText(f.unit);
        const QString further = f.further == "*" ? port : f.further;
        Rig rig;
        rig.fieldsGone = f.fieldsGone;
        rig.fill(f.op, 6, port, further);

        const SlotOutcome outcome = rig.ops.runSlotButton(f.op, 6);

        QVERIFY(!outcome.passed);
        QCOMPARE(outcome.text, f.error);
        QCOMPARE(rig.log, consoleLogBlock(f.op, 6, "127.0.0.1", port, further, f.error));
        QCOMPARE(rig.boxes,
                 (QList<Box>{{"SLOT 6 : " + f.error, namesOf(f.op).errorTitle, BoxIcon::Critical}}));
        QVERIFY(rig.slotIP.isEmpty() && !rig.anyPaneLocked() && !rig.hourglass && !rig.operationBusy);
        QVERIFY(f.unit != Idle || m_units.waitForEvent(QString("connected %1").arg(Idle), 300).isEmpty());
    }

    // Without a tick nothing runs and no box shows. Slot 0 fails its row check, slot 2 passes: the error
    // box opens while the pane is locked and the run busy, the completion box once the pane is free again;
    // only the last ticked slot decides it.
    void checkRunOrdersLockAndBoxes()
    {
        Rig rig;
        rig.ops.runAllTicked(ConsoleOp::ComCheck);
        QCOMPARE(rig.events, (QStringList{"busy", "idle"}));
        rig.events.clear();
        rig.fill(ConsoleOp::ComCheck, 0, "");
        rig.fill(ConsoleOp::ComCheck, 2, m_units.portText(Idle));
        rig.ticked[{Pane::ComCheck, 0}] = rig.ticked[{Pane::ComCheck, 2}] = true;

        rig.ops.runAllTicked(ConsoleOp::ComCheck);

        QCOMPARE(rig.events,
                 (QStringList{"busy", "hourglass", "lock pane 4", "box SLOT 0 : Port No Error!",
                              "unlock pane 4", "pointer", "hourglass", "lock pane 4", "unlock pane 4",
                              "pointer", "box Communication Check is finished.", "idle"}));
        QCOMPARE(rig.boxes.last(),
                 (Box{"Communication Check is finished.", "Communication Check", BoxIcon::Information}));
        rig.fill(ConsoleOp::ComCheck, 4, ""); // the last ticked slot fails: no completion box
        rig.ticked[{Pane::ComCheck, 4}] = true;
        rig.ops.runAllTicked(ConsoleOp::ComCheck);
        QCOMPARE(rig.boxes.last().text, "SLOT 4 : Port No Error!");
    }
};

QTEST_GUILESS_MAIN(ConsoleOperationsTest)
#include "ConsoleOperationsTest.moc"
