#include "IpPaneTestBed.h"

#include <QFileInfo>
#include <QTest>

using namespace std::chrono_literals;
using Box = FakeOperationView::Box;

namespace
{

const QString EnglishNetworkText = "The network environment of the IP address you want to set was not found. "
                                   "Please check your LAN settings or IP address.";

// A host whose interface 11 ("Ethernet") sits in 192.168.0.0/24, beside loopback and a disconnected Wi-Fi.
void answerLikeWindowsHost(IpPaneTestBed &bed)
{
    bed.fakes.setOutput("netsh interface ip show interface", WindowsSample("netsh-show-interface.txt"));
    bed.fakes.setOutput("netsh interface ip show config 1", WindowsSample("netsh-show-config-1.txt"));
    bed.fakes.setOutput("netsh interface ip show config 11", WindowsSample("netsh-show-config-11.txt"));
    bed.fakes.setOutput("ping", WindowsSample("ping-reply.txt"));
    bed.fakes.setOutput("arp -a", WindowsSample("arp-a.txt"));
}

QByteArray configMentioning(const QByteArray &address)
{
    return "\r\nConfiguration for interface \"Ethernet\"\r\n    IP Address:                           " +
           address + "\r\n\r\n";
}

QByteArray interfaceListing(const QList<QByteArray> &lines)
{
    QByteArray listing = "\r\nIdx     Met         MTU          State                Name\r\n"
                         "---  ----------  ----------  ------------  ---------------------------\r\n";
    for (const QByteArray &line : lines)
        listing += line + "\r\n";
    return listing + "\r\n";
}

} // namespace

// "Set" and "Set All" of the IP pane, with the neighbour command built from stand-in host answers.
class SetOperationsTest : public QObject
{
    Q_OBJECT

private slots:
    void assignmentOnNewerHost();
    void assignmentOnOlderHostUsesArpOnly();
    void hostGetsDecimalOctetsWhileMessagesShowTypedText();
    void unansweredPingLeavesCaptureForNextOperation();
    void addressMissingFromCaptureIsExecError();
    void listingSearchCoversPingOutput();
    void interfaceChoice_data();
    void interfaceChoice();
    void hostFailureIsExecError_data();
    void hostFailureIsExecError();
    void noMatchingNetworkShowsNetworkMessage();
    void macCheck_data();
    void macCheck();
    void setAllBoxFollowsLastTickedRow();
};

void SetOperationsTest::assignmentOnNewerHost()
{
    IpPaneTestBed bed;
    answerLikeWindowsHost(bed);
    bed.setRow(0, "12-34-56", "192.168.0.20"); // unticked: the row's own button runs it all the same

    bed.ops.cmdSet_IP_Click(0);

    QCOMPARE(bed.fakes.commands(),
             QStringList({"arp -d", "netsh interface ip show interface", "netsh interface ip show config 1",
                          "netsh interface ip show config 11",
                          "netsh interface ip set neighbors 11 192.168.0.20 0A-00-3C-12-34-56",
                          "ping 192.168.0.20", "arp -a"}));
    QCOMPARE(bed.fakes.commands(true).count("chcp 437"), 7);
    QCOMPARE(bed.view.log, "<SLOT 0 : Set 0A-00-3C-12-34-56>\r\n" +
                               Indented(WindowsSample("ping-reply.txt") + WindowsSample("arp-a.txt")) +
                               "\r\n\r\n");
    QVERIFY(bed.view.log.contains("\r\n      192.168.0.20          0a-00-3c-12-34-56     static\r\n"));
    QCOMPARE(bed.view.boxes, QList<Box>({{"IP setting is finished.", "Set Command", BoxIcon::Information}}));
    QCOMPARE(bed.view.events, QStringList({"busy", "hourglass", "lock pane 0", "unlock pane 0", "pointer",
                                           "box IP setting is finished.", "idle"}));
    QCOMPARE(bed.view.slotMAC, (QMap<int, QString>{{0, "12-34-56"}}));
    QCOMPARE(bed.view.slotIP, (QMap<int, QString>{{0, "192.168.0.20"}}));
    QVERIFY(!QFileInfo::exists(bed.capturePath()));
}

