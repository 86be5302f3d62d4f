#pragma once

#include "MessageBoxes.h"

#include <QString>

// The five alternative views of the main window.
enum class Pane { IP, Port, GW, Sub, ComCheck };

// The per-slot entry fields of the panes, named after their control arrays.
enum class Field {
    MAC,             // txtMAC: the read-only MAC prefix of the IP pane
    MCAddr,          // txtMCAddr: the MAC tail
    IPAddr_IP,       // txtIPAddr_IP
    IPAddr_Port,     // txtIPAddr_Port
    Port_Port,       // txtPort_Port
    NewPort,         // txtNewPort
    IPAddr_GW,       // txtIPAddr_GW
    Port_GW,         // txtPort_GW
    GateWay,         // txtGateWay
    IPAddr_Sub,      // txtIPAddr_Sub
    Port_Sub,        // txtPort_Sub
    SubnetMask,      // txtSubnetMask
    IPAddr_ComCheck, // txtIPAddr_ComCheck
    Port_ComCheck,   // txtPort_ComCheck
};

// How one slot of an operation ended: passed with the operation's completion text, or failed with the
// text its box shows after the slot ("" when it failed without a box).
struct SlotOutcome {
    bool passed = false;
    QString text;
};

// What an operation sees of the main window while it works on slot rows: the fields and tick boxes of
// its pane, the log window, the pane lock, the mouse pointer, the busy flag and the slot table.
class OperationView : public MessageBoxes
{
public:
    virtual QString fieldText(Field field, int slot) const = 0;
    virtual void setFieldText(Field field, int slot, const QString &text) = 0;
    // The value of the pane's own tick box of that slot row: true when it is 1 (ticked).
    virtual bool slotTicked(Pane pane, int slot) const = 0;

    // Appends text at the end of the log window and puts the caret at the end of the text.
    virtual void appendLog(const QString &text) = 0;

    // SetPaneEnabled: the pane's buttons, tick boxes, text fields and the six menu items.
    virtual void setPaneEnabled(Pane pane, bool enabled) = 0;
    // The hourglass (wait cursor) on the main window, or the default pointer.
    virtual void setHourglass(bool on) = 0;
    // OperationBusy: while true the main window refuses to close.
    virtual void setOperationBusy(bool busy) = 0;

    // The slot table columns an operation may change.
    virtual void storeSlotMAC(int slot, const QString &macTail) = 0;
    virtual void storeSlotIP(int slot, const QString &ip) = 0;
    virtual void storeSlotPort(int slot, const QString &port) = 0;
};
