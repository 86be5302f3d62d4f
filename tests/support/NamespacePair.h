#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

// Two network namespaces made for one test run and removed with this object, joined by a veth pair:
// "host" holds hostCidr on its end, "unit" carries unitMac on its end, both up. All traffic of the
// test stays between them. Needs root.
class NamespacePair
{
public:
    NamespacePair(const QString &hostCidr, const QString &unitMac)
        : tag(QString::number(QCoreApplication::applicationPid())), hostNs("pelns-host-" + tag),
          unitNs("pelns-unit-" + tag), hostVeth("pnh" + tag), unitVeth("pnu" + tag)
    {
        m_ready = ip({"netns", "add", hostNs}) && ip({"netns", "add", unitNs}) &&
                  ip({"link", "add", hostVeth, "netns", hostNs, "type", "veth", "peer", "name", unitVeth,
                      "netns", unitNs}) &&
                  ip(inHost() + QStringList{"ip", "addr", "add", hostCidr, "dev", hostVeth}) &&
                  ip(inHost() + QStringList{"ip", "link", "set", hostVeth, "up"}) &&
                  ip(inUnit() + QStringList{"ip", "link", "set", unitVeth, "address", unitMac, "up"});
    }
    ~NamespacePair()
    {
        ip({"netns", "del", hostNs});
        ip({"netns", "del", unitNs});
    }
    NamespacePair(const NamespacePair &) = delete;
    NamespacePair &operator=(const NamespacePair &) = delete;

    bool ready() const { return m_ready; }
    // What runs a program inside one of the namespaces, as arguments of "ip".
    QStringList inHost() const { return {"netns", "exec", hostNs}; }
    QStringList inUnit() const { return {"netns", "exec", unitNs}; }

    // Runs "ip" with the arguments; false (with a warning) when it fails.
    static bool ip(const QStringList &arguments, QByteArray *output = nullptr)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("ip", arguments);
        const bool ok = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
                        process.exitCode() == 0;
        const QByteArray text = process.readAll();
        if (!ok)
            qWarning("ip %s failed: %s", qPrintable(arguments.join(' ')), text.constData());
        if (output)
            *output = text;
        return ok;
    }

    const QString tag, hostNs, unitNs, hostVeth, unitVeth;

private:
    bool m_ready = false;
};
