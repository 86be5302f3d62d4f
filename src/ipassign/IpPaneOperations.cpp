#include "IpPaneOperations.h"

#include "AddressValidation.h"
#include "CaptureFile.h"
#include "HostAddressText.h"
#include "HostChecks.h"
#include "HostCommandLines.h"
#include "NeighborCommand.h"
#include "OperationView.h"

#include <algorithm>
#include <exception>

namespace
{

const QString DataSetTitle = QStringLiteral("Data Set");
const QString PingTitle = QStringLiteral("Ping Command");
const QString SetTitle = QStringLiteral("Set Command");

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

void IpPaneOperations::showSlotError(int slot, const QString &what, const QString &title)
{
    m_view.showMessageBox("SLOT" + QString::number(slot) + what, title, BoxIcon::Critical);
}

void IpPaneOperations::cmdPing_Click(int slot)
{
    RunSlotButton(m_view, slot, pingProcedure(), pingCompletion());
}

void IpPaneOperations::cmdAllPing_Click()
{
    RunAllTickedButton(m_view, Pane::IP, pingProcedure(), pingCompletion());
}

void IpPaneOperations::cmdSet_IP_Click(int slot)
{
    RunSlotButton(m_view, slot, setProcedure(), setCompletion());
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
    return [this] { m_view.showMessageBox("Ping is finished.", PingTitle, BoxIcon::Information); };
}

CompletionBox IpPaneOperations::setCompletion()
{
    return [this] { m_view.showMessageBox("IP setting is finished.", SetTitle, BoxIcon::Information); };
}

bool IpPaneOperations::PingSlot(const QString &ip, int slot)
{
    m_view.setPaneEnabled(Pane::IP, false);
    m_view.setHourglass(true);

    const QString ipCode = ConvIPAddr(ip);
    if (ipCode.size() != 12) {
        showSlotError(slot, " : IP Address Error!", DataSetTitle);
        pointerThenUnlock();
        return false;
    }

    try {
        const QString capture = m_shell.PrepCaptureFile();
        m_shell.ExecShellCmd(NeighborTableClearCommand());
        m_shell.ExecCaptured(UnitPingCommand(HostIPAddr(ipCode)), capture);
        const QString report = ReadCaptureReport(capture);
        m_view.appendLog(logBlock("<SLOT " + QString::number(slot) + " : Ping " + ip + ">", report));
        HostShell::DelFileIfExists(capture);
        m_view.storeSlotIP(slot, ip);
    } catch (const std::exception &) {
        showSlotError(slot, " : Ping Exec Error!", PingTitle);
        pointerThenUnlock();
        return false;
    }

    m_view.setPaneEnabled(Pane::IP, true);
    m_view.setHourglass(false);
    return true;
}

bool IpPaneOperations::SetSlotIP(const QString &mac, const QString &ip, int slot)
{
    m_view.setHourglass(true);
    m_view.setPaneEnabled(Pane::IP, false);

    bool passed = false;
    const QString ipCode = ConvIPAddr(ip);
    if (!IsSlotMACAddress(mac)) {
        showSlotError(slot, " : MAC Address Error!", DataSetTitle);
    } else if (ipCode.size() != 12 || m_hostChecks.IsRefusedUnitAddress(HostIPAddr(ipCode))) {
        showSlotError(slot, " : IP Address Error!", DataSetTitle);
    } else {
        try {
            passed = assignAddress(mac, ip, HostIPAddr(ipCode), slot);
        } catch (const std::exception &) {
            showSlotError(slot, " : Set Exec Error!", SetTitle);
        }
    }

    unlockRow();
    return passed;
}

bool IpPaneOperations::assignAddress(const QString &mac, const QString &ip, const QString &hostIp, int slot)
{
    m_shell.ExecShellCmd(NeighborTableClearCommand());
    const QString capture = m_shell.PrepCaptureFile();

    const QString neighborCmd = MakeNeighborCmd(m_shell, m_hostChecks, hostIp, mac);
    if (neighborCmd.isEmpty())
        return false;
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
        showSlotError(slot, " " + ip + " : IP Set Error!", SetTitle);
        return false;
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
    return true;
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
