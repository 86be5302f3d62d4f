#include "NeighborCommand.h"

#include "CaptureFile.h"
#include "HostAddressText.h"
#include "HostChecks.h"
#include "HostCommandLines.h"
#include "HostShell.h"

namespace
{

// The token goes into a command line: only what an interface index or plain name is made of.
bool isPlainToken(const QString &field)
{
    if (field.isEmpty())
        return false;
    for (const QChar c : field) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           c == '.' || c == '_' || c == '-' || c == ':';
        if (!plain)
            return false;
    }
    return true;
}

QStringList listConnectedInterfaces(HostShell &shell)
{
    const QString capture = shell.PrepCaptureFile();
    shell.ExecCaptured(InterfaceListCommand(), capture);
    QStringList tokens = ConnectedInterfaceTokens(ReadCaptureLines(capture));
    HostShell::DelFile(capture);
    return tokens;
}

bool interfaceConfigMentions(HostShell &shell, const QString &token, const QString &prefix)
{
    const QString capture = shell.PrepCaptureFile();
    shell.ExecCaptured(InterfaceConfigCommand(token), capture);
    const bool found = ConfigNamesNetwork(ReadCaptureLines(capture), prefix);
    HostShell::DelFile(capture);
    return found;
}

} // namespace

QStringList ConnectedInterfaceTokens(const QStringList &listingLines)
{
    QStringList tokens;
    for (const QString &line : listingLines) {
        if (!line.contains(" connected"))
            continue;
        qsizetype first = 0;
        while (first < line.size() && line.at(first) == ' ')
            ++first;
        const qsizetype blank = line.indexOf(' ', first);
        if (blank < 0)
            continue;
        const QString field = line.mid(first, blank - first);
        if (isPlainToken(field))
            tokens.append(field + ' ');
    }
    return tokens;
}

bool ConfigNamesNetwork(const QStringList &configLines, const QString &prefix)
{
    for (const QString &line : configLines) {
        for (qsizetype at = line.indexOf(prefix); at >= 0; at = line.indexOf(prefix, at + 1)) {
            const QChar before = at > 0 ? line.at(at - 1) : QChar(' ');
            if (!before.isDigit() && before != '.')
                return true;
        }
    }
    return false;
}

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