void SetOperationsTest::assignmentOnOlderHostUsesArpOnly()
{
    IpPaneTestBed bed;
    answerLikeWindowsHost(bed);
    bed.host.major = 5;
    bed.setRow(2, "12-34-56", "192.168.0.20");

    QVERIFY(bed.ops.SetSlotIP("0A-00-3C-12-34-56", "192.168.0.20", 2));

    QCOMPARE(bed.fakes.commands(),
             QStringList({"arp -d", "arp -s 192.168.0.20 0A-00-3C-12-34-56", "ping 192.168.0.20", "arp -a"}));
}

void SetOperationsTest::hostGetsDecimalOctetsWhileMessagesShowTypedText()
{
    IpPaneTestBed bed;
    bed.fakes.setOutput("netsh interface ip show interface",
                        interfaceListing({" 11 25 1500 connected Ethernet"}));
    bed.fakes.setOutput("netsh interface ip show config 11", configMentioning("10.1.2.1"));
    bed.setRow(1, "12-34-56", "010.001.002.003");

    // First without an answer: the box names the address as typed.
    bed.ops.cmdSet_IP_Click(1);
    QCOMPARE(bed.view.boxes,
             QList<Box>({{"SLOT1 010.001.002.003 : IP Set Error!", "Set Command", BoxIcon::Critical}}));

    bed.fakes.setOutput("ping 10.1.2.3", "Reply from 10.1.2.3: bytes=32 time<1ms TTL=64\r\n");
    bed.fakes.setOutput("arp -a", "  10.1.2.3              0a-00-3c-12-34-56     static\r\n");
    bed.view.boxes.clear();
    bed.ops.cmdSet_IP_Click(1);

    QCOMPARE(bed.fakes.commands().mid(5),
             QStringList({"arp -d", "netsh interface ip show interface", "netsh interface ip show config 11",
                          "netsh interface ip set neighbors 11 10.1.2.3 0A-00-3C-12-34-56", "ping 10.1.2.3",
                          "arp -a"}));
    QCOMPARE(bed.view.boxes, QList<Box>({{"IP setting is finished.", "Set Command", BoxIcon::Information}}));
    QCOMPARE(bed.view.slotIP.value(1), "010.001.002.003");
}

void SetOperationsTest::unansweredPingLeavesCaptureForNextOperation()
{
    IpPaneTestBed bed;
    answerLikeWindowsHost(bed);
    bed.fakes.setOutput("ping 192.168.0.21", WindowsSample("ping-timeout.txt"));
    bed.setRow(3, "12-34-57", "192.168.0.21");

    bed.ops.cmdSet_IP_Click(3);

    QCOMPARE(bed.view.boxes,
             QList<Box>({{"SLOT3 192.168.0.21 : IP Set Error!", "Set Command", BoxIcon::Critical}}));
    QVERIFY(bed.view.log.isEmpty());
    QVERIFY(bed.view.slotIP.isEmpty() && bed.view.slotMAC.isEmpty());
    QCOMPARE(bed.fakes.commands().last(), "ping 192.168.0.21");
    QCOMPARE(bed.captureContent(), WindowsSample("ping-timeout.txt"));
    QVERIFY(!bed.view.anyPaneLocked() && !bed.view.hourglass);

    // The next operation removes it before its own command writes.
    bed.fakes.setOutput("Ping 192.168.0.21", WindowsSample("ping-reply.txt"));
    bed.ops.cmdPing_Click(3);
    QVERIFY(!bed.view.log.contains("Request timed out."));
    QVERIFY(!QFileInfo::exists(bed.capturePath()));
}

void SetOperationsTest::addressMissingFromCaptureIsExecError()
{
    IpPaneTestBed bed;
    answerLikeWindowsHost(bed);
    // A reply, but from another address; the neighbour table does not list the unit either.
    bed.fakes.setOutput("ping 192.168.0.30", "\r\nReply from 192.168.0.99: bytes=32 time<1ms TTL=64\r\n");
    bed.setRow(0, "12-34-56", "192.168.0.30");

    bed.ops.cmdSet_IP_Click(0);

    QCOMPARE(bed.view.boxes, QList<Box>({{"SLOT0 : Set Exec Error!", "Set Command", BoxIcon::Critical}}));
    QCOMPARE(bed.view.log,
             "<SLOT 0 : Set 0A-00-3C-12-34-56>\r\n    Reply from 192.168.0.99: bytes=32 time<1ms TTL=64\r\n" +
                 Indented(WindowsSample("arp-a.txt")) + "\r\n\r\n");
    QVERIFY(bed.view.slotIP.isEmpty() && bed.view.slotMAC.isEmpty());
    QVERIFY(!QFileInfo::exists(bed.capturePath()));
}

