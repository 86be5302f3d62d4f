#pragma once

// The slot rows of the window ("SLOT 0" to "SLOT 7"), each with its controls, settings and table entry.
inline constexpr int SlotCount = 8;
