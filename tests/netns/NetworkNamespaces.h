#pragma once

#include <QString>
#include <QStringList>

// Two network namespaces, "host" and "unit", joined by a veth pair; named uniquely for the run and
// removed again (with the pair) when this goes away.
class NamespacePair
{
public:
    NamespacePair();
    ~NamespacePair();
    NamespacePair(const NamespacePair &) = delete;
    NamespacePair &operator=(const NamespacePair &) = delete;

    // Makes both namespaces; the host end gets hostAddress (with prefix length), the unit end unitMac.
    bool create(const QString &hostAddress, const QString &unitMac);

    // The argument list that runs command inside a namespace through "ip netns exec".
    QStringList inNamespace(const QString &ns, const QStringList &command) const;

    const QString tag;
    const QString hostNs;
    const QString unitNs;
    const QString hostVeth;
    const QString unitVeth;

private:
    bool m_created = false;
};

// Runs "ip" with the arguments and waits for it; gives its output, or an empty text and false.
bool RunIp(const QStringList &arguments, QByteArray *output = nullptr);

// While alive, the calling thread and the processes it starts are in the named namespace.
class EnteredNamespace
{
public:
    explicit EnteredNamespace(const QString &ns);
    ~EnteredNamespace();
    EnteredNamespace(const EnteredNamespace &) = delete;
    EnteredNamespace &operator=(const EnteredNamespace &) = delete;

    bool entered() const { return m_entered; }

private:
    int m_home = -1;
    bool m_entered = false;
};
