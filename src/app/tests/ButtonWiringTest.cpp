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
        const auto row = [](const char *menu, const char *tick, const char *button, int slot,
                            const char *box) {
            QTest::addRow("%s%s", button, slot < 0 ? "" : "[0]") << menu << tick << button << slot << box;
        };
        const char *macError = "Critical Data Set: SLOT0 : MAC Address Error!";
        const char *ipError = "Critical Data Set: SLOT0 : IP Address Error!";
        row("mnuIP", "chkSlot_IP", "cmdSet_IP", 0, macError);
        row("mnuIP", "chkSlot_IP", "cmdAllSet_IP", -1, macError);
        row("mnuIP", "chkSlot_IP", "cmdPing", 0, ipError);
        row("mnuIP", "chkSlot_IP", "cmdAllPing", -1, ipError);
        row("mnuPort", "chkSlot_Port", "cmdSet_Port", 0, "Critical Set Port: SLOT 0 : IP Address Error!");
        row("mnuPort", "chkSlot_Port", "cmdAllSet_Port", -1, "Critical Set Port: SLOT 0 : IP Address Error!");
        row("mnuGateWay", "chkSlot_GW", "cmdSet_GW", 0, "Critical Set GW Addr: SLOT 0 : IP Address Error!");
        row("mnuGateWay", "chkSlot_GW", "cmdAllSet_GW", -1,
            "Critical Set GW Addr: SLOT 0 : IP Address Error!");
        row("mnuSubnet", "chkSlot_Sub", "cmdSet_Sub", 0,
            "Critical Set Subnet Mask: SLOT 0 : IP Address Error!");
        row("mnuSubnet", "chkSlot_Sub", "cmdAllSet_Subnet", -1,
            "Critical Set Subnet Mask: SLOT 0 : IP Address Error!");
        row("mnuComCheck", "chkSlot_ComCheck", "cmdComCheck", 0,
            "Critical Communication Check: SLOT 0 : IP Address Error!");
        row("mnuComCheck", "chkSlot_ComCheck", "cmdAllComCheck", -1,
            "Critical Communication Check: SLOT 0 : IP Address Error!");
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
