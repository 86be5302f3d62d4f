// The IP pane in the real window, through the real host adapters, against a simulated factory-fresh
// unit in a network namespace of its own. Needs root; all traffic stays between the two namespaces.

#include "HostChecks.h"
#include "IpPaneOperations.h"
#include "MainWindow.h"
#include "NetworkNamespaces.h"
#include "SettingsStore.h"
#include "platform/CommandRunner.h"
#include "platform/HostQuestions.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace
{

const QString UnitIp = "198.51.100.20";
const QString HostAddress = "198.51.100.1/24";
const QString UnitMacTail = "5E-7A-01";
const QString UnitMac = "0A-00-3C-" + UnitMacTail;

struct RecordedBox {
    QString text;
    QString title;
    BoxIcon icon;
    bool operator==(const RecordedBox &) const = default;
};

class RecordingBoxes : public MessageBoxes
{
public:
    void showMessageBox(const QString &text, const QString &title, BoxIcon icon) override
    {
        boxes.append({text, title, icon});
    }
    QList<RecordedBox> boxes;
};

QString binDir()
{
    return qEnvironmentVariable("PELMORA2_BIN_DIR");
}

} // namespace

class IpPaneNamespaceTest : public QObject
{
    Q_OBJECT

private slots:
    void setThenPingFreshUnit();
    void arpDeleteDropsOnlyLearnedEntries();

private:
    static QString skipReason();
};

QString IpPaneNamespaceTest::skipReason()
{
    if (::geteuid() != 0)
        return "needs root to make network namespaces and a veth pair";
    if (binDir().isEmpty() || !QFileInfo(binDir() + "/qv512-sim").isExecutable())
        return "qv512-sim is not built yet in PELMORA2_BIN_DIR";
    return {};
}

void IpPaneNamespaceTest::setThenPingFreshUnit()
{
    if (const QString reason = skipReason(); !reason.isEmpty())
        QSKIP(qPrintable(reason));
    const QString sim = binDir() + "/qv512-sim";
    QVERIFY2(QFileInfo(binDir() + "/hostcmd/netsh").isExecutable(),
             "host adapters missing next to the program");

    NamespacePair net;
    QVERIFY(net.create(HostAddress, UnitMac.toLower().replace('-', ':')));

    QProcess unit;
    unit.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    unit.start("ip",
               net.inNamespace(net.unitNs, {sim, "--fresh-unit", net.unitVeth, "--mac", UnitMac, "2710"}));
    QByteArray unitSays;
    connect(&unit, &QProcess::readyReadStandardOutput, this,
            [&] { unitSays += unit.readAllStandardOutput(); });
    QTRY_VERIFY_WITH_TIMEOUT(unitSays.contains("watching " + net.unitVeth.toLatin1()), 10000);

    QTemporaryDir settings;
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    SettingsStore store(settings.path());
    frmPelmora2 window(store);
    RecordingBoxes boxes;
    window.setMessageBoxes(&boxes);
    const auto host = CreateHostQuestions();
    HostChecks hostChecks(*host, window);
    QVERIFY(window.Form_Load(hostChecks));
    CommandRunner runner;
    runner.setAdapterFolder((binDir() + "/hostcmd").toStdString());
    IpPaneOperations ipPane(window, hostChecks, runner);
    connect(&window, &frmPelmora2::cmdSet_IP_Click, this, [&](int i) { ipPane.cmdSet_IP_Click(i); });
    connect(&window, &frmPelmora2::cmdPing_Click, this, [&](int i) { ipPane.cmdPing_Click(i); });
    window.show();

    auto *macTail = window.findChild<QLineEdit *>("txtMCAddr[0]");
    auto *ipField = window.findChild<QLineEdit *>("txtIPAddr_IP[0]");
    auto *setButton = window.findChild<QPushButton *>("cmdSet_IP[0]");
    auto *pingButton = window.findChild<QPushButton *>("cmdPing[0]");
    QVERIFY(macTail && ipField && setButton && pingButton);
    macTail->clear();
    ipField->clear();
    QTest::keyClicks(macTail, UnitMacTail);
    QTest::keyClicks(ipField, UnitIp);

    EnteredNamespace inHost(net.hostNs);
    QVERIFY(inHost.entered());

    // The window keeps answering while the host commands run, with the pane locked and closing refused.
    bool lockedWhileRunning = false;
    QTimer::singleShot(300, this,
                       [&] { lockedWhileRunning = !setButton->isEnabled() && window.OperationBusy(); });
    QTest::mouseClick(setButton, Qt::LeftButton);

    QCOMPARE(boxes.boxes,
             QList<RecordedBox>({{"IP setting is finished.", "Set Command", BoxIcon::Information}}));
    QVERIFY(lockedWhileRunning);
    QVERIFY(setButton->isEnabled());
    const QString setLog = window.logText();
    QVERIFY2(setLog.startsWith("<SLOT 0 : Set " + UnitMac + ">\r\n    Pinging " + UnitIp +
                               " with 32 bytes of data:\r\n"),
             qPrintable(setLog));
    const QRegularExpression reply("    Reply from " + QRegularExpression::escape(UnitIp) +
                                   ": bytes=32 time(<1|=\\d+)ms TTL=64\r\n");
    QVERIFY2(setLog.count(reply) >= 1, qPrintable(setLog));
    QVERIFY2(setLog.contains(QRegularExpression("\r\n    Interface: 198\\.51\\.100\\.1 --- 0x[0-9a-f]+\r\n")),
             qPrintable(setLog));
    QVERIFY2(setLog.contains("\r\n      " + UnitIp + "         0a-00-3c-5e-7a-01     static\r\n"),
             qPrintable(setLog));
    QVERIFY(setLog.endsWith("\r\n\r\n\r\n"));
    QCOMPARE(window.Slots().SlotMAC[0], UnitMacTail);
    QCOMPARE(window.Slots().SlotIP[0], UnitIp);
    QTRY_VERIFY_WITH_TIMEOUT(unitSays.contains("address " + UnitIp.toLatin1()), 5000);
    QByteArray neighbour;
    QVERIFY(RunIp({"neigh", "show", UnitIp, "dev", net.hostVeth}, &neighbour));
    QVERIFY2(neighbour.contains("lladdr 0a:00:3c:5e:7a:01 PERMANENT"), neighbour.constData());

    QTest::mouseClick(pingButton, Qt::LeftButton);

    QCOMPARE(boxes.boxes.last(), (RecordedBox{"Ping is finished.", "Ping Command", BoxIcon::Information}));
    const QString pingLog = window.logText().mid(setLog.size());
    QVERIFY2(pingLog.startsWith("<SLOT 0 : Ping " + UnitIp + ">\r\n"), qPrintable(pingLog));
    QCOMPARE(pingLog.count(reply), 4);
    QVERIFY(RunIp({"neigh", "show", UnitIp, "dev", net.hostVeth}, &neighbour));
    QVERIFY2(neighbour.contains("PERMANENT"), neighbour.constData()); // the ping's "arp -d" keeps it
    QVERIFY(pingLog.contains("        Packets: Sent = 4, Received = 4, Lost = 0 (0% loss),\r\n"));

    qInfo().noquote() << "log window:\n" << window.logText();
    unit.kill();
    unit.waitForFinished(5000);
}

