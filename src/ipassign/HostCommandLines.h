#pragma once

#include <QString>

// The host command lines of the IP pane, as given to the command interpreter (before any redirection
// into the capture file). hostIp is the decimal dotted form, mac the whole 17-character MAC address,
// interfaceToken an interface field with the one blank that follows it in the listing.

QString NeighborTableClearCommand();                       // arp -d
QString NeighborTableListCommand();                        // arp -a
QString NeighborEntryRemoveCommand(const QString &hostIp); // arp -d <ip>
QString UnitPingCommand(const QString &hostIp);            // the Ping button's ping
QString AssignmentPingCommand(const QString &hostIp);      // the Set button's ping
QString InterfaceListCommand();
QString InterfaceConfigCommand(const QString &interfaceToken);
// The static neighbour entry: "arp -s" before major version 6, netsh on the interface from then on.
QString ArpNeighborCommand(const QString &hostIp, const QString &mac);
QString NetshNeighborCommand(const QString &interfaceToken, const QString &hostIp, const QString &mac);