void SetOperationsTest::listingSearchCoversPingOutput()
{
    IpPaneTestBed bed;
    answerLikeWindowsHost(bed);
    bed.fakes.setOutput("arp -a", "No ARP Entries Found.\r\n");
    bed.setRow(0, "12-34-56", "192.168.0.20");

    QVERIFY(bed.ops.SetSlotIP("0A-00-3C-12-34-56", "192.168.0.20", 0));
    QCOMPARE(bed.view.slotMAC.value(0), "12-34-56");
}

void SetOperationsTest::interfaceChoice_data()
{
    QTest::addColumn<QByteArray>("configOf7");
    QTest::addColumn<QByteArray>("configOf9");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("asked");
    QTest::newRow("second matches") << configMentioning("192.168.5.1") << configMentioning("10.1.2.1") << "9"
                                    << QStringList({"7", "9"});
    QTest::newRow("first match wins")
        << configMentioning("10.1.2.200") << configMentioning("10.1.2.1") << "7" << QStringList({"7"});
    QTest::newRow("prefix inside a longer address")
        << configMentioning("110.1.2.9") << configMentioning("10.1.2.1") << "7" << QStringList({"7"});
    QTest::newRow("gateway line alone")
        << QByteArray("    IP Address:    172.16.0.4\r\n    Default Gateway:    10.1.2.254\r\n")
        << configMentioning("10.1.2.1") << "7" << QStringList({"7"});
}

void SetOperationsTest::interfaceChoice()
{
    QFETCH(QByteArray, configOf7);
    QFETCH(QByteArray, configOf9);
    QFETCH(QString, chosen);
    QFETCH(QStringList, asked);
    IpPaneTestBed bed;
    bed.fakes.setOutput("netsh interface ip show interface",
                        interfaceListing({"  7          25        1500  connected     Ethernet 2",
                                          "  8          35        1500  disconnected  Wi-Fi",
                                          "  9          25        1500  connected     Ethernet 3"}));
    bed.fakes.setOutput("netsh interface ip show config 7", configOf7);
    bed.fakes.setOutput("netsh interface ip show config 8", configMentioning("10.1.2.5"));
    bed.fakes.setOutput("netsh interface ip show config 9", configOf9);
    bed.fakes.setOutput("ping", "Reply from 10.1.2.3: bytes=32 time<1ms TTL=64\r\n");

    QVERIFY(bed.ops.SetSlotIP("0A-00-3C-12-34-56", "10.1.2.3", 0));

    QStringList expected{"arp -d", "netsh interface ip show interface"};
    for (const QString &index : asked)
        expected << "netsh interface ip show config " + index;
    expected << "netsh interface ip set neighbors " + chosen + " 10.1.2.3 0A-00-3C-12-34-56"
             << "ping 10.1.2.3"
             << "arp -a";
    QCOMPARE(bed.fakes.commands(), expected);
}

void SetOperationsTest::hostFailureIsExecError_data()
{
    QTest::addColumn<bool>("captureFolderBroken");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("no connected interface")
        << false << QStringList({"arp -d", "netsh interface ip show interface"});
    QTest::newRow("capture folder cannot be made") << true << QStringList({"arp -d"});
}

void SetOperationsTest::hostFailureIsExecError()
{
    QFETCH(bool, captureFolderBroken);
    QFETCH(QStringList, commands);
    IpPaneTestBed bed;
    bed.fakes.setOutput("netsh interface ip show interface",
                        interfaceListing({" 14          35        1500  disconnected  Wi-Fi"}));
    bed.fakes.setOutput("netsh interface ip show config 14", configMentioning("10.1.2.1"));
    if (captureFolderBroken)
        bed.breakCaptureFolder();
    bed.setRow(6, "12-34-56", "10.1.2.3");

    bed.ops.cmdSet_IP_Click(6);

    QCOMPARE(bed.fakes.commands(), commands);
    QCOMPARE(bed.view.boxes, QList<Box>({{"SLOT6 : Set Exec Error!", "Set Command", BoxIcon::Critical}}));
    QVERIFY(bed.view.log.isEmpty());
    QVERIFY(bed.view.slotIP.isEmpty() && bed.view.slotMAC.isEmpty());
    QVERIFY(!QFileInfo::exists(bed.capturePath()));
    QVERIFY(!bed.view.anyPaneLocked() && !bed.view.hourglass && !bed.view.operationBusy);
}

