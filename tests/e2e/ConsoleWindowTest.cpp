// The console operations end to end: clicks on the real window, wired as the program wires it, reach
// qv512-sim units over loopback; the test reads the bytes each unit received, the log window, the
// boxes, and the settings store after the window has closed.
#include "SimUnits.h"
#include "WiredWindow.h"

#include <QCheckBox>
#include <QTcpSocket>
#include <QTimer>

Q_DECLARE_METATYPE(ConsoleOp)

namespace
{

// What one console operation is called in the window and in its texts.
struct PaneNames {
    const char *menu;
    const char *ip;
    const char *port;
    const char *further; // New Port, GateWay or Subnet Mask field; nullptr for the check
    const char *rowButton;
    const char *header;       // "<SLOT n" + header + ">"
    const char *furtherLabel; // before the further field's text in the field line
    const char *errorTitle;
    const char *completionText;
    const char *completionTitle;
};

// In the order of ConsoleOp.
const PaneNames Names[] = {
    {"mnuComCheck", "txtIPAddr_ComCheck", "txtPort_ComCheck", nullptr, "cmdComCheck",
     " : Communication Check ", "", "Communication Check", "Communication Check is finished.",
     "Communication Check"},
    {"mnuPort", "txtIPAddr_Port", "txtPort_Port", "txtNewPort", "cmdSet_Port", " : Set Port ",
     "   New Port : ", "Set Port", "Port setting is finished.", "Set Port"},
    {"mnuGateWay", "txtIPAddr_GW", "txtPort_GW", "txtGateWay", "cmdSet_GW", " : Set GateWay Addr ",
     "   GateWay Addr : ", "Set GW Addr", "GateWay Address setting is finished.", "Set GW Addr"},
    {"mnuSubnet", "txtIPAddr_Sub", "txtPort_Sub", "txtSubnetMask", "cmdSet_Sub", " : Set Subnet Mask ",
     "   Subnet Mask : ", "Set Subnet Mask", "Subnet Mask setting is finished.", "Subnet Mask"}};

const PaneNames &namesOf(ConsoleOp op)
{
    return Names[int(op)];
}

const QString Loopback = QStringLiteral("127.0.0.1");
const QByteArray Esc("\x1b");
// The control commands the default prompt ">" selects: 127, 126, 124, 125.
const QByteArray ControlCommands("\x7f\x7e\x7c\x7d");
const QByteArray ComCheckCommand("UE1\rU\r");

QString logBlock(ConsoleOp op, int slot, const QString &ip, const QString &port, const QString &further,
                 const QString &outcome)
{
    const PaneNames &names = namesOf(op);
    const QString furtherPart = names.further ? QLatin1String(names.furtherLabel) + further : QString();
    return QStringLiteral("<SLOT %1%2>\r\n        IP : %3   Port : %4%5\r\n        %6\r\n\r\n")
        .arg(QString::number(slot), QLatin1String(names.header), ip, port, furtherPart, outcome);
}

QString passBlock(ConsoleOp op, int slot, const QString &port, const QString &further = {})
{
    return logBlock(op, slot, Loopback, port, further, QStringLiteral("// Pass  "));
}

QString errorBlock(ConsoleOp op, int slot, const QString &ip, const QString &port, const QString &further,
                   const QString &error)
{
    return logBlock(op, slot, ip, port, further, QStringLiteral("// Error!  ") + error);
}

RecordedBox errorBox(ConsoleOp op, int slot, const QString &error)
{
    return {QStringLiteral("SLOT %1 : %2").arg(slot).arg(error), QLatin1String(namesOf(op).errorTitle),
            BoxIcon::Critical};
}

RecordedBox completionBox(ConsoleOp op)
{
    return {QLatin1String(namesOf(op).completionText), QLatin1String(namesOf(op).completionTitle),
            BoxIcon::Information};
}

QString paddedPort(const QString &port)
{
    return QStringLiteral("000%1").arg(port).right(4);
}

void seedRow(TempStore &temp, int slot, const QString &port, bool ticked)
{
    temp.seed(QStringLiteral("IPAddress"), slot, Loopback);
    temp.seed(QStringLiteral("PortNo"), slot, port);
    temp.seed(QStringLiteral("Slot"), slot, ticked ? QStringLiteral("1") : QStringLiteral("0"));
}

// The record of a unit is complete once the simulator reports the connection closed.
void waitForClose(SimUnits &sim, int unit)
{
    QVERIFY2(!sim.waitForEvent(QStringLiteral("closed %1").arg(unit)).isEmpty(), "the unit was never closed");
}

// Proves that the operation never connected: the first connection the unit sees is this probe's.
void verifyFirstConnectionIsProbe(SimUnits &sim, int unit)
{
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, sim.portText(unit).toUShort(nullptr, 16));
    QVERIFY(probe.waitForConnected(5000));
    const QString connected = sim.waitForEvent(QStringLiteral("connected %1").arg(unit));
    QCOMPARE(connected.section(QLatin1Char(':'), -1), QString::number(probe.localPort()));
}

