#include "IpPaneOperations.h"

#include "AddressValidation.h"
#include "CaptureFile.h"
#include "HostAddressText.h"
#include "HostChecks.h"
#include "HostCommandLines.h"
#include "HostLogging.h"
#include "NeighborCommand.h"
#include "OperationView.h"

#include <algorithm>
#include <exception>

namespace
{

const QString DataSetTitle = QStringLiteral("Data Set");
const QString PingTitle = QStringLiteral("Ping Command");
const QString SetTitle = QStringLiteral("Set Command");
const QString PingFinished = QStringLiteral("Ping is finished.");
const QString SetFinished = QStringLiteral("IP setting is finished.");

// Ends a slot row's log block: the host output, then two empty lines.
QString logBlock(const QString &header, const QString &report)
{
    return header + "\r\n" + report + "\r\n\r\n";
}

} // namespace

IpPaneOperations::IpPaneOperations(OperationView &view, HostChecks &hostChecks, CommandRunner &runner)
    : m_view(view), m_hostChecks(hostChecks), m_shell(runner)
{
}

QString IpPaneOperations::slotMACAddress(int slot) const
{
    return m_view.fieldText(Field::MAC, slot) + "-" + m_view.fieldText(Field::MCAddr, slot);
}

QString IpPaneOperations::slotIPAddress(int slot) const
{
    return m_view.fieldText(Field::IPAddr_IP, slot);
}

SlotOutcome IpPaneOperations::showSlotError(int slot, const QString &ip, const QString &error,
                                            const QString &title)
{
    const QString text = ip.isEmpty() ? error : ip + " : " + error;
    m_view.showMessageBox("SLOT" + QString::number(slot) + (ip.isEmpty() ? " : " : " ") + text, title,
                          BoxIcon::Critical);
    return {false, text};
}

SlotOutcome IpPaneOperations::cmdPing_Click(int slot)
{
    return RunSlotButton(m_view, slot, pingProcedure(), pingCompletion());
}

void IpPaneOperations::cmdAllPing_Click()
{
    RunAllTickedButton(m_view, Pane::IP, pingProcedure(), pingCompletion());
}

SlotOutcome IpPaneOperations::cmdSet_IP_Click(int slot)
{
    return RunSlotButton(m_view, slot, setProcedure(), setCompletion());
}

void IpPaneOperations::cmdAllSet_IP_Click()
{
    RunAllTickedButton(m_view, Pane::IP, setProcedure(), setCompletion());
}

SlotProcedure IpPaneOperations::pingProcedure()
{
    return [this](int slot) { return PingSlot(slotIPAddress(slot), slot); };
}

SlotProcedure IpPaneOperations::setProcedure()
{
    return [this](int slot) { return SetSlotIP(slotMACAddress(slot), slotIPAddress(slot), slot); };
}

CompletionBox IpPaneOperations::pingCompletion()
{
    return [this] { m_view.showMessageBox(PingFinished, PingTitle, BoxIcon::Information); };
}

CompletionBox IpPaneOperations::setCompletion()
{
    return [this] { m_view.showMessageBox(SetFinished, SetTitle, BoxIcon::Information); };
}

SlotOutcome IpPaneOperations::PingSlot(const QString &ip, int slot)
{
    m_view.setPaneEnabled(Pane::IP, false);
    m_view.setHourglass(true);

    const QString ipCode = ConvIPAddr(ip);
    if (ipCode.size() != 12) {
        const SlotOutcome failed = showSlotError(slot, {}, "IP Address Error!", DataSetTitle);
        pointerThenUnlock();
        return failed;
    }

    try {
        const QString capture = m_shell.PrepCaptureFile();
        m_shell.ExecShellCmd(NeighborTableClearCommand());
        m_shell.ExecCaptured(UnitPingCommand(decimalDottedAddress(ip)), capture);
        const QString report = ReadCaptureReport(capture);
        m_view.appendLog(logBlock("<SLOT " + QString::number(slot) + " : Ping " + ip + ">", report));
        HostShell::DelFileIfExists(capture);
        m_view.storeSlotIP(slot, ip);
    } catch (const std::exception &failure) {
        qCDebug(lcHostCommands) << "slot" << slot << "ping:" << failure.what();
        const SlotOutcome failed = showSlotError(slot, {}, "Ping Exec Error!", PingTitle);
        pointerThenUnlock();
        return failed;
    }

    m_view.setPaneEnabled(Pane::IP, true);
    m_view.setHourglass(false);
    return {true, PingFinished};
}

SlotOutcome IpPaneOperations::SetSlotIP(const QString &mac, const QString &ip, int slot)
{
    m_view.setHourglass(true);
    m_view.setPaneEnabled(Pane::IP, false);

    SlotOutcome outcome;
    const QString ipCode = ConvIPAddr(ip);
    if (!IsSlotMACAddress(mac)) {
        outcome = showSlotError(slot, {}, "MAC Address Error!", DataSetTitle);
    } else if (ipCode.size() != 12 || m_hostChecks.IsRefusedUnitAddress(decimalDottedAddress(ip))) {
        outcome = showSlotError(slot, {}, "IP Address Error!", DataSetTitle);
    } else {
        try {
            outcome = assignAddress(mac, ip, decimalDottedAddress(ip), slot);
        } catch (const std::exception &failure) {
            qCDebug(lcHostCommands) << "slot" << slot << "set:" << failure.what();
            outcome = showSlotError(slot, {}, "Set Exec Error!", SetTitle);
        }
    }

    unlockRow();
    return outcome;
}

SlotOutcome IpPaneOperations::assignAddress(const QString &mac, const QString &ip, const QString &hostIp,
                                            int slot)
{
    m_shell.ExecShellCmd(NeighborTableClearCommand());
    const QString capture = m_shell.PrepCaptureFile();

    const QString neighborCmd = MakeNeighborCmd(m_shell, m_hostChecks, hostIp, mac);
    if (neighborCmd.isEmpty())
        return {false, m_hostChecks.noNetworkText()};
    m_shell.ExecShellCmd(neighborCmd);

    m_shell.ExecCaptured(AssignmentPingCommand(hostIp), capture);
    if (!CaptureHasLine(capture, "TTL=")) {
        // No unit answered: the static entry would only mislead the host's traffic to that address.
        try {
            m_shell.ExecShellCmd(NeighborEntryRemoveCommand(hostIp));
        } catch (const HostStepFailed &) {
            // The box below still tells what failed; the entry's removal is a courtesy to the host.
        }
        // The capture stays for a look at what the ping said; the next operation removes it.
        return showSlotError(slot, ip, "IP Set Error!", SetTitle);
    }

    m_shell.ExecCaptured(NeighborTableListCommand(), capture);
    const QStringList lines = ReadCaptureLines(capture);
    const bool listed =
        std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) { return line.contains(hostIp); });
    m_view.appendLog(
        logBlock("<SLOT " + QString::number(slot) + " : Set " + mac + ">", CaptureReport(lines)));
    HostShell::DelFileIfExists(capture);

    if (!listed)
        throw HostStepFailed("the address is not in the neighbour table");
    m_view.storeSlotMAC(slot, MACTail(mac));
    m_view.storeSlotIP(slot, ip);
    return {true, SetFinished};
}

void IpPaneOperations::pointerThenUnlock()
{
    m_view.setHourglass(false);
    m_view.setPaneEnabled(Pane::IP, true);
}

void IpPaneOperations::unlockRow()
{
    m_view.setPaneEnabled(Pane::IP, true);
    m_view.setHourglass(false);
}
