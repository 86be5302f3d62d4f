#pragma once

class OperationView;
class RemoteConsole;

// The four console operations over one common per-slot frame.
enum class ConsoleOp { ComCheck, SetPort, SetGW, SetSubnet };

class ConsoleOperations
{
public:
    ConsoleOperations(OperationView &view, RemoteConsole &console);

    // The row button of a pane: runs the slot whether or not it is ticked.
    void runSlotButton(ConsoleOp op, int slot);
    // The bottom button of a pane: every ticked slot of that pane, 0 to 7.
    void runAllTicked(ConsoleOp op);

    bool ComCheckSlot(int slot);
    bool SetPortSlot(int slot);
    bool SetGWSlot(int slot);
    bool SetSubnetSlot(int slot);

private:
    OperationView &m_view;
    RemoteConsole &m_console;
};