QString freeShortPortOtherThan(const QString &taken)
{
    QString port;
    do
        port = SimUnits::freeShortPortText();
    while (port == taken);
    return port;
}

} // namespace

bool operator==(const RecordedBox &a, const RecordedBox &b)
{
    return a.text == b.text && a.title == b.title && a.icon == b.icon;
}

namespace QTest
{
template <> char *toString(const RecordedBox &box)
{
    return qstrdup(
        qPrintable(QStringLiteral("{%1 | %2 | icon %3}").arg(box.text, box.title).arg(int(box.icon))));
}
} // namespace QTest

class ConsoleWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void comCheckAllChecksTheTickedUnitsFromTheStore();
    void portChangeMovesTheUnitAndTheCheckFollowsIt();
    void addressCommandsGoOutInTwelveDigitForm_data();
    void addressCommandsGoOutInTwelveDigitForm();
    void failuresReachLogAndBox_data();
    void failuresReachLogAndBox();
    void completionBoxFollowsTheLastTickedSlot_data();
    void completionBoxFollowsTheLastTickedSlot();
    void closeIsRefusedWhileTheAttachWaits();
};

void ConsoleWindowTest::comCheckAllChecksTheTickedUnitsFromTheStore()
{
    const QString shortPort = SimUnits::freeShortPortText();
    SimUnits sim;
    QVERIFY2(sim.start({shortPort, "0", "0", "0"}), qPrintable(sim.error()));
    const int slotOfUnit[] = {1, 4, 6, 3}; // the unit at slot 3 is filled in but not ticked
    TempStore temp;
    for (int unit = 0; unit < 4; ++unit)
        seedRow(temp, slotOfUnit[unit], sim.portText(unit), unit < 3);
    {
        WiredWindow w(temp.store);
        w.menu("mnuComCheck");
        for (int unit = 0; unit < 4; ++unit) {
            QCOMPARE(w.text("txtIPAddr_ComCheck", slotOfUnit[unit]), Loopback);
            QCOMPARE(w.text("txtPort_ComCheck", slotOfUnit[unit]), sim.portText(unit));
            QCOMPARE(w.child<QCheckBox>("chkSlot_ComCheck", slotOfUnit[unit])->isChecked(), unit < 3);
        }

        w.click(QStringLiteral("cmdAllComCheck"));

        QString expectedLog;
        for (int unit = 0; unit < 3; ++unit)
            expectedLog += passBlock(ConsoleOp::ComCheck, slotOfUnit[unit], sim.portText(unit));
        QCOMPARE(w.window.logText(), expectedLog); // the field line shows the port as typed
        QCOMPARE(w.boxes.boxes, QList<RecordedBox>{completionBox(ConsoleOp::ComCheck)});
        QCOMPARE(w.text("txtPort_ComCheck", 1), paddedPort(shortPort));
        QVERIFY(!w.window.OperationBusy());
        QVERIFY(w.window.close());
    }
    for (int unit = 0; unit < 3; ++unit) {
        waitForClose(sim, unit);
        QCOMPARE(sim.received(unit), Esc + ControlCommands + ComCheckCommand);
    }
    QVERIFY(sim.received(3).isEmpty());

    QCOMPARE(temp.stored("PortNo", 1), paddedPort(shortPort));
    QCOMPARE(temp.stored("PortNo", 4), sim.portText(1));
    QCOMPARE(temp.stored("IPAddress", 6), Loopback);
    QCOMPARE(temp.stored("Slot", 6), QStringLiteral("1"));
    QCOMPARE(temp.stored("PortNo", 3), sim.portText(3));
    QCOMPARE(temp.stored("Slot", 3), QStringLiteral("0"));
    // The console's own settings were absent: the attach wrote its defaults back.
    QSettings remote(temp.store.iniPath(QStringLiteral("REMOTE")), QSettings::IniFormat);
    QCOMPARE(remote.value("TIMEOUT/RESET").toString(), QStringLiteral("5000"));
    QCOMPARE(remote.value("RESET_RETRY/NORMAL").toString(), QStringLiteral("5"));
}

