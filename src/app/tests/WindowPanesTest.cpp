// Switching panes: the shared tick state, refilling from the slot table, the fields' keystroke rules
// and the operation buttons' signals.
#include "WindowHarness.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <map>

class WindowPanesTest : public QObject
{
    Q_OBJECT

private slots:
    void aTickInOnePaneTicksTheSlotInEveryPane();
    void showingAPaneRefillsOnlyItsSlotTableFields();
    void fieldsFilterTypedKeysByTheirRule();
    void operationButtonsSignalTheirSlotRow();
};

namespace
{

const char *const Titles[] = {"lblTitle_IP", "lblTitle_Port", "lblTitle_GW", "lblTitle_Subnet",
                              "lblTitle_ComCheck"};
const char *const MenuItems[] = {"mnuIP", "mnuPort", "mnuGateWay", "mnuSubnet", "mnuComCheck"};
const char *const Ticks[] = {"chkSlot_IP", "chkSlot_Port", "chkSlot_GW", "chkSlot_Sub", "chkSlot_ComCheck"};

} // namespace

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
    for (int pane : {4, 0, 3, 1, 2}) {
        w.menu(MenuItems[pane]);
        QVERIFY(!w.child<QCheckBox>(Ticks[pane], 2)->isChecked());
        for (int other = 0; other < 5; ++other) // each menu item shows its own pane only
            QCOMPARE(w.child(Titles[other])->isVisible(), other == pane);
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

void WindowPanesTest::fieldsFilterTypedKeysByTheirRule()
{
    const struct {
        const char *menuItem, *field, *typed, *expected;
    } cases[] = {
        {"mnuPort", "txtPort_Port[0]", "1f9G-", "1F9"},
        {"mnuComCheck", "txtPort_ComCheck[7]", "12c45", "12C4"},
        {"mnuIP", "txtMCAddr[4]", "aB-c9x .", "AB-C9"},
        {"mnuIP", "txtIPAddr_IP[5]", "1a.2/-3 .4", "1.23.4"},
        {"mnuGateWay", "txtGateWay[2]", "192.168.0.254F", "192.168.0.254"},
        {"mnuSubnet", "txtSubnetMask[1]", "255.255.255.0:", "255.255.255.0"},
    };
    TempStore temp;
    StartedWindow w(temp.store);
    w.showAndActivate();
    for (const auto &c : cases) {
        w.menu(c.menuItem);
        auto *edit = w.child<QLineEdit>(c.field);
        edit->setFocus();
        QTest::keyClicks(edit, c.typed);
        QCOMPARE(edit->text(), QString(c.expected));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QString(c.expected).chopped(1));
    }
}

void WindowPanesTest::operationButtonsSignalTheirSlotRow()
{
    const struct {
        const char *menuItem, *button, *signal;
        int slot; // -1: a bottom button
    } cases[] = {
        {"mnuIP", "cmdSet_IP[3]", "cmdSet_IP_Click", 3},
        {"mnuIP", "cmdAllSet_IP", "cmdAllSet_IP_Click", -1},
        {"mnuIP", "cmdPing[0]", "cmdPing_Click", 0},
        {"mnuIP", "cmdAllPing", "cmdAllPing_Click", -1},
        {"mnuPort", "cmdSet_Port[7]", "cmdSet_Port_Click", 7},
        {"mnuPort", "cmdAllSet_Port", "cmdAllSet_Port_Click", -1},
        {"mnuGateWay", "cmdSet_GW[2]", "cmdSet_GW_Click", 2},
        {"mnuGateWay", "cmdAllSet_GW", "cmdAllSet_GW_Click", -1},
        {"mnuSubnet", "cmdSet_Sub[5]", "cmdSet_Sub_Click", 5},
        {"mnuSubnet", "cmdAllSet_Subnet", "cmdAllSet_Subnet_Click", -1},
        {"mnuComCheck", "cmdComCheck[1]", "cmdComCheck_Click", 1},
        {"mnuComCheck", "cmdAllComCheck", "cmdAllComCheck_Click", -1},
    };
    TempStore temp;
    StartedWindow w(temp.store);
    w.window.show();
    for (const auto &c : cases) {
        w.menu(c.menuItem);
        // Every one of the twelve signals is watched: exactly the button's own fires, once.
        std::map<QString, std::unique_ptr<QSignalSpy>> spies;
        const QMetaObject *meta = w.window.metaObject();
        for (int m = meta->methodOffset(); m < meta->methodCount(); ++m)
            if (meta->method(m).methodType() == QMetaMethod::Signal)
                spies[meta->method(m).name()] = std::make_unique<QSignalSpy>(&w.window, meta->method(m));
        QCOMPARE(spies.size(), std::size_t(12));

        auto *button = w.child<QPushButton>(c.button);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        for (const auto &[name, spy] : spies)
            QVERIFY2(spy->count() == (name == c.signal ? 1 : 0), c.button);
        if (c.slot >= 0)
            QCOMPARE(spies[c.signal]->first().value(0).toInt(), c.slot);
    }
}

QTEST_MAIN(WindowPanesTest)
#include "WindowPanesTest.moc"
