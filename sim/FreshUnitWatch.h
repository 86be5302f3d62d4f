#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QSocketNotifier;

// A factory-fresh unit on the Ethernet level: it has no IPv4 address until the first ICMP echo
// request sent to its MAC address arrives, and then takes that request's destination address onto
// its interface, so that the kernel answers the pings that follow.
class FreshUnitWatch : public QObject
{
    Q_OBJECT

public:
    FreshUnitWatch(const QString &interfaceName, const QByteArray &mac, int prefixLength,
                   QObject *parent = nullptr);
    ~FreshUnitWatch() override;

    // Starts watching the interface; false with a reason when that is not possible here.
    bool start(QString *error);

signals:
    void addressTaken(const QHostAddress &address);
    void failed(const QString &reason);

private:
    void readFrames();
    bool takeAddress(quint32 address, QString *error);
    void stopWatching();

    QString m_interfaceName;
    QByteArray m_mac;
    int m_prefixLength;
    int m_packetSocket = -1;
    QSocketNotifier *m_notifier = nullptr;
};
