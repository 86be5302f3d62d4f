// Each of the window's twelve operation buttons and its tick boxes reach their own pane's operation.
#include "WindowRig.h"

class ButtonWiringTest : public QObject
{
    Q_OBJECT

private slots:
    void everyButtonRunsItsOwnOperation_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("tick");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("slot"); // -1: the pane's bottom button, over the ticked slot 0
        QTest::addColumn<QString>("box");
        // Empty fields: each operation stops at its first check, with its own box, before any host or unit.
        // The row's button on slot 0, then the pane's bottom button over the ticked slot 0.
        const auto rows = [](const char *menu, const char *tick, const char *button, const char *allButton,
                             const QString &box) {
            QTest::addRow("%s[0]", button) << menu << tick << button << 0 << box;
            QTest::addRow("%s", allButton) << menu << tick << allButton << -1 << box;
        };
        const QString dataSet = "Critical Data Set: SLOT0 : ", ipError = "SLOT 0 : IP Address Error!";
        rows("mnuIP", "chkSlot_IP", "cmdSet_IP", "cmdAllSet_IP", dataSet + "MAC Address Error!");
        rows("mnuIP", "chkSlot_IP", "cmdPing", "cmdAllPing", dataSet + "IP Address Error!");
        rows("mnuPort", "chkSlot_Port", "cmdSet_Port", "cmdAllSet_Port", "Critical Set Port: " + ipError);
        rows("mnuGateWay", "chkSlot_GW", "cmdSet_GW", "cmdAllSet_GW", "Critical Set GW Addr: " + ipError);
        rows("mnuSubnet", "chkSlot_Sub", "cmdSet_Sub", "cmdAllSet_Subnet",
             "Critical Set Subnet Mask: " + ipError);
        rows("mnuComCheck", "chkSlot_ComCheck", "cmdComCheck", "cmdAllComCheck",
             "Critical Communication Check: " + ipError);
    }
    void everyButtonRunsItsOwnOperation()
    {
        QFETCH(QString, menu);
        QFETCH(QString, tick);
        QFETCH(QString, button);
        QFETCH(int, slot);
        WindowRig rig;
        rig.menu(qPrintable(menu));
        // The pane's own tick box sets the tick that its bottom button goes by.
        rig.click(qPrintable(tick), 0);
        QVERIFY(rig.window.Slots().SlotTicked[0] == 1);
        rig.click(qPrintable(button), slot);
        QTEST(rig.boxes.shown.join('\n'), "box");
    }
};

QTEST_MAIN(ButtonWiringTest)
#include "ButtonWiringTest.moc"