void ConsoleWindowTest::portChangeMovesTheUnitAndTheCheckFollowsIt()
{
    const QString oldPort = SimUnits::freeShortPortText();
    const QString newPort = freeShortPortOtherThan(oldPort);
    SimUnits sim;
    QVERIFY2(sim.start({oldPort}), qPrintable(sim.error()));
    TempStore temp;
    {
        WiredWindow w(temp.store);
        w.menu("mnuPort");
        w.type("txtIPAddr_Port", 0, Loopback);
        w.type("txtPort_Port", 0, oldPort.toLower()); // the port fields take a-f as A-F
        w.type("txtNewPort", 0, newPort.toLower());

        w.click("cmdSet_Port", 0);

        QCOMPARE(w.window.logText(), passBlock(ConsoleOp::SetPort, 0, oldPort, newPort));
        QCOMPARE(w.boxes.boxes, QList<RecordedBox>{completionBox(ConsoleOp::SetPort)});
        QCOMPARE(w.text("txtPort_Port", 0), paddedPort(oldPort));
        QCOMPARE(w.text("txtNewPort", 0), paddedPort(newPort));
        QCOMPARE(w.window.Slots().SlotPort[0], paddedPort(oldPort)); // the port this connection used
        QVERIFY(w.window.close());
    }
    const QString moved = sim.waitForEvent(QStringLiteral("moved 0"));
    QCOMPARE(moved.section(QLatin1Char(' '), 2).toInt(nullptr, 16), newPort.toInt(nullptr, 16));
    const QByteArray portChange = Esc + ControlCommands + "UE2 " + paddedPort(newPort).toLatin1() + "\rU\r";
    QCOMPARE(sim.received(0), portChange);
    QCOMPARE(temp.stored("PortNo", 0), paddedPort(oldPort));

    // Next session: the pane shows the old port; the user types the new one and checks the unit there.
    WiredWindow w(temp.store);
    w.menu("mnuComCheck");
    QCOMPARE(w.text("txtPort_ComCheck", 0), paddedPort(oldPort));
    w.type("txtPort_ComCheck", 0, paddedPort(newPort));
    w.click("cmdComCheck", 0);

    QCOMPARE(w.window.logText(), passBlock(ConsoleOp::ComCheck, 0, paddedPort(newPort)));
    QCOMPARE(w.boxes.boxes, QList<RecordedBox>{completionBox(ConsoleOp::ComCheck)});
    QVERIFY(w.window.close());
    waitForClose(sim, 0);
    QCOMPARE(sim.received(0), portChange + Esc + ControlCommands + ComCheckCommand);
    QCOMPARE(temp.stored("PortNo", 0), paddedPort(newPort));
}

void ConsoleWindowTest::addressCommandsGoOutInTwelveDigitForm_data()
{
    QTest::addColumn<ConsoleOp>("op");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("bytes");

    // Prompt "1" selects 127, 126, 125; prompt "." only 127.
    QTest::newRow("gateway .1.2.3") << ConsoleOp::SetGW << "1"
                                    << ".1.2.3" << QByteArray("\x1b\x7f\x7e\x7dUE3000/001/002/003\rU\r");
    QTest::newRow("mask 0.0.0.0") << ConsoleOp::SetSubnet << "."
                                  << "0.0.0.0" << QByteArray("\x1b\x7fUE4000/000/000/000\rU\r");
}

void ConsoleWindowTest::addressCommandsGoOutInTwelveDigitForm()
{
    QFETCH(ConsoleOp, op);
    QFETCH(QString, prompt);
    QFETCH(QString, address);
    QFETCH(QByteArray, bytes);

    const QString port = SimUnits::freeShortPortText();
    SimUnits sim;
    QVERIFY2(sim.start({port + QStringLiteral(":prompt=") + prompt}), qPrintable(sim.error()));
    TempStore temp;
    WiredWindow w(temp.store);
    const PaneNames &names = namesOf(op);
    w.menu(names.menu);
    w.type(names.ip, 2, Loopback);
    w.type(names.port, 2, port);
    w.type(names.further, 2, address);

    w.click(names.rowButton, 2);

    QCOMPARE(w.window.logText(), passBlock(op, 2, port, address));
    QCOMPARE(w.boxes.boxes, QList<RecordedBox>{completionBox(op)});
    QCOMPARE(w.text(names.port, 2), paddedPort(port));
    QCOMPARE(w.text(names.further, 2), address); // kept as typed
    waitForClose(sim, 0);
    QCOMPARE(sim.received(0), bytes);
}

