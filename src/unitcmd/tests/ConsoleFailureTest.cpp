// Failing slots: the row checks (no connection made), the console's failure causes with each
// operation's own texts, a refused unit, and an unexpected failure inside the procedure.
#include "ConsoleRig.h"
#include "SimUnits.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>
#include <stdexcept>

namespace
{

using Box = FakeOperationView::Box;

struct OpTexts {
    QString header;       // "<SLOT n" + header + ">"
    QString furtherLabel; // "" for the check
    QString errorTitle;
    QString connectionError; // a failed connect, or an attach failure that left no text
};

OpTexts textsOf(ConsoleOp op)
{
    switch (op) {
    case ConsoleOp::ComCheck:
        return {" : Communication Check ", "", "Communication Check", "Communication Check Error!"};
    case ConsoleOp::SetPort:
        return {" : Set Port ", "   New Port : ", "Set Port", "Connection Error!"};
    case ConsoleOp::SetGW:
        return {" : Set GateWay Addr ", "   GateWay Addr : ", "Set GW Addr", "Connection Error!"};
    case ConsoleOp::SetSubnet:
        break;
    }
    return {" : Set Subnet Mask ", "   Subnet Mask : ", "Set Subnet Mask", "Connection Error!"};
}

QString failedBlock(ConsoleOp op, int slot, const QString &ip, const QString &port, const QString &further,
                    const QString &error)
{
    const OpTexts texts = textsOf(op);
    return QStringLiteral("<SLOT %1%2>\r\n        IP : %3   Port : %4%5\r\n        // Error!  %6\r\n\r\n")
        .arg(QString::number(slot), texts.header, ip, port,
             texts.furtherLabel.isEmpty() ? QString() : texts.furtherLabel + further, error);
}

const QList<ConsoleOp> AllOps{ConsoleOp::ComCheck, ConsoleOp::SetPort, ConsoleOp::SetGW,
                              ConsoleOp::SetSubnet};

QString opName(ConsoleOp op)
{
    return QStringList{"check", "port", "gateway", "mask"}.at(int(op));
}

// A window whose fields cannot be written: the padding step fails unexpectedly.
class UnwritableFieldsView : public FakeOperationView
{
public:
    void setFieldText(Field, int, const QString &) override { throw std::runtime_error("field gone"); }
};

} // namespace

class ConsoleFailureTest : public QObject
{
    Q_OBJECT

private:
    SimUnits m_faultyUnits; // one unit per failure cause, shared by the rows
    SimUnits m_idleUnit;    // the unit the row checks must never reach

private slots:
    void initTestCase()
    {
        QVERIFY2(m_faultyUnits.start({"0:silent", "0:wrong-esc", "0:unsupported", "0:error=Bad Parameter",
                                      "0:no-echo=E,prompt=#"}),
                 qPrintable(m_faultyUnits.error()));
        QVERIFY2(m_idleUnit.start({"0"}), qPrintable(m_idleUnit.error()));
    }

