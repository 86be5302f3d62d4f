#include "HostCommandLines.h"

QString NeighborTableClearCommand()
{
    return QStringLiteral("arp -d");
}

QString NeighborEntryRemoveCommand(const QString &hostIp)
{
    return "arp -d " + hostIp;
}

QString NeighborTableListCommand()
{
    return QStringLiteral("arp -a");
}

// The two buttons spell the command word differently; the host's interpreter does not mind.
QString UnitPingCommand(const QString &hostIp)
{
    return "Ping " + hostIp;
}

QString AssignmentPingCommand(const QString &hostIp)
{
    return "ping " + hostIp;
}

QString InterfaceListCommand()
{
    return QStringLiteral("netsh interface ip show interface");
}

QString InterfaceConfigCommand(const QString &interfaceToken)
{
    return "netsh interface ip show config " + interfaceToken;
}

QString ArpNeighborCommand(const QString &hostIp, const QString &mac)
{
    return "arp -s " + hostIp + " " + mac;
}

QString NetshNeighborCommand(const QString &interfaceToken, const QString &hostIp, const QString &mac)
{
    return "netsh interface ip set neighbors " + interfaceToken + " " + hostIp + " " + mac;
}
