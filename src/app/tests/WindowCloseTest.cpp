// Closing the window and what reaches the settings store: refused while busy, the whole slot table
// otherwise, ticks that survive a restart, hand-edited tick values.
#include "WindowHarness.h"

#include <QCheckBox>
#include <QLineEdit>

class WindowCloseTest : public QObject
{
    Q_OBJECT

private slots:
    void closeIsRefusedWhileBusyAndSavesOtherwise();
    void emptyStoreStartsEmptyAndClosingWritesAll32Values();
    void ticksSurviveARestartInEveryPane();
    void storedTickValuesOtherThanOneReadUnticked_data();
    void storedTickValuesOtherThanOneReadUnticked();
};

namespace
{

const char *const Sections[] = {"MACAddress", "IPAddress", "PortNo", "Slot"};

} // namespace

void WindowCloseTest::closeIsRefusedWhileBusyAndSavesOtherwise()
{
    TempStore temp;
    temp.seed("IPAddress", 4, "192.168.0.24");
    StartedWindow w(temp.store);
    w.window.show();
    w.window.storeSlotIP(2, "10.0.0.2");
    w.window.storeSlotPort(2, "0050");

    w.window.setOperationBusy(true);
    QVERIFY(!w.window.close());
    QVERIFY(w.window.isVisible());
    QVERIFY(w.boxes.boxes.isEmpty());
    QCOMPARE(temp.stored("IPAddress", 2), QString("<absent>"));

    w.window.setOperationBusy(false);
    QVERIFY(w.window.close());
    QVERIFY(!w.window.isVisible());
    QCOMPARE(temp.stored("IPAddress", 2), QString("10.0.0.2"));
    QCOMPARE(temp.stored("PortNo", 2), QString("0050")); // exactly as the operation stored it
    QCOMPARE(temp.stored("IPAddress", 4), QString("192.168.0.24"));
}

void WindowCloseTest::emptyStoreStartsEmptyAndClosingWritesAll32Values()
{
    TempStore temp;
    StartedWindow w(temp.store);
    w.window.show();
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(w.child<QLineEdit>("txtMCAddr", i)->text(), QString());
        QCOMPARE(w.child<QLineEdit>("txtIPAddr_IP", i)->text(), QString());
        QVERIFY(!w.child<QCheckBox>("chkSlot_IP", i)->isChecked());
    }
    // Typed but never used by an operation: not saved.
    QTest::keyClicks(w.child("txtIPAddr_IP", 0), "10.1.1.1");
    QVERIFY(w.window.close());

    QSettings ini(temp.iniPath(), QSettings::IniFormat);
    QCOMPARE(ini.allKeys().size(), 32);
    for (const char *section : Sections)
        for (int i = 0; i < 8; ++i)
            QCOMPARE(temp.stored(section, i), QString(section == QString("Slot") ? "0" : ""));
}

void WindowCloseTest::ticksSurviveARestartInEveryPane()
{
    TempStore temp;
    {
        StartedWindow w(temp.store);
        w.window.show();
        for (int row : {1, 6}) {
            auto *tick = w.child<QCheckBox>("chkSlot_IP", row);
            QTest::mouseClick(tick, Qt::LeftButton, {}, tick->rect().center());
        }
        QVERIFY(w.window.close());
    }
    QCOMPARE(temp.stored("Slot", 1), QString("1"));
    QCOMPARE(temp.stored("Slot", 6), QString("1"));

    StartedWindow again(temp.store);
    const char *const menus[] = {"mnuIP", "mnuPort", "mnuGateWay", "mnuSubnet", "mnuComCheck"};
    const char *const ticks[] = {"chkSlot_IP", "chkSlot_Port", "chkSlot_GW", "chkSlot_Sub",
                                 "chkSlot_ComCheck"};
    for (int pane = 0; pane < 5; ++pane) {
        again.menu(menus[pane]);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(again.child<QCheckBox>(ticks[pane], i)->isChecked(), i == 1 || i == 6);
    }
}

void WindowCloseTest::storedTickValuesOtherThanOneReadUnticked_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("ticked");

    QTest::newRow("1") << "1" << true;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("2") << "2" << false;
    QTest::newRow("-1") << "-1" << false;
    QTest::newRow("x") << "x" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("1x") << "1x" << false;
    QTest::newRow("65537") << "65537" << false; // would wrap to 1 in 16 bits
}

void WindowCloseTest::storedTickValuesOtherThanOneReadUnticked()
{
    QFETCH(QString, stored);
    QFETCH(bool, ticked);

    TempStore temp;
    temp.seed("Slot", 3, stored);
    StartedWindow w(temp.store);
    QCOMPARE(w.child<QCheckBox>("chkSlot_IP", 3)->isChecked(), ticked);
    QCOMPARE(w.window.Slots().SlotTicked[3], qint16(ticked ? 1 : 0));
    QVERIFY(w.window.close());
    QCOMPARE(temp.stored("Slot", 3), QString(ticked ? "1" : "0")); // repaired on the next save
}

QTEST_MAIN(WindowCloseTest)
#include "WindowCloseTest.moc"
