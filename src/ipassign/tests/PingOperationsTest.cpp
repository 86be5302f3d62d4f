#include "IpPaneTestBed.h"

#include <QFileInfo>
#include <QTest>

using namespace std::chrono_literals;
using Box = FakeOperationView::Box;

// "Ping" and "Ping All" of the IP pane, with stand-in host commands.
class PingOperationsTest : public QObject
{
    Q_OBJECT

private slots:
    void pingLogsHostOutputAndStoresAddress();
    void unansweredPingStillPasses();
    void hostGetsDecimalOctetsWhileLogShowsTypedText();
    void rejectedAddressRunsNoHostCommand_data();
    void rejectedAddressRunsNoHostCommand();
    void hostFailureEndsInExecError_data();
    void hostFailureEndsInExecError();
    void pingAllBoxFollowsLastTickedRow();
    void pingAllWithNoTickDoesNothing();
};

void PingOperationsTest::pingLogsHostOutputAndStoresAddress()
{
    IpPaneTestBed bed;
    bed.setRow(0, "12-34-56", "192.168.0.20");
    bed.fakes.setOutput("Ping 192.168.0.20", WindowsSample("ping-reply.txt"));

    bed.ops.cmdPing_Click(0);

    QCOMPARE(bed.fakes.commands(true), QStringList({"chcp 437", "arp -d", "chcp 437", "Ping 192.168.0.20"}));
    QCOMPARE(bed.view.log, "<SLOT 0 : Ping 192.168.0.20>\r\n"
                           "    Pinging 192.168.0.20 with 32 bytes of data:\r\n"
                           "    Reply from 192.168.0.20: bytes=32 time<1ms TTL=64\r\n"
                           "    Reply from 192.168.0.20: bytes=32 time<1ms TTL=64\r\n"
                           "    Reply from 192.168.0.20: bytes=32 time<1ms TTL=64\r\n"
                           "    Reply from 192.168.0.20: bytes=32 time<1ms TTL=64\r\n"
                           "    Ping statistics for 192.168.0.20:\r\n"
                           "        Packets: Sent = 4, Received = 4, Lost = 0 (0% loss),\r\n"
                           "    Approximate round trip times in milli-seconds:\r\n"
                           "        Minimum = 0ms, Maximum = 0ms, Average = 0ms\r\n"
                           "\r\n\r\n");
    QCOMPARE(bed.view.boxes, QList<Box>({{"Ping is finished.", "Ping Command", BoxIcon::Information}}));
    QCOMPARE(bed.view.events, QStringList({"busy", "lock pane 0", "hourglass", "unlock pane 0", "pointer",
                                           "box Ping is finished.", "idle"}));
    QCOMPARE(bed.view.slotIP, (QMap<int, QString>{{0, "192.168.0.20"}}));
    QVERIFY(bed.view.slotMAC.isEmpty());
    QVERIFY(!QFileInfo::exists(bed.capturePath()));
}

void PingOperationsTest::unansweredPingStillPasses()
{
    IpPaneTestBed bed;
    bed.setRow(4, "", "192.168.0.21");
    bed.writeLeftoverCapture("Reply from 192.168.0.99: bytes=32 time<1ms TTL=64\r\n");
    bed.fakes.setOutput("Ping 192.168.0.21", WindowsSample("ping-timeout.txt"));

    QVERIFY(bed.ops.PingSlot("192.168.0.21", 4));

    QCOMPARE(bed.view.log,
             "<SLOT 4 : Ping 192.168.0.21>\r\n" + Indented(WindowsSample("ping-timeout.txt")) + "\r\n\r\n");
    QVERIFY(bed.view.log.contains("    Request timed out.\r\n"));
    QVERIFY(!bed.view.log.contains("TTL=")); // the leftover was removed before the ping wrote
    QVERIFY(bed.view.boxes.isEmpty());
    QCOMPARE(bed.view.slotIP.value(4), "192.168.0.21");
}

void PingOperationsTest::hostGetsDecimalOctetsWhileLogShowsTypedText()
{
    IpPaneTestBed bed;
    bed.setRow(3, "", "010.000.000.005");
    bed.fakes.setOutput("Ping 10.0.0.5", WindowsSample("ping-reply.txt"));

    bed.ops.cmdPing_Click(3);

    QCOMPARE(bed.fakes.commands(), QStringList({"arp -d", "Ping 10.0.0.5"}));
    QVERIFY(bed.view.log.startsWith("<SLOT 3 : Ping 010.000.000.005>\r\n    Pinging"));
    QCOMPARE(bed.view.slotIP.value(3), "010.000.000.005");
}