void SetOperationsTest::noMatchingNetworkShowsNetworkMessage()
{
    IpPaneTestBed bed;
    answerLikeWindowsHost(bed);
    bed.setRow(5, "12-34-56", "10.1.2.3");

    bed.ops.cmdSet_IP_Click(5);

    QCOMPARE(bed.fakes.commands(),
             QStringList({"arp -d", "netsh interface ip show interface", "netsh interface ip show config 1",
                          "netsh interface ip show config 11"}));
    QCOMPARE(bed.view.boxes, QList<Box>({{EnglishNetworkText, "Error", BoxIcon::Exclamation}}));
    QVERIFY(bed.view.log.isEmpty());
    QVERIFY(bed.view.slotIP.isEmpty() && bed.view.slotMAC.isEmpty());
    QVERIFY(!bed.view.anyPaneLocked() && !bed.view.hourglass && !bed.view.operationBusy);
}

void SetOperationsTest::macCheck_data()
{
    QTest::addColumn<QString>("tail");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("usual") << "12-34-56" << true;
    QTest::newRow("no dashes") << "12345678" << true;
    QTest::newRow("lower case hex") << "ab-cd-ef" << true;
    QTest::newRow("seven characters") << "12-34-5" << false;
    QTest::newRow("dash in first group") << "1-234-56" << false;
    QTest::newRow("dash in last group") << "12-34--6" << false;
    QTest::newRow("letter beyond hex") << "12-34-5G" << false;
    QTest::newRow("shell text") << "12;34&56" << false;
    QTest::newRow("blank") << "12 34 56" << false;
}

void SetOperationsTest::macCheck()
{
    QFETCH(QString, tail);
    QFETCH(bool, accepted);
    IpPaneTestBed bed;
    answerLikeWindowsHost(bed);
    bed.setRow(3, tail, "");

    // The IP address is checked after the MAC address.
    bed.ops.cmdSet_IP_Click(3);

    const QString expected = accepted ? "SLOT3 : IP Address Error!" : "SLOT3 : MAC Address Error!";
    QCOMPARE(bed.view.boxes, QList<Box>({{expected, "Data Set", BoxIcon::Critical}}));
    QVERIFY(bed.fakes.commands(true).isEmpty());
    QCOMPARE(bed.view.events, QStringList({"busy", "hourglass", "lock pane 0", "box " + expected,
                                           "unlock pane 0", "pointer", "idle"}));
}

void SetOperationsTest::setAllBoxFollowsLastTickedRow()
{
    IpPaneTestBed bed;
    answerLikeWindowsHost(bed);
    bed.setRow(1, "12-34-51", "192.168.0.20", true);
    bed.setRow(5, "12-34-55", "192.168.0.256", true);

    bed.ops.cmdAllSet_IP_Click();

    QCOMPARE(bed.view.log.count("<SLOT 1 : Set 0A-00-3C-12-34-51>"), 1);
    QCOMPARE(bed.view.log.count("<SLOT"), 1);
    QCOMPARE(bed.view.boxes, QList<Box>({{"SLOT5 : IP Address Error!", "Data Set", BoxIcon::Critical}}));
    QCOMPARE(bed.view.slotMAC, (QMap<int, QString>{{1, "12-34-51"}}));
    QCOMPARE(bed.view.slotIP, (QMap<int, QString>{{1, "192.168.0.20"}}));

    // Row 1 failing and row 5 passing: the run closes with the box.
    bed.setRow(1, "12-34-5", "192.168.0.20", true);
    bed.setRow(5, "12-34-55", "192.168.0.20", true);
    bed.view.boxes.clear();
    bed.ops.cmdAllSet_IP_Click();
    QCOMPARE(bed.view.boxes, QList<Box>({{"SLOT1 : MAC Address Error!", "Data Set", BoxIcon::Critical},
                                         {"IP setting is finished.", "Set Command", BoxIcon::Information}}));
    QCOMPARE(bed.view.slotMAC, (QMap<int, QString>{{1, "12-34-51"}, {5, "12-34-55"}}));
}

QTEST_GUILESS_MAIN(SetOperationsTest)
#include "SetOperationsTest.moc"
