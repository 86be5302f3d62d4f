// Switching panes: the shared tick state, refilling from the slot table, the fields' keystroke rules
// and the operation buttons' signals.
#include "WindowHarness.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

class WindowPanesTest : public QObject
{
    Q_OBJECT

private slots:
    void eachMenuItemShowsExactlyItsPane();
    void aTickInOnePaneTicksTheSlotInEveryPane();
    void showingAPaneRefillsOnlyItsSlotTableFields();
    void fieldsFilterTypedKeysByTheirRule_data();
    void fieldsFilterTypedKeysByTheirRule();
    void operationButtonsSignalTheirSlotRow_data();
    void operationButtonsSignalTheirSlotRow();
};

namespace
{

const char *const Titles[] = {"lblTitle_IP", "lblTitle_Port", "lblTitle_GW", "lblTitle_Subnet",
                              "lblTitle_ComCheck"};
const char *const Frames[] = {"frmIP", "frmPort", "frmGateWay", "frmSubnetMask", "frmComCheck"};
const char *const MenuItems[] = {"mnuIP", "mnuPort", "mnuGateWay", "mnuSubnet", "mnuComCheck"};
const char *const Ticks[] = {"chkSlot_IP", "chkSlot_Port", "chkSlot_GW", "chkSlot_Sub", "chkSlot_ComCheck"};

} // namespace

void WindowPanesTest::eachMenuItemShowsExactlyItsPane()
{
    TempStore temp;
    StartedWindow w(temp.store);
    w.window.show();
    for (int chosen : {3, 1, 4, 2, 0, 2}) {
        w.menu(MenuItems[chosen]);
        for (int pane = 0; pane < 5; ++pane) {
            const bool shown = pane == chosen;
            QCOMPARE(w.child(Titles[pane])->isVisible(), shown);
            for (int i = 0; i < 8; ++i)
                QCOMPARE(w.child(Frames[pane], i)->isVisible(), shown);
        }
        QVERIFY(w.child("txtLog")->isVisible());
        QVERIFY(w.child("labUnit[7]")->isVisible());
    }
}

void WindowPanesTest::aTickInOnePaneTicksTheSlotInEveryPane()
{
    TempStore temp;
    StartedWindow w(temp.store);
    w.window.show();

    w.menu("mnuPort");
    auto *tick = w.child<QCheckBox>("chkSlot_Port", 2);
    QTest::mouseClick(tick, Qt::LeftButton, {}, tick->rect().center());
    QVERIFY(tick->isChecked());
    QCOMPARE(w.window.Slots().SlotTicked[2], qint16(1));

    w.menu("mnuGateWay");
    for (int i = 0; i < 8; ++i)
        QCOMPARE(w.child<QCheckBox>("chkSlot_GW", i)->isChecked(), i == 2);
    QVERIFY(w.window.slotTicked(Pane::GW, 2));

    // Unticked with the keyboard in the Gateway pane: unticked everywhere.
    w.child("chkSlot_GW", 2)->setFocus();
    QTest::keyClick(w.child("chkSlot_GW", 2), Qt::Key_Space);
    QCOMPARE(w.window.Slots().SlotTicked[2], qint16(0));
    for (int pane = 0; pane < 5; ++pane) {
        w.menu(MenuItems[pane]);
        QVERIFY(!w.child<QCheckBox>(Ticks[pane], 2)->isChecked());
    }
}