void PingOperationsTest::rejectedAddressRunsNoHostCommand_data()
{
    QTest::addColumn<QString>("ip");
    QTest::newRow("empty") << "";
    QTest::newRow("three octets") << "192.168.0";
    QTest::newRow("octet over 255") << "192.168.0.256";
    QTest::newRow("shell text in an octet") << "1.2.3.4&&x";
}

void PingOperationsTest::rejectedAddressRunsNoHostCommand()
{
    QFETCH(QString, ip);
    IpPaneTestBed bed;
    bed.setRow(2, "12-34-56", ip);

    bed.ops.cmdPing_Click(2);

    QCOMPARE(bed.view.boxes, QList<Box>({{"SLOT2 : IP Address Error!", "Data Set", BoxIcon::Critical}}));
    QVERIFY(bed.fakes.commands(true).isEmpty());
    QVERIFY(bed.view.log.isEmpty());
    QVERIFY(bed.view.slotIP.isEmpty());
    QCOMPARE(bed.view.events,
             QStringList({"busy", "lock pane 0", "hourglass", "box SLOT2 : IP Address Error!", "pointer",
                          "unlock pane 0", "idle"}));
}

void PingOperationsTest::hostFailureEndsInExecError_data()
{
    QTest::addColumn<bool>("captureFolderBroken");
    QTest::newRow("capture folder cannot be made") << true;
    QTest::newRow("ping past the time limit") << false;
}

void PingOperationsTest::hostFailureEndsInExecError()
{
    QFETCH(bool, captureFolderBroken);
    IpPaneTestBed bed;
    bed.setRow(1, "", "10.0.0.9");
    if (captureFolderBroken) {
        bed.breakCaptureFolder();
    } else {
        bed.fakes.setHang("Ping 10.0.0.9");
        bed.runner.setTimeLimit(1s);
    }

    bed.ops.cmdPing_Click(1);

    QCOMPARE(bed.view.boxes, QList<Box>({{"SLOT1 : Ping Exec Error!", "Ping Command", BoxIcon::Critical}}));
    QVERIFY(bed.view.log.isEmpty());
    QVERIFY(bed.view.slotIP.isEmpty());
    QVERIFY(!bed.view.anyPaneLocked());
    QVERIFY(!bed.view.hourglass);
    QVERIFY(!bed.view.operationBusy);
}

void PingOperationsTest::pingAllBoxFollowsLastTickedRow()
{
    IpPaneTestBed bed;
    bed.setRow(0, "", "192.168.0.20", true);
    bed.setRow(3, "", "192.168.0.23", false);
    bed.setRow(7, "", "", true);
    bed.fakes.setOutput("Ping", WindowsSample("ping-reply.txt"));

    bed.ops.cmdAllPing_Click();

    QCOMPARE(bed.fakes.commands(), QStringList({"arp -d", "Ping 192.168.0.20"}));
    QVERIFY(bed.view.log.startsWith("<SLOT 0 : Ping 192.168.0.20>\r\n"));
    QCOMPARE(bed.view.log.count("<SLOT"), 1);
    QCOMPARE(bed.view.boxes, QList<Box>({{"SLOT7 : IP Address Error!", "Data Set", BoxIcon::Critical}}));
    QCOMPARE(bed.view.slotIP, (QMap<int, QString>{{0, "192.168.0.20"}}));

    // With the last ticked row pinged, the run closes with the box, once.
    bed.setRow(7, "", "192.168.0.27", true);
    bed.view.boxes.clear();
    bed.ops.cmdAllPing_Click();
    QCOMPARE(bed.fakes.commands().mid(2),
             QStringList({"arp -d", "Ping 192.168.0.20", "arp -d", "Ping 192.168.0.27"}));
    QCOMPARE(bed.view.boxes, QList<Box>({{"Ping is finished.", "Ping Command", BoxIcon::Information}}));
}

void PingOperationsTest::pingAllWithNoTickDoesNothing()
{
    IpPaneTestBed bed;
    bed.setRow(0, "", "192.168.0.20", false);

    bed.ops.cmdAllPing_Click();

    QVERIFY(bed.fakes.commands(true).isEmpty());
    QVERIFY(bed.view.boxes.isEmpty());
    QCOMPARE(bed.view.events, QStringList({"busy", "idle"}));
}

QTEST_GUILESS_MAIN(PingOperationsTest)
#include "PingOperationsTest.moc"
