// A factory-fresh unit on the Ethernet level, between two network namespaces joined by a veth
// pair: the simulator takes the address of the first ping sent to its MAC address, the kernel
// answers the pings, and the console serves on that address. Needs root.

#include "SimHarness.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace
{

const QString UnitIp = QStringLiteral("192.0.2.20");
const QString HostAddress = QStringLiteral("192.0.2.1/24");
const QString UnitMac = QStringLiteral("0A-00-3C-12-34-56");
const QString UnitMacLinux = QStringLiteral("0a:00:3c:12:34:56");

bool runCommand(const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("ip"), arguments);
    const bool finished = process.waitForFinished(20000);
    const QByteArray text = process.readAll();
    if (output)
        *output = text;
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("ip %s: %s", qPrintable(arguments.join(' ')), text.constData());
        return false;
    }
    return true;
}

// Two namespaces named for this run, removed again however the test ends.
struct NamespacePair {
    const QString tag = QString::number(QCoreApplication::applicationPid());
    const QString hostNs = QStringLiteral("qvsim-host-") + tag;
    const QString unitNs = QStringLiteral("qvsim-unit-") + tag;
    const QString hostVeth = QStringLiteral("qvh") + tag;
    const QString unitVeth = QStringLiteral("qvu") + tag;

    ~NamespacePair()
    {
        QProcess::execute(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("del"), hostNs});
        QProcess::execute(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("del"), unitNs});
    }

    QStringList in(const QString &ns, const QStringList &command) const
    {
        return QStringList{QStringLiteral("netns"), QStringLiteral("exec"), ns} + command;
    }

    bool create() const
    {
        const QString ip = QStringLiteral("ip");
        return runCommand({"netns", "add", hostNs}) && runCommand({"netns", "add", unitNs}) &&
               runCommand({"link", "add", hostVeth, "type", "veth", "peer", "name", unitVeth}) &&
               runCommand({"link", "set", hostVeth, "netns", hostNs}) &&
               runCommand({"link", "set", unitVeth, "netns", unitNs}) &&
               runCommand(in(hostNs, {ip, "addr", "add", HostAddress, "dev", hostVeth})) &&
               runCommand(in(hostNs, {ip, "link", "set", hostVeth, "up"})) &&
               runCommand(in(unitNs, {ip, "link", "set", unitVeth, "address", UnitMacLinux})) &&
               runCommand(in(unitNs, {ip, "link", "set", unitVeth, "up"}));
    }
};

// While alive, sockets this thread creates belong to the named namespace.
class NamespaceScope
{
public:
    explicit NamespaceScope(const QString &ns)
    {
        m_original = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        const int target = ::open(qPrintable(QStringLiteral("/run/netns/") + ns), O_RDONLY | O_CLOEXEC);
        m_entered = m_original >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
        if (target >= 0)
            ::close(target);
    }
    ~NamespaceScope()
    {
        if (m_entered)
            ::setns(m_original, CLONE_NEWNET);
        if (m_original >= 0)
            ::close(m_original);
    }
    NamespaceScope(const NamespaceScope &) = delete;
    NamespaceScope &operator=(const NamespaceScope &) = delete;

    bool entered() const { return m_entered; }

private:
    int m_original = -1;
    bool m_entered = false;
};

} // namespace

class FreshUnitTest : public QObject
{
    Q_OBJECT

private slots:
    void takesAddressOfFirstPingAndServesConsole();
};

void FreshUnitTest::takesAddressOfFirstPingAndServesConsole()
{
    if (::geteuid() != 0)
        QSKIP("needs root to create network namespaces and a veth pair");

    NamespacePair net;
    QVERIFY(net.create());

    SimProcess sim;
    QVERIFY(sim.start(net.in(net.unitNs, {SimProcess::binary(), "--fresh-unit", net.unitVeth, "--mac",
                                          UnitMac, "--prefix-len", "24", "2710"}),
                      QStringLiteral("ip"), QStringLiteral("watching ") + net.unitVeth));

    QVERIFY(runCommand(net.in(net.hostNs, {"ip", "neigh", "replace", UnitIp, "lladdr", UnitMacLinux, "dev",
                                           net.hostVeth, "nud", "permanent"})));
    QByteArray pingOutput;
    // ping ends with 0 when at least one reply came back (the first request only gives the address).
    const bool answered = runCommand(net.in(net.hostNs, {"ping", "-c", "3", "-W", "1", UnitIp}), &pingOutput);
    QVERIFY2(answered, pingOutput.constData());
    QVERIFY2(pingOutput.contains("bytes from " + UnitIp.toLatin1()), pingOutput.constData());

    QVERIFY(sim.waitForLine(QStringLiteral("address ") + UnitIp));
    QVERIFY(sim.waitForLine(QStringLiteral("READY")));
    QCOMPARE(sim.port(0), quint16(0x2710));
    QByteArray addresses;
    QVERIFY(runCommand(net.in(net.unitNs, {"ip", "-4", "addr", "show", "dev", net.unitVeth}), &addresses));
    QVERIFY2(addresses.contains("inet " + UnitIp.toLatin1() + "/24"), addresses.constData());

    UnitClient client;
    {
        NamespaceScope scope(net.hostNs);
        QVERIFY(scope.entered());
        client.socket.connectToHost(UnitIp, 0x2710);
    }
    QVERIFY(client.socket.waitForConnected(5000));
    QVERIFY(client.attach());
}

QTEST_GUILESS_MAIN(FreshUnitTest)
#include "tst_fresh_unit.moc"