void WindowPanesTest::showingAPaneRefillsOnlyItsSlotTableFields()
{
    TempStore temp;
    temp.seed("IPAddress", 1, "192.168.0.21");
    temp.seed("PortNo", 1, "1F90");
    temp.seed("MACAddress", 1, "12-34-56");
    StartedWindow w(temp.store);
    w.window.show();

    w.menu("mnuGateWay");
    auto *ip = w.child<QLineEdit>("txtIPAddr_GW", 1);
    auto *gateway = w.child<QLineEdit>("txtGateWay", 1);
    QCOMPARE(ip->text(), QString("192.168.0.21"));
    ip->clear();
    QTest::keyClicks(ip, "10.0.0.9");
    QTest::keyClicks(gateway, "10.0.0.1");
    QTest::keyClicks(w.child("txtSubnetMask", 1), "255.255.0.0");

    w.menu("mnuSubnet");
    QCOMPARE(w.child<QLineEdit>("txtIPAddr_Sub", 1)->text(), QString("192.168.0.21"));
    w.menu("mnuGateWay");
    QCOMPARE(ip->text(), QString("192.168.0.21"));  // the typed address is gone
    QCOMPARE(gateway->text(), QString("10.0.0.1")); // the gateway is not in the slot table
    QCOMPARE(w.child<QLineEdit>("txtSubnetMask", 1)->text(), QString("255.255.0.0"));

    // Choosing the pane already shown refills it too.
    auto *port = w.child<QLineEdit>("txtPort_GW", 1);
    port->clear();
    QTest::keyClicks(port, "AB");
    w.menu("mnuGateWay");
    QCOMPARE(port->text(), QString("1F90"));

    // What an operation stores reaches the next pane shown; the new port and MAC prefix keep their text.
    QTest::keyClicks(w.child("txtNewPort", 1), "2000");
    w.window.storeSlotIP(1, "172.16.0.5");
    w.window.storeSlotPort(1, "0050");
    w.window.storeSlotMAC(1, "AA-BB-CC");
    w.menu("mnuPort");
    QCOMPARE(w.child<QLineEdit>("txtIPAddr_Port", 1)->text(), QString("172.16.0.5"));
    QCOMPARE(w.child<QLineEdit>("txtPort_Port", 1)->text(), QString("0050"));
    QCOMPARE(w.child<QLineEdit>("txtNewPort", 1)->text(), QString("2000"));
    w.menu("mnuIP");
    QCOMPARE(w.child<QLineEdit>("txtMCAddr", 1)->text(), QString("AA-BB-CC"));
    QCOMPARE(w.child<QLineEdit>("txtIPAddr_IP", 1)->text(), QString("172.16.0.5"));
    QCOMPARE(w.child<QLineEdit>("txtMAC", 1)->text(), QString("0A-00-3C"));
}

void WindowPanesTest::fieldsFilterTypedKeysByTheirRule_data()
{
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("port") << "mnuPort"
                          << "txtPort_Port[0]"
                          << "1f9G"
                          << "1F9";
    QTest::newRow("new port") << "mnuPort"
                              << "txtNewPort[3]"
                              << "-a.b"
                              << "AB";
    QTest::newRow("GW port") << "mnuGateWay"
                             << "txtPort_GW[1]"
                             << "z0c"
                             << "0C";
    QTest::newRow("mask port") << "mnuSubnet"
                               << "txtPort_Sub[2]"
                               << "eE x"
                               << "EE";
    QTest::newRow("ComCheck port") << "mnuComCheck"
                                   << "txtPort_ComCheck[7]"
                                   << "12345"
                                   << "1234";
    QTest::newRow("MAC tail") << "mnuIP"
                              << "txtMCAddr[4]"
                              << "aB-c9x ."
                              << "AB-C9";
    QTest::newRow("MAC tail limit") << "mnuIP"
                                    << "txtMCAddr[0]"
                                    << "12-34-567"
                                    << "12-34-56";
    QTest::newRow("IP address") << "mnuIP"
                                << "txtIPAddr_IP[5]"
                                << "1a.2/-3 .4"
                                << "1.23.4";
    QTest::newRow("Port pane IP") << "mnuPort"
                                  << "txtIPAddr_Port[6]"
                                  << "10.0.0.1x"
                                  << "10.0.0.1";
    QTest::newRow("gateway") << "mnuGateWay"
                             << "txtGateWay[2]"
                             << "192.168.0.254F"
                             << "192.168.0.254";
    QTest::newRow("mask") << "mnuSubnet"
                          << "txtSubnetMask[1]"
                          << "255.255.255.0:"
                          << "255.255.255.0";
    QTest::newRow("ComCheck IP") << "mnuComCheck"
                                 << "txtIPAddr_ComCheck[0]"
                                 << "127.0.0.1234567"
                                 << "127.0.0.1234567";
}

