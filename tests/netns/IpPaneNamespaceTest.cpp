// The IP pane in the real window, through the real host adapters, against a simulated factory-fresh
// unit in a network namespace of its own. Needs root; all traffic stays between two namespaces made here.

#include "FakeOperationView.h"
#include "HostChecks.h"
#include "IpPaneOperations.h"
#include "MainWindow.h"
#include "NamespacePair.h"
#include "SettingsStore.h"
#include "platform/CommandRunner.h"
#include "platform/HostQuestions.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

class IpPaneNamespaceTest : public QObject
{
    Q_OBJECT

private slots:
    void setThenPingFreshUnit();
};

void IpPaneNamespaceTest::setThenPingFreshUnit()
{
    const QString bin = qEnvironmentVariable("PELMORA2_BIN_DIR");
    if (::geteuid() != 0)
        QSKIP("needs root to make network namespaces and a veth pair");
    if (!QFileInfo(bin + "/qv512-sim").isExecutable() || !QFileInfo(bin + "/hostcmd/netsh").isExecutable())
        QSKIP("qv512-sim or the host adapters are not built yet in PELMORA2_BIN_DIR");
    const QString unitIp = "198.51.100.20";
    NamespacePair ns("198.51.100.1/24", "0a:00:3c:5e:7a:01");
    QVERIFY(ns.ready());
    QProcess unit;
    unit.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    unit.start("ip", ns.inUnit() + QStringList{bin + "/qv512-sim", "--fresh-unit", ns.unitVeth, "--mac",
                                               "0A-00-3C-5E-7A-01", "2710"});
    const auto stopUnit = qScopeGuard([&] { unit.kill(), unit.waitForFinished(5000); });
    QByteArray unitSays;
    connect(&unit, &QProcess::readyReadStandardOutput, this,
            [&] { unitSays += unit.readAllStandardOutput(); });
    QTRY_VERIFY_WITH_TIMEOUT(unitSays.contains("watching " + ns.unitVeth.toLatin1()), 10000);

    QTemporaryDir settings, runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SettingsStore store(settings.path());
    frmPelmora2 window(store);
    FakeOperationView boxes;
    window.setMessageBoxes(&boxes);
    const auto host = CreateHostQuestions();
    HostChecks hostChecks(*host, window);
    QVERIFY(window.Form_Load(hostChecks));
    CommandRunner runner;
    runner.setAdapterFolder((bin + "/hostcmd").toStdString());
    IpPaneOperations ipPane(window, hostChecks, runner);
    connect(&window, &frmPelmora2::cmdSet_IP_Click, this, [&](int i) { ipPane.cmdSet_IP_Click(i); });
    connect(&window, &frmPelmora2::cmdPing_Click, this, [&](int i) { ipPane.cmdPing_Click(i); });
    window.show();
    auto *macTail = window.findChild<QLineEdit *>("txtMCAddr[0]");
    auto *ipField = window.findChild<QLineEdit *>("txtIPAddr_IP[0]");
    QVERIFY(macTail && ipField);
    macTail->clear();
    ipField->clear();
    QTest::keyClicks(macTail, "5E-7A-01");
    QTest::keyClicks(ipField, unitIp);

    // The host commands run in the host namespace.
    const int home = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
    const int hostNsFd = ::open(qPrintable("/run/netns/" + ns.hostNs), O_RDONLY | O_CLOEXEC);
    QVERIFY(::setns(hostNsFd, CLONE_NEWNET) == 0);
    const auto goHome = qScopeGuard([&] { ::setns(home, CLONE_NEWNET), ::close(home), ::close(hostNsFd); });

    // The window keeps answering while the host commands run, with the pane locked and closing refused.
    auto *setButton = window.findChild<QPushButton *>("cmdSet_IP[0]");
    bool lockedWhileRunning = false;
    QTimer::singleShot(300, this,
                       [&] { lockedWhileRunning = !setButton->isEnabled() && window.OperationBusy(); });
    QTest::mouseClick(setButton, Qt::LeftButton);

    using Box = FakeOperationView::Box;
    QCOMPARE(boxes.boxes, QList<Box>({{"IP setting is finished.", "Set Command", BoxIcon::Information}}));
    QVERIFY(lockedWhileRunning && setButton->isEnabled());
    const QString setLog = window.logText();
    QVERIFY2(setLog.startsWith("<SLOT 0 : Set 0A-00-3C-5E-7A-01>\r\n    Pinging " + unitIp),
             qPrintable(setLog));
    const QRegularExpression reply("    Reply from " + QRegularExpression::escape(unitIp) +
                                   ": bytes=32 time(<1|=\\d+)ms TTL=64\r\n");
    QVERIFY(setLog.count(reply) >= 1);
    QVERIFY(setLog.contains(QRegularExpression("\r\n    Interface: 198\\.51\\.100\\.1 --- 0x[0-9a-f]+\r\n")));
    QVERIFY(setLog.contains("\r\n      " + unitIp + "         0a-00-3c-5e-7a-01     static\r\n\r\n\r\n"));
    QCOMPARE(window.Slots().SlotMAC[0], "5E-7A-01");
    QCOMPARE(window.Slots().SlotIP[0], unitIp);
    QTRY_VERIFY_WITH_TIMEOUT(unitSays.contains("address " + unitIp.toLatin1()), 5000);
    QByteArray neighbour;
    QVERIFY(NamespacePair::ip({"neigh", "show", unitIp, "dev", ns.hostVeth}, &neighbour));
    QVERIFY2(neighbour.contains("lladdr 0a:00:3c:5e:7a:01 PERMANENT"), neighbour.constData());

    QTest::mouseClick(window.findChild<QPushButton *>("cmdPing[0]"), Qt::LeftButton);

    QCOMPARE(boxes.boxes.last(), (Box{"Ping is finished.", "Ping Command", BoxIcon::Information}));
    const QString pingLog = window.logText().mid(setLog.size());
    QVERIFY2(pingLog.startsWith("<SLOT 0 : Ping " + unitIp + ">\r\n"), qPrintable(pingLog));
    QCOMPARE(pingLog.count(reply), 4);
}

QTEST_MAIN(IpPaneNamespaceTest)
#include "IpPaneNamespaceTest.moc"
