#pragma once

#include "SlotCount.h"

#include <QString>
#include <array>

class SettingsStore;

// The values the panes show per slot row and that survive between runs: MAC tail, IP address, port
// (hex text) and tick state. Nothing is validated or normalised on the way to or from the store.
struct SlotTable {
    std::array<QString, SlotCount> SlotMAC;
    std::array<QString, SlotCount> SlotIP;
    std::array<QString, SlotCount> SlotPort;
    std::array<qint16, SlotCount> SlotTicked{};

    // Fills the whole table from the store; absent keys give empty texts and unticked rows.
    void LoadSlotSettings(const SettingsStore &store);
    // Writes all 32 values in one atomic batch, changed or not. Returns false when the store refused.
    bool SaveSlotSettings(SettingsStore &store) const;
};

// The store's text of a tick state as 0 or 1. Anything but 1 (a hand-edited "2", "x", "-1") is unticked.
qint16 TickStateFromText(const QString &text);