    void rowChecksFailBeforeConnecting_data()
    {
        QTest::addColumn<ConsoleOp>("op");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port"); // "*" stands for the listener's port
        QTest::addColumn<QString>("further");
        QTest::addColumn<QString>("error");

        const QString any = QStringLiteral("*");
        QTest::newRow("check: three octets") << ConsoleOp::ComCheck << "1.2.3" << any << ""
                                             << "IP Address Error!";
        QTest::newRow("check: bad ip before empty port") << ConsoleOp::ComCheck << "256.1.1.1"
                                                         << ""
                                                         << ""
                                                         << "IP Address Error!";
        QTest::newRow("check: empty port") << ConsoleOp::ComCheck << "127.0.0.1"
                                           << ""
                                           << ""
                                           << "Port No Error!";
        QTest::newRow("port: empty new port") << ConsoleOp::SetPort << "127.0.0.1" << any << ""
                                              << "Port No Error!";
        QTest::newRow("port: empty port") << ConsoleOp::SetPort << "127.0.0.1"
                                          << ""
                                          << "2328"
                                          << "Port No Error!";
        QTest::newRow("port: bad ip") << ConsoleOp::SetPort << "1..2.3" << any << ""
                                      << "IP Address Error!";
        QTest::newRow("gateway: bad ip before bad gateway")
            << ConsoleOp::SetGW << "1.2.3.4.5" << any << "1.2.3"
            << "IP Address Error!";
        QTest::newRow("gateway: bad gateway before empty port") << ConsoleOp::SetGW << "127.0.0.1"
                                                                << ""
                                                                << "1.2.3."
                                                                << "GateWay Address Error!";
        QTest::newRow("gateway: empty port") << ConsoleOp::SetGW << "127.0.0.1"
                                             << ""
                                             << "10.0.0.1"
                                             << "Port No Error!";
        QTest::newRow("mask: octet 256") << ConsoleOp::SetSubnet << "127.0.0.1" << any << "255.255.255.256"
                                         << "Subnet Mask Error!";
        QTest::newRow("mask: bad ip first") << ConsoleOp::SetSubnet << ""
                                            << ""
                                            << ""
                                            << "IP Address Error!";
        QTest::newRow("mask: empty port") << ConsoleOp::SetSubnet << "127.0.0.1"
                                          << ""
                                          << "255.0.0.0"
                                          << "Port No Error!";
    }

