#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The POSIX host adapters as shipped, run directly. Only commands that read the host's state or
// touch loopback run here; the ones that change the neighbour table run in the namespace test.
class HostAdaptersTest : public QObject
{
    Q_OBJECT

private slots:
    void codePageMessage();
    void loopbackPingLooksLikeWindows();
    void interfaceListingNamesIndexAndState();
    void configurationNamesAddressesOnLinesOfTheirOwn();
    void argumentsAreNeverEvaluated_data();
    void argumentsAreNeverEvaluated();

private:
    struct Result {
        int exitCode;
        QByteArray out;
    };
    static Result run(const QString &adapter, const QStringList &arguments);
};

HostAdaptersTest::Result HostAdaptersTest::run(const QString &adapter, const QStringList &arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(IPASSIGN_HOSTCMD_DIR) + "/" + adapter, arguments);
    if (!process.waitForFinished(30000))
        qFatal("%s did not end", qPrintable(adapter));
    return {process.exitCode(), process.readAllStandardOutput()};
}

void HostAdaptersTest::codePageMessage()
{
    const Result result = run("chcp", {"437"});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray("Active code page: 437\r\n"));
}

void HostAdaptersTest::loopbackPingLooksLikeWindows()
{
    for (const char *name : {"ping", "Ping"}) {
        const Result result = run(name, {"127.000.000.001"});
        QVERIFY(result.out.startsWith("\r\nPinging 127.0.0.1 with 32 bytes of data:\r\n"));
        const QRegularExpression reply("^Reply from 127\\.0\\.0\\.1: bytes=32 time(<1|=\\d+)ms TTL=64\r$",
                                       QRegularExpression::MultilineOption);
        QCOMPARE(QString::fromLatin1(result.out).count(reply), 4);
        QVERIFY(result.out.contains("\r\nPing statistics for 127.0.0.1:\r\n"
                                    "    Packets: Sent = 4, Received = 4, Lost = 0 (0% loss),\r\n"
                                    "Approximate round trip times in milli-seconds:\r\n"));
        QVERIFY(!QByteArray(result.out).replace("\r\n", "").contains('\n'));
    }
}

void HostAdaptersTest::interfaceListingNamesIndexAndState()
{
    const Result result = run("netsh", {"interface", "ip", "show", "interface"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(
        result.out.startsWith("\r\nIdx     Met         MTU          State                Name\r\n"
                              "---  ----------  ----------  ------------  ---------------------------\r\n"));
    QVERIFY2(QRegularExpression("\r\n  1          75  +\\d+  connected     lo\r\n")
                 .match(QString::fromLatin1(result.out))
                 .hasMatch(),
             result.out.constData());
}

void HostAdaptersTest::configurationNamesAddressesOnLinesOfTheirOwn()
{
    const Result result = run("netsh", {"interface", "ip", "show", "config", "1"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.contains("\r\nConfiguration for interface \"lo\"\r\n"));
    QVERIFY(result.out.contains("\r\n    IP Address:                           127.0.0.1\r\n"));
    QVERIFY(result.out.contains(
        "\r\n    Subnet Prefix:                        127.0.0.0/8 (mask 255.0.0.0)\r\n"));
}

void HostAdaptersTest::argumentsAreNeverEvaluated_data()
{
    QTest::addColumn<QString>("adapter");
    QTest::addColumn<QStringList>("arguments");
    const QString touch = "$(touch @)";
    QTest::newRow("ping address") << "ping" << QStringList{"127.0.0.1;touch @"};
    QTest::newRow("ping substitution") << "Ping" << QStringList{touch};
    QTest::newRow("ping octet over 255") << "ping" << QStringList{"127.0.0.256"};
    QTest::newRow("ping with option") << "ping" << QStringList{"-f", "127.0.0.1"};
    QTest::newRow("arp -s address") << "arp" << QStringList{"-s", "`touch @`", "0A-00-3C-12-34-56"};
    QTest::newRow("arp -s mac") << "arp" << QStringList{"-s", "127.0.0.9", "0A-00-3C-12-34-5$(touch @)"};
    QTest::newRow("arp -d address") << "arp" << QStringList{"-d", "127.0.0.9|touch @"};
    QTest::newRow("show config index")
        << "netsh" << QStringList{"interface", "ip", "show", "config", "1;touch @"};
    QTest::newRow("set neighbors index")
        << "netsh"
        << QStringList{"interface", "ip", "set", "neighbors", touch, "127.0.0.9", "0A-00-3C-12-34-56"};
    QTest::newRow("set neighbors mac")
        << "netsh"
        << QStringList{"interface", "ip", "set", "neighbors", "1", "127.0.0.9", "0A-00-3C-12345678"};
    QTest::newRow("chcp") << "chcp" << QStringList{"437;touch @"};
}

void HostAdaptersTest::argumentsAreNeverEvaluated()
{
    QFETCH(QString, adapter);
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    const QString marker = dir.path() + "/evaluated";
    arguments.replaceInStrings("@", marker);

    const Result result = run(adapter, arguments);

    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.out.isEmpty());
    QVERIFY(!QFileInfo::exists(marker));
}

QTEST_GUILESS_MAIN(HostAdaptersTest)
#include "HostAdaptersTest.moc"