// Windows clears the whole table; here the learned entries go, while static entries, addresses and
// routes stay.
void IpPaneNamespaceTest::arpDeleteDropsOnlyLearnedEntries()
{
    if (::geteuid() != 0)
        QSKIP("needs root to make network namespaces and a veth pair");
    QVERIFY2(QFileInfo(binDir() + "/hostcmd/arp").isExecutable(),
             "host adapters missing next to the program");
    NamespacePair net;
    QVERIFY(net.create(HostAddress, "0a:00:3c:00:00:01"));
    const auto inHost = [&](const QStringList &command) { return net.inNamespace(net.hostNs, command); };
    QVERIFY(RunIp(inHost({"ip", "neigh", "add", "198.51.100.5", "lladdr", "02:00:00:00:00:05", "dev",
                          net.hostVeth, "nud", "stale"})));
    QVERIFY(RunIp(inHost({"ip", "neigh", "add", "198.51.100.6", "lladdr", "02:00:00:00:00:06", "dev",
                          net.hostVeth, "nud", "permanent"})));

    QVERIFY(RunIp(inHost({binDir() + "/hostcmd/arp", "-d"})));

    QByteArray state;
    QVERIFY(RunIp(inHost({"ip", "-4", "neigh", "show"}), &state));
    QVERIFY2(!state.contains("198.51.100.5 "), state.constData());
    QVERIFY2(
        state.contains("198.51.100.6 dev " + net.hostVeth.toLatin1() + " lladdr 02:00:00:00:00:06 PERMANENT"),
        state.constData());
    QVERIFY(RunIp(inHost({"ip", "-4", "addr", "show", "dev", net.hostVeth}), &state));
    QVERIFY(state.contains("inet " + HostAddress.toLatin1()));
    QVERIFY(RunIp(inHost({"ip", "-4", "route", "show"}), &state));
    QVERIFY2(state.contains("198.51.100.0/24 dev " + net.hostVeth.toLatin1()), state.constData());
}

QTEST_MAIN(IpPaneNamespaceTest)
#include "IpPaneNamespaceTest.moc"
