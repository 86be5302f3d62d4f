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