    void rowChecksFailBeforeConnecting()
    {
        QFETCH(ConsoleOp, op);
        QFETCH(QString, ip);
        QFETCH(QString, port);
        QFETCH(QString, further);
        QFETCH(QString, error);

        if (port == QLatin1String("*"))
            port = m_idleUnit.portText(0);
        FakeOperationView view;
        ConsoleRig rig(view);
        const int slot = 4;
        fillRow(view, op, slot, ip, port, further);
        const auto fieldsBefore = view.fields;

        rig.ops.runSlotButton(op, slot);

        QCOMPARE(view.log, failedBlock(op, slot, ip, port, further, error));
        QCOMPARE(view.boxes, (QList<Box>{{"SLOT 4 : " + error, textsOf(op).errorTitle, BoxIcon::Critical}}));
        QCOMPARE(view.fields, fieldsBefore); // nothing padded
        QVERIFY(view.slotIP.isEmpty() && view.slotPort.isEmpty());
        QVERIFY(!view.anyPaneLocked() && !view.hourglass && !view.operationBusy);
        // The first connection the unit sees after the row is a probe's, not one of the operation.
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_idleUnit.portText(0).toUShort(nullptr, 16));
        QVERIFY(probe.waitForConnected(5000));
        QCOMPARE(m_idleUnit.waitForEvent(QStringLiteral("connected 0")).section(QLatin1Char(':'), -1),
                 QString::number(probe.localPort()));
    }

    void consoleFailuresGiveEachOperationsTexts_data()
    {
        QTest::addColumn<ConsoleOp>("op");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("error"); // "" stands for the operation's connection text

        for (ConsoleOp op : AllOps) {
            const auto row = [&](const char *cause) -> QTestData & {
                return QTest::addRow("%s: %s", qPrintable(opName(op)), cause);
            };
            row("silent unit") << op << 0 << "Can not Connected";
            row("wrong answer to ESC") << op << 1 << "";
            row("unsupported command") << op << 2 << "999:Unspported Command.";
            row("error reply") << op << 3 << "%Bad Parameter";
            row("missing echo") << op << 4 << "Time Out Error!";
        }
    }

    void consoleFailuresGiveEachOperationsTexts()
    {
        QFETCH(ConsoleOp, op);
        QFETCH(int, unit);
        QFETCH(QString, error);
        if (error.isEmpty())
            error = textsOf(op).connectionError;

        FakeOperationView view;
        ConsoleRig rig(view);
        const QString port = m_faultyUnits.portText(unit);
        // The port change asks for the present port, so the units stay where the next rows find them.
        const QString further = op == ConsoleOp::SetPort ? port : QStringLiteral("10.0.0.1");
        fillRow(view, op, 6, QStringLiteral("127.0.0.1"), port, further);
        tick(view, op, 6);

        rig.ops.runAllTicked(op);

        QCOMPARE(view.log, failedBlock(op, 6, "127.0.0.1", port, further, error));
        QCOMPARE(view.boxes, (QList<Box>{{"SLOT 6 : " + error, textsOf(op).errorTitle, BoxIcon::Critical}}));
        QVERIFY(view.slotIP.isEmpty() && view.slotPort.isEmpty());
        QCOMPARE(rig.console.Winsock1.state(), QAbstractSocket::UnconnectedState);
        QVERIFY(!view.anyPaneLocked() && !view.hourglass && !view.operationBusy);
    }

    // After an error reply the attach's accepted control command 127 makes the client answer "@".
    void errorReplyIsAnsweredWithAt()
    {
        SimUnits sim;
        QVERIFY2(sim.start({"0:error=Bad Parameter"}), qPrintable(sim.error()));
        FakeOperationView view;
        ConsoleRig rig(view);
        fillRow(view, ConsoleOp::ComCheck, 0, QStringLiteral("127.0.0.1"), sim.portText(0));

        QVERIFY(!rig.ops.ComCheckSlot(0));

        QVERIFY(!sim.waitForEvent(QStringLiteral("closed 0")).isEmpty());
        QCOMPARE(sim.received(0), QByteArray("\x1b\x7f\x7e\x7c\x7dUE1\rU@"));
    }

    // The one test that waits out the 10000 ms connect limit.
    void refusedUnitFailsAfterConnectLimit()
    {
        SimUnits sim;
        QVERIFY2(sim.start({"0:refuse"}), qPrintable(sim.error()));
        FakeOperationView view;
        ConsoleRig rig(view);
        const QString port = sim.portText(0);
        fillRow(view, ConsoleOp::SetPort, 1, QStringLiteral("127.0.0.1"), port, QStringLiteral("2328"));

        QElapsedTimer elapsed;
        elapsed.start();
        rig.ops.runSlotButton(ConsoleOp::SetPort, 1);

        QVERIFY(elapsed.elapsed() >= 10000);
        QCOMPARE(view.log,
                 failedBlock(ConsoleOp::SetPort, 1, "127.0.0.1", port, "2328", "Connection Error!"));
        QCOMPARE(view.boxes, (QList<Box>{{"SLOT 1 : Connection Error!", "Set Port", BoxIcon::Critical}}));
        QCOMPARE(view.fields.value({Field::NewPort, 1}), QStringLiteral("2328"));
    }

    void unexpectedFailureTakesGenericText_data()
    {
        QTest::addColumn<ConsoleOp>("op");
        QTest::addColumn<QString>("error");
        QTest::newRow("check") << ConsoleOp::ComCheck << "Communication Check Error!";
        QTest::newRow("port") << ConsoleOp::SetPort << "SLOT3 : Set Port Error!";
        QTest::newRow("gateway") << ConsoleOp::SetGW << "Set GateWay Address Error!";
        QTest::newRow("mask") << ConsoleOp::SetSubnet << "Set Subnet Mask Error!";
    }

    void unexpectedFailureTakesGenericText()
    {
        QFETCH(ConsoleOp, op);
        QFETCH(QString, error);
        UnwritableFieldsView view;
        ConsoleRig rig(view);
        const QString further =
            op == ConsoleOp::SetPort ? QStringLiteral("2328") : QStringLiteral("10.0.0.1");
        fillRow(view, op, 3, QStringLiteral("127.0.0.1"), QStringLiteral("50"), further);

        rig.ops.runSlotButton(op, 3);

        QCOMPARE(view.log, failedBlock(op, 3, "127.0.0.1", "50", further, error));
        QCOMPARE(view.boxes, (QList<Box>{{"SLOT 3 : " + error, textsOf(op).errorTitle, BoxIcon::Critical}}));
        QVERIFY(!view.anyPaneLocked() && !view.hourglass && !view.operationBusy);
    }
};

QTEST_GUILESS_MAIN(ConsoleFailureTest)
#include "ConsoleFailureTest.moc"