void WindowPanesTest::fieldsFilterTypedKeysByTheirRule()
{
    QFETCH(QString, menuItem);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    TempStore temp;
    StartedWindow w(temp.store);
    w.showAndActivate();
    w.menu(qPrintable(menuItem));
    auto *edit = w.child<QLineEdit>(field);
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), expected);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), expected.chopped(1));
}

void WindowPanesTest::operationButtonsSignalTheirSlotRow_data()
{
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("signal"); // the signal's name
    QTest::addColumn<int>("slot");       // -1: a bottom button

    QTest::newRow("Set IP") << "mnuIP"
                            << "cmdSet_IP[3]"
                            << "cmdSet_IP_Click" << 3;
    QTest::newRow("Set All IP") << "mnuIP"
                                << "cmdAllSet_IP"
                                << "cmdAllSet_IP_Click" << -1;
    QTest::newRow("Ping") << "mnuIP"
                          << "cmdPing[0]"
                          << "cmdPing_Click" << 0;
    QTest::newRow("Ping All") << "mnuIP"
                              << "cmdAllPing"
                              << "cmdAllPing_Click" << -1;
    QTest::newRow("Set Port") << "mnuPort"
                              << "cmdSet_Port[7]"
                              << "cmdSet_Port_Click" << 7;
    QTest::newRow("Set All Port") << "mnuPort"
                                  << "cmdAllSet_Port"
                                  << "cmdAllSet_Port_Click" << -1;
    QTest::newRow("Set GW") << "mnuGateWay"
                            << "cmdSet_GW[2]"
                            << "cmdSet_GW_Click" << 2;
    QTest::newRow("Set All GW") << "mnuGateWay"
                                << "cmdAllSet_GW"
                                << "cmdAllSet_GW_Click" << -1;
    QTest::newRow("Set Subnet") << "mnuSubnet"
                                << "cmdSet_Sub[5]"
                                << "cmdSet_Sub_Click" << 5;
    QTest::newRow("Set All Subnet") << "mnuSubnet"
                                    << "cmdAllSet_Subnet"
                                    << "cmdAllSet_Subnet_Click" << -1;
    QTest::newRow("ComCheck") << "mnuComCheck"
                              << "cmdComCheck[1]"
                              << "cmdComCheck_Click" << 1;
    QTest::newRow("ComCheck All") << "mnuComCheck"
                                  << "cmdAllComCheck"
                                  << "cmdAllComCheck_Click" << -1;
}

void WindowPanesTest::operationButtonsSignalTheirSlotRow()
{
    QFETCH(QString, menuItem);
    QFETCH(QString, button);
    QFETCH(QString, signal);
    QFETCH(int, slot);

    TempStore temp;
    StartedWindow w(temp.store);
    w.window.show();
    w.menu(qPrintable(menuItem));

    // Every one of the twelve signals is watched: exactly the button's own fires, once.
    const QStringList signalNames = {"cmdSet_IP_Click",        "cmdAllSet_IP_Click", "cmdPing_Click",
                                     "cmdAllPing_Click",       "cmdSet_Port_Click",  "cmdAllSet_Port_Click",
                                     "cmdSet_GW_Click",        "cmdAllSet_GW_Click", "cmdSet_Sub_Click",
                                     "cmdAllSet_Subnet_Click", "cmdComCheck_Click",  "cmdAllComCheck_Click"};
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    const QMetaObject *meta = w.window.metaObject();
    for (const QString &name : signalNames) {
        const int index = meta->indexOfSignal(
            QMetaObject::normalizedSignature(qPrintable(name + (name.contains("All") ? "()" : "(int)"))));
        QVERIFY2(index >= 0, qPrintable(name));
        spies.push_back(std::make_unique<QSignalSpy>(&w.window, meta->method(index)));
    }

    auto *pushButton = w.child<QPushButton>(button);
    QTest::mouseClick(pushButton, Qt::LeftButton, {}, pushButton->rect().center());

    for (qsizetype i = 0; i < signalNames.size(); ++i) {
        const QSignalSpy &spy = *spies[i];
        QCOMPARE(spy.count(), signalNames[i] == signal ? 1 : 0);
        if (slot >= 0 && signalNames[i] == signal)
            QCOMPARE(spy.first().value(0).toInt(), slot);
    }
}

QTEST_MAIN(WindowPanesTest)
#include "WindowPanesTest.moc"
