#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

#include <cstdio>

#include <memory>
#include <vector>

// Factory-fresh units for the benchmark, each a qv512-sim in a network namespace of its own, joined by
// veth pairs to a bridge (the switch) in a namespace of its own, to which the host namespace is joined by
// one veth pair holding 198.51.100.1/24: as a technician's computer is cabled to a switch with the units
// behind it, so that the host lists two interfaces, not one per unit. Unit i has MAC
// 0A-00-3C-5E-<i as XX-XX> and takes the address of the first ping sent to it. All of it is made for
// one run and removed with this object. Needs root.
class FreshUnitFarm
{
    const QString m_tag; // first: the names below are made from it

public:
    const QString hostNs;

    explicit FreshUnitFarm(int count, const QString &simProgram)
        : m_tag(QString::number(QCoreApplication::applicationPid())), hostNs("pelbench-host-" + m_tag),
          m_switchNs("pelbench-switch-" + m_tag)
    {
        const QString bridge = "pbbr" + m_tag, hostEnd = "pbhost" + m_tag, switchEnd = "pbuplink" + m_tag;
        m_ready = ip({"netns", "add", hostNs}) && ip({"netns", "add", m_switchNs}) &&
                  ip({"-n", m_switchNs, "link", "add", bridge, "type", "bridge"}) &&
                  ip({"-n", m_switchNs, "link", "set", bridge, "up"}) &&
                  ip({"link", "add", hostEnd, "netns", hostNs, "type", "veth", "peer", "name", switchEnd,
                      "netns", m_switchNs}) &&
                  ip({"-n", m_switchNs, "link", "set", switchEnd, "master", bridge, "up"}) &&
                  ip({"-n", hostNs, "addr", "add", "198.51.100.1/24", "dev", hostEnd}) &&
                  ip({"-n", hostNs, "link", "set", hostEnd, "up"});
        for (int i = 0; i < count && m_ready; ++i) {
            const QString unitNs = QString("pelbench-u%1-%2").arg(i).arg(m_tag);
            const QString switchPort = QString("pb%1s%2").arg(i).arg(m_tag),
                          unitEnd = QString("pb%1u%2").arg(i).arg(m_tag);
            m_unitNs << unitNs;
            m_ready = ip({"netns", "add", unitNs}) &&
                      ip({"link", "add", switchPort, "netns", m_switchNs, "type", "veth", "peer", "name",
                          unitEnd, "netns", unitNs}) &&
                      ip({"-n", m_switchNs, "link", "set", switchPort, "master", bridge, "up"}) &&
                      ip({"-n", unitNs, "link", "set", unitEnd, "address", macColons(i), "up"});
            auto sim = std::make_unique<QProcess>();
            sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            sim->start("ip", {"netns", "exec", unitNs, simProgram, "--fresh-unit", unitEnd, "--mac",
                              macTail(i).prepend("0A-00-3C-"), "2710"});
            m_watching << "watching " + unitEnd.toLatin1();
            m_sims.push_back(std::move(sim));
            m_said.emplace_back();
        }
    }
    ~FreshUnitFarm()
    {
        for (const auto &sim : m_sims)
            sim->kill(), sim->waitForFinished(5000);
        for (const QString &ns : m_unitNs)
            ip({"netns", "del", ns});
        ip({"netns", "del", m_switchNs});
        ip({"netns", "del", hostNs});
    }
    FreshUnitFarm(const FreshUnitFarm &) = delete;
    FreshUnitFarm &operator=(const FreshUnitFarm &) = delete;

    // Every namespace made and every simulated unit watching its interface.
    bool ready()
    {
        const QDeadlineTimer deadline(30000);
        for (std::size_t i = 0; m_ready && i < m_sims.size(); ++i) {
            while (!m_said[i].contains(m_watching[qsizetype(i)])) {
                if (deadline.hasExpired() || !m_sims[i]->waitForReadyRead(int(deadline.remainingTime())))
                    return false;
                m_said[i] += m_sims[i]->readAllStandardOutput();
            }
        }
        return m_ready;
    }
    // The plan row fields of unit i: its address and MAC tail as the plan writes them.
    static QString address(int i) { return QString("198.51.100.%1").arg(10 + i); }
    static QString macTail(int i)
    {
        return QString("5E-%1-%2")
            .arg(0x7A + i / 256, 2, 16, QChar('0'))
            .arg(i % 256, 2, 16, QChar('0'))
            .toUpper();
    }

private:
    static QString macColons(int i) { return macTail(i).prepend("0A-00-3C-").replace('-', ':').toLower(); }
    static bool ip(const QStringList &arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("ip", arguments);
        const bool ok = process.waitForFinished(30000) && process.exitCode() == 0;
        if (!ok)
            std::fprintf(stderr, "bench_batch: ip %s: %s", qPrintable(arguments.join(' ')),
                         process.readAll().constData());
        return ok;
    }

    const QString m_switchNs;
    bool m_ready = false;
    QStringList m_unitNs;
    QList<QByteArray> m_watching;
    std::vector<std::unique_ptr<QProcess>> m_sims;
    std::vector<QByteArray> m_said;
};
