#include "NeighborCommand.h"

#include "CaptureFile.h"
#include "HostAddressText.h"
#include "HostChecks.h"
#include "HostCommandLines.h"
#include "HostShell.h"
#include "InterfaceListing.h"

namespace
{

// The capture's lines as the listing reader takes them.
std::vector<std::string> captureLines(const QString &capture)
{
    std::vector<std::string> lines;
    for (const QString &line : ReadCaptureLines(capture))
        lines.push_back(line.toStdString());
    return lines;
}

QStringList listConnectedInterfaces(HostShell &shell)
{
    const QString capture = shell.PrepCaptureFile();
    shell.ExecCaptured(InterfaceListCommand(), capture);
    QStringList tokens;
    for (const std::string &token : ConnectedInterfaceTokens(captureLines(capture)))
        tokens.append(QString::fromStdString(token));
    HostShell::DelFile(capture);
    return tokens;
}

bool interfaceConfigMentions(HostShell &shell, const QString &token, const QString &prefix)
{
    const QString capture = shell.PrepCaptureFile();
    shell.ExecCaptured(InterfaceConfigCommand(token), capture);
    const bool found = ConfigNamesNetwork(captureLines(capture), prefix.toStdString());
    HostShell::DelFile(capture);
    return found;
}

} // namespace

QString MakeNeighborCmd(HostShell &shell, HostChecks &hostChecks, const QString &hostIp, const QString &mac)
{
    if (!hostChecks.IsWinVer6OrLater())
        return ArpNeighborCommand(hostIp, mac);

    const QStringList interfaces = listConnectedInterfaces(shell);
    const QString prefix = NetworkPrefix(hostIp);
    if (interfaces.isEmpty())
        throw HostStepFailed("no connected interface");

    for (const QString &token : interfaces) {
        if (interfaceConfigMentions(shell, token, prefix))
            return NetshNeighborCommand(token, hostIp, mac);
    }
    hostChecks.ShowNoNetworkMsg();
    return {};
}
