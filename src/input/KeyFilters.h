#pragma once

#include <QtGlobal>

// Keystroke filters. Each sees the code of one typed character before it is inserted and leaves it,
// replaces it, or sets it to 0 (swallowed). Backspace arrives as 8.
using KeyRule = void (*)(qint16 &keyAscii);

void FilterHexKey(qint16 &keyAscii);    // 0-9, A-F, a-f, backspace
void FilterIPAddrKey(qint16 &keyAscii); // address rule: 0-9, ".", backspace
void HexPortKeyRule(qint16 &keyAscii);  // port fields: hex digits, a-f become A-F
void MacTailKeyRule(qint16 &keyAscii);  // MAC tail: hex digits and "-", a-f become A-F
