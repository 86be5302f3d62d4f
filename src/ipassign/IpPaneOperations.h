#pragma once

#include <QString>

class OperationView;
class HostChecks;
class CommandRunner;

// The IP pane's operations: ping a unit, give a unit its IP address by a static neighbour entry.
class IpPaneOperations
{
public:
    IpPaneOperations(OperationView &view, HostChecks &hostChecks, CommandRunner &runner);

    void cmdPing_Click(int slot);
    void cmdAllPing_Click();
    void cmdSet_IP_Click(int slot);
    void cmdAllSet_IP_Click();

    bool PingSlot(const QString &ip, int slot);
    bool SetSlotIP(const QString &mac, const QString &ip, int slot);

private:
    OperationView &m_view;
    HostChecks &m_hostChecks;
    CommandRunner &m_runner;
};
