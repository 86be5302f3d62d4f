#include "FreshUnitWatch.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>

namespace
{

constexpr size_t EthernetHeaderLength = 14;
constexpr unsigned char IcmpProtocol = 1;
constexpr unsigned char IcmpEchoRequest = 8;

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

// The destination IPv4 address (host order) of an ICMP echo request framed for mac.
std::optional<quint32> echoRequestTarget(const unsigned char *frame, size_t length, const QByteArray &mac)
{
    if (length < EthernetHeaderLength + 20 || std::memcmp(frame, mac.constData(), 6) != 0)
        return std::nullopt;
    if (frame[12] != 0x08 || frame[13] != 0x00)
        return std::nullopt;
    const unsigned char *ip = frame + EthernetHeaderLength;
    const size_t ipHeaderLength = static_cast<size_t>(ip[0] & 0x0F) * 4;
    const bool firstFragment = ((ip[6] & 0x1F) | ip[7]) == 0;
    if ((ip[0] >> 4) != 4 || ipHeaderLength < 20 || !firstFragment || ip[9] != IcmpProtocol)
        return std::nullopt;
    if (length < EthernetHeaderLength + ipHeaderLength + 8 || ip[ipHeaderLength] != IcmpEchoRequest)
        return std::nullopt;
    return (quint32(ip[16]) << 24) | (quint32(ip[17]) << 16) | (quint32(ip[18]) << 8) | quint32(ip[19]);
}

bool setInterfaceAddress(const QString &interfaceName, unsigned long request, quint32 value, QString *error)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = systemError("socket");
        return false;
    }
    ifreq ifr{};
    const QByteArray name = interfaceName.toLocal8Bit();
    std::strncpy(ifr.ifr_name, name.constData(), IFNAMSIZ - 1);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(value);
    std::memcpy(&ifr.ifr_addr, &address, sizeof address);
    const bool ok = ::ioctl(fd, request, &ifr) == 0;
    if (!ok)
        *error = systemError(request == SIOCSIFADDR ? "SIOCSIFADDR" : "SIOCSIFNETMASK");
    ::close(fd);
    return ok;
}

// The interface's own MAC address: the kernel answers the pings only when it is the unit's.
QByteArray interfaceMac(const QString &interfaceName, QString *error)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = systemError("socket");
        return {};
    }
    ifreq ifr{};
    const QByteArray name = interfaceName.toLocal8Bit();
    std::strncpy(ifr.ifr_name, name.constData(), IFNAMSIZ - 1);
    QByteArray mac;
    if (::ioctl(fd, SIOCGIFHWADDR, &ifr) == 0)
        mac = QByteArray(ifr.ifr_hwaddr.sa_data, 6);
    else
        *error = systemError("SIOCGIFHWADDR");
    ::close(fd);
    return mac;
}

} // namespace

FreshUnitWatch::FreshUnitWatch(const QString &interfaceName, const QByteArray &mac, int prefixLength,
                               QObject *parent)
    : QObject(parent), m_interfaceName(interfaceName), m_mac(mac), m_prefixLength(prefixLength)
{
}

FreshUnitWatch::~FreshUnitWatch()
{
    stopWatching();
}

bool FreshUnitWatch::start(QString *error)
{
    const unsigned int interfaceIndex = if_nametoindex(m_interfaceName.toLocal8Bit().constData());
    if (interfaceIndex == 0) {
        *error = systemError("no such interface");
        return false;
    }
    const QByteArray ownMac = interfaceMac(m_interfaceName, error);
    if (ownMac.isEmpty())
        return false;
    if (ownMac != m_mac) {
        *error = QStringLiteral(
                     "its MAC address is %1, not the unit's %2: set it first (ip link set %3 address ...)")
                     .arg(QString::fromLatin1(ownMac.toHex('-').toUpper()),
                          QString::fromLatin1(m_mac.toHex('-').toUpper()), m_interfaceName);
        return false;
    }
    m_packetSocket = ::socket(AF_PACKET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, htons(ETH_P_IP));
    if (m_packetSocket < 0) {
        *error = systemError("AF_PACKET socket (needs root)");
        return false;
    }
    sockaddr_ll link{};
    link.sll_family = AF_PACKET;
    link.sll_protocol = htons(ETH_P_IP);
    link.sll_ifindex = static_cast<int>(interfaceIndex);
    if (::bind(m_packetSocket, reinterpret_cast<const sockaddr *>(&link), sizeof link) != 0) {
        *error = systemError("bind to interface");
        stopWatching();
        return false;
    }
    m_notifier = new QSocketNotifier(m_packetSocket, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FreshUnitWatch::readFrames);
    return true;
}

void FreshUnitWatch::readFrames()
{
    unsigned char frame[2048];
    for (;;) {
        const ssize_t length = ::recv(m_packetSocket, frame, sizeof frame, 0);
        if (length < 0)
            return; // drained (EAGAIN) or a passing error: wait for the next notification
        const auto target = echoRequestTarget(frame, static_cast<size_t>(length), m_mac);
        if (!target)
            continue;
        stopWatching();
        QString error;
        if (takeAddress(*target, &error))
            emit addressTaken(QHostAddress(*target));
        else
            emit failed(error);
        return;
    }
}

bool FreshUnitWatch::takeAddress(quint32 address, QString *error)
{
    const quint32 mask = m_prefixLength == 0 ? 0 : ~quint32(0) << (32 - m_prefixLength);
    return setInterfaceAddress(m_interfaceName, SIOCSIFADDR, address, error) &&
           setInterfaceAddress(m_interfaceName, SIOCSIFNETMASK, mask, error);
}

void FreshUnitWatch::stopWatching()
{
    if (m_notifier) {
        // May run inside the notifier's own signal: let the event loop delete it.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_packetSocket >= 0)
        ::close(m_packetSocket);
    m_packetSocket = -1;
}