void ConsoleWindowTest::failuresReachLogAndBox_data()
{
    QTest::addColumn<ConsoleOp>("op");
    QTest::addColumn<QString>("unit"); // the simulated unit's options
    QTest::addColumn<QString>("ip");
    QTest::addColumn<bool>("emptyPort");
    QTest::addColumn<QString>("further"); // "*" stands for the unit's own port
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("connects");

    const auto check = ConsoleOp::ComCheck;
    const auto gw = ConsoleOp::SetGW;
    const auto mask = ConsoleOp::SetSubnet;
    const auto port = ConsoleOp::SetPort;
    QTest::newRow("gateway: bad ip before bad gateway and empty port") << gw << ""
                                                                       << "1.2.3" << true << "1.2.3."
                                                                       << "IP Address Error!" << false;
    QTest::newRow("gateway: bad gateway before empty port") << gw << "" << Loopback << true << "1.2.3."
                                                            << "GateWay Address Error!" << false;
    QTest::newRow("mask: octet 256") << mask << "" << Loopback << false << "255.255.255.256"
                                     << "Subnet Mask Error!" << false;
    QTest::newRow("port: empty new port") << port << "" << Loopback << false << ""
                                          << "Port No Error!" << false;
    QTest::newRow("check: silent unit") << check << "silent" << Loopback << false << ""
                                        << "Can not Connected" << true;
    QTest::newRow("check: wrong answer to ESC") << check << "wrong-esc" << Loopback << false << ""
                                                << "Communication Check Error!" << true;
    QTest::newRow("port: missing echo") << port << "no-echo=E" << Loopback << false << "*"
                                        << "Time Out Error!" << true;
    QTest::newRow("gateway: unsupported") << gw << "unsupported" << Loopback << false << "10.0.0.1"
                                          << "999:Unspported Command." << true;
    QTest::newRow("mask: error text") << mask << "error=Bad Parameter" << Loopback << false << "255.255.255.0"
                                      << "%Bad Parameter" << true;
}

void ConsoleWindowTest::failuresReachLogAndBox()
{
    QFETCH(ConsoleOp, op);
    QFETCH(QString, unit);
    QFETCH(QString, ip);
    QFETCH(bool, emptyPort);
    QFETCH(QString, further);
    QFETCH(QString, error);
    QFETCH(bool, connects);

    const QString unitPort = SimUnits::freeShortPortText();
    SimUnits sim;
    QVERIFY2(sim.start({unit.isEmpty() ? unitPort : unitPort + QLatin1Char(':') + unit}),
             qPrintable(sim.error()));
    const QString port = emptyPort ? QString() : unitPort;
    if (further == QLatin1String("*"))
        further = unitPort;
    TempStore temp;
    shortenConsoleLimits(temp.store);
    WiredWindow w(temp.store);
    const PaneNames &names = namesOf(op);
    w.menu(names.menu);
    w.type(names.ip, 5, ip);
    w.type(names.port, 5, port);
    if (names.further)
        w.type(names.further, 5, further);

    w.click(names.rowButton, 5);

    QCOMPARE(w.window.logText(), errorBlock(op, 5, ip, port, further, error));
    QCOMPARE(w.boxes.boxes, QList<RecordedBox>{errorBox(op, 5, error)});
    // The port is padded once the row's checks have passed, also when the unit then fails.
    QCOMPARE(w.text(names.port, 5), connects ? paddedPort(port) : port);
    QVERIFY(w.window.Slots().SlotIP[5].isEmpty() && w.window.Slots().SlotPort[5].isEmpty());
    QVERIFY(!w.window.OperationBusy());
    QVERIFY(w.child(names.rowButton, 5)->isEnabled());
    if (connects)
        waitForClose(sim, 0);
    else
        verifyFirstConnectionIsProbe(sim, 0);
}

