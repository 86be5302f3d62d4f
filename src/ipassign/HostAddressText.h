#pragma once

#include <QString>

// The forms of a slot's addresses that the host commands and their output searches use.

// The address up to and including its last "." (192.168.0.20 -> 192.168.0.).
QString NetworkPrefix(const QString &dottedAddress);

// The first three groups of every unit's MAC address, the same for all units; the user gives the tail.
inline constexpr char SlotMACPrefix[] = "0A-00-3C";

// A slot's MAC address: 17 characters of hex digits and "-", with no "-" inside the three groups of
// the MAC tail (positions 10-11, 13-14, 16-17).
bool IsSlotMACAddress(const QString &mac);

// The MAC tail of a slot's MAC address: its last 8 characters.
QString MACTail(const QString &mac);
