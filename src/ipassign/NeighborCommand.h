#pragma once

#include <QString>
#include <QStringList>

class HostChecks;
class HostShell;

// The command that gives the host a static neighbour entry mapping hostIp (decimal dotted form) to mac.
// Older hosts get "arp -s"; newer ones "netsh interface ip set neighbors" on the first connected
// interface whose configuration mentions the address's network. Gives "" after showing the network
// message when no interface matches; throws HostStepFailed when no interface is connected or a host
// step fails.
QString MakeNeighborCmd(HostShell &shell, HostChecks &hostChecks, const QString &hostIp, const QString &mac);

// Whether a line of an interface's configuration holds an address that begins with prefix ("10.1.2."):
// the prefix must start a whole dotted address, so 110.1.2.9 is not in 10.1.2.
bool ConfigNamesNetwork(const QStringList &configLines, const QString &prefix);

// The interface tokens of the connected interfaces of an interface listing, in line order: each line's
// first field with the one blank after it.
QStringList ConnectedInterfaceTokens(const QStringList &listingLines);
