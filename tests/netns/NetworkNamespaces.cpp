#include "NetworkNamespaces.h"

#include <QCoreApplication>
#include <QProcess>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

bool RunIp(const QStringList &arguments, QByteArray *output)
{
    QProcess ip;
    ip.setProcessChannelMode(QProcess::MergedChannels);
    ip.start("ip", arguments);
    const bool ended = ip.waitForFinished(30000);
    const QByteArray text = ip.readAll();
    if (output)
        *output = text;
    if (!ended || ip.exitStatus() != QProcess::NormalExit || ip.exitCode() != 0) {
        qWarning("ip %s failed: %s", qPrintable(arguments.join(' ')), text.constData());
        return false;
    }
    return true;
}

NamespacePair::NamespacePair()
    : tag(QString::number(QCoreApplication::applicationPid())), hostNs("pelip-host-" + tag),
      unitNs("pelip-unit-" + tag), hostVeth("pih" + tag), unitVeth("piu" + tag)
{
}

NamespacePair::~NamespacePair()
{
    if (!m_created)
        return;
    // Deleting a namespace deletes the veth end inside it, and with it the pair.
    RunIp({"netns", "del", hostNs});
    RunIp({"netns", "del", unitNs});
}

QStringList NamespacePair::inNamespace(const QString &ns, const QStringList &command) const
{
    return QStringList{"netns", "exec", ns} + command;
}

bool NamespacePair::create(const QString &hostAddress, const QString &unitMac)
{
    m_created = true;
    return RunIp({"netns", "add", hostNs}) && RunIp({"netns", "add", unitNs}) &&
           RunIp({"link", "add", hostVeth, "netns", hostNs, "type", "veth", "peer", "name", unitVeth, "netns",
                  unitNs}) &&
           RunIp(inNamespace(hostNs, {"ip", "addr", "add", hostAddress, "dev", hostVeth})) &&
           RunIp(inNamespace(hostNs, {"ip", "link", "set", hostVeth, "up"})) &&
           RunIp(inNamespace(unitNs, {"ip", "link", "set", unitVeth, "address", unitMac})) &&
           RunIp(inNamespace(unitNs, {"ip", "link", "set", unitVeth, "up"}));
}

EnteredNamespace::EnteredNamespace(const QString &ns)
{
    m_home = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
    const int target = ::open(qPrintable("/run/netns/" + ns), O_RDONLY | O_CLOEXEC);
    m_entered = m_home >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
    if (target >= 0)
        ::close(target);
}

EnteredNamespace::~EnteredNamespace()
{
    if (m_entered)
        ::setns(m_home, CLONE_NEWNET);
    if (m_home >= 0)
        ::close(m_home);
}
