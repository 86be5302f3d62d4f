#pragma once

#include "HostShell.h"
#include "OperationButtons.h"

#include <QString>

class OperationView;
class HostChecks;
class CommandRunner;

// The IP pane's operations: ping a unit, give a unit its IP address by a static neighbour entry.
class IpPaneOperations
{
public:
    IpPaneOperations(OperationView &view, HostChecks &hostChecks, CommandRunner &runner);

    // The row buttons give how their slot ended.
    SlotOutcome cmdPing_Click(int slot);
    void cmdAllPing_Click();
    SlotOutcome cmdSet_IP_Click(int slot);
    void cmdAllSet_IP_Click();

    SlotOutcome PingSlot(const QString &ip, int slot);
    // The program is ending: the running host command ends, nothing else starts, the capture file goes.
    void AbandonHostWork() { m_shell.AbandonHostWork(); }
    // For operations that run beside others in one process: a capture file of their own.
    void setCaptureFileName(const QString &name) { m_shell.setCaptureFileName(name); }
    SlotOutcome SetSlotIP(const QString &mac, const QString &ip, int slot);

private:
    SlotProcedure pingProcedure();
    SlotProcedure setProcedure();
    CompletionBox pingCompletion();
    CompletionBox setCompletion();

    // The row's MAC prefix, "-" and MAC tail.
    QString slotMACAddress(int slot) const;
    QString slotIPAddress(int slot) const;
    // The row's host work once its entries passed; throws on the failures that end in "Set Exec Error!".
    SlotOutcome assignAddress(const QString &mac, const QString &ip, const QString &hostIp, int slot);
    // The box "SLOT<n> : <error>" ("SLOT<n> <ip> : <error>" when an address is named); the outcome's
    // text is the box's without the slot.
    SlotOutcome showSlotError(int slot, const QString &ip, const QString &error, const QString &title);
    // A ping's failure paths restore the pointer before unlocking; every other way out unlocks first.
    void pointerThenUnlock();
    void unlockRow();

    OperationView &m_view;
    HostChecks &m_hostChecks;
    HostShell m_shell;
};