void ConsoleWindowTest::completionBoxFollowsTheLastTickedSlot_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("firstFails");
    QTest::addColumn<QList<RecordedBox>>("boxes");

    const auto unsupported = [](int slot) {
        return errorBox(ConsoleOp::ComCheck, slot, "999:Unspported Command.");
    };
    QTest::newRow("no slot ticked") << false << false << QList<RecordedBox>{};
    QTest::newRow("first fails, last passes")
        << true << true << QList<RecordedBox>{unsupported(1), completionBox(ConsoleOp::ComCheck)};
    QTest::newRow("first passes, last fails") << true << false << QList<RecordedBox>{unsupported(3)};
}

// Slots 1 and 3, ticked in the Port pane and run from the Communication check pane.
void ConsoleWindowTest::completionBoxFollowsTheLastTickedSlot()
{
    QFETCH(bool, ticked);
    QFETCH(bool, firstFails);
    QFETCH(QList<RecordedBox>, boxes);

    SimUnits sim;
    QVERIFY2(sim.start({firstFails ? "0:unsupported" : "0", firstFails ? "0" : "0:unsupported"}),
             qPrintable(sim.error()));
    TempStore temp;
    seedRow(temp, 1, sim.portText(0), false);
    seedRow(temp, 3, sim.portText(1), false);
    shortenConsoleLimits(temp.store);
    WiredWindow w(temp.store);
    if (ticked) {
        w.menu("mnuPort");
        w.click("chkSlot_Port", 1);
        w.click("chkSlot_Port", 3);
    }
    w.menu("mnuComCheck");

    w.click(QStringLiteral("cmdAllComCheck"));

    QCOMPARE(w.boxes.boxes, boxes);
    if (!ticked) {
        QVERIFY(w.window.logText().isEmpty());
        verifyFirstConnectionIsProbe(sim, 0);
        return;
    }
    const QString unsupported = QStringLiteral("999:Unspported Command.");
    const QString first = firstFails
                              ? errorBlock(ConsoleOp::ComCheck, 1, Loopback, sim.portText(0), {}, unsupported)
                              : passBlock(ConsoleOp::ComCheck, 1, sim.portText(0));
    const QString last = firstFails
                             ? passBlock(ConsoleOp::ComCheck, 3, sim.portText(1))
                             : errorBlock(ConsoleOp::ComCheck, 3, Loopback, sim.portText(1), {}, unsupported);
    QCOMPARE(w.window.logText(), first + last);
    QCOMPARE(w.window.Slots().SlotTicked[1], qint16(1)); // the Port pane's ticks are the shared ones
}

// A close posted while a silent unit keeps the attach waiting is refused; once the run has ended,
// closing works and saves the tick made during the session.
void ConsoleWindowTest::closeIsRefusedWhileTheAttachWaits()
{
    SimUnits sim;
    QVERIFY2(sim.start({"0:silent"}), qPrintable(sim.error()));
    TempStore temp;
    shortenConsoleLimits(temp.store);
    WiredWindow w(temp.store);
    w.menu("mnuComCheck");
    w.type("txtIPAddr_ComCheck", 2, Loopback);
    w.type("txtPort_ComCheck", 2, sim.portText(0));
    w.click("chkSlot_ComCheck", 2);

    bool closed = true;
    bool busyAtClose = false;
    bool savedAtClose = true;
    QTimer::singleShot(200, &w.window, [&] {
        busyAtClose = w.window.OperationBusy();
        closed = w.window.close();
        savedAtClose = temp.iniExists();
    });
    w.click(QStringLiteral("cmdAllComCheck"));

    QVERIFY(busyAtClose);
    QVERIFY(!closed);
    QVERIFY(!savedAtClose);
    QVERIFY(w.window.isVisible());
    QCOMPARE(w.boxes.boxes, QList<RecordedBox>{errorBox(ConsoleOp::ComCheck, 2, "Can not Connected")});
    waitForClose(sim, 0);
    QCOMPARE(sim.received(0), QByteArray("\x1b\x1b")); // the two attempts the store allows

    QVERIFY(w.window.close());
    QCOMPARE(temp.stored("Slot", 2), QStringLiteral("1"));
    QCOMPARE(temp.stored("IPAddress", 2), QString()); // the failed slot stored nothing
}

QTEST_MAIN(ConsoleWindowTest)
#include "ConsoleWindowTest.moc"
