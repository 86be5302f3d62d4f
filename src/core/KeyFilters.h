#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Keystroke filters. Each sees the code of one typed character before it is inserted and leaves it,
// replaces it, or sets it to 0 (swallowed). Backspace arrives as 8.
using KeyRule = void (*)(qint16 &keyAscii);

void FilterHexKey(qint16 &keyAscii);    // 0-9, A-F, a-f, backspace
void FilterIPAddrKey(qint16 &keyAscii); // address rule: 0-9, ".", backspace
void HexPortKeyRule(qint16 &keyAscii);  // port fields: hex digits, a-f become A-F
void MacTailKeyRule(qint16 &keyAscii);  // MAC tail: hex digits and "-", a-f become A-F

// The code a rule gives one character: the same, converted, or 0 (swallowed). Outside ASCII every rule
// swallows; deciding here keeps wide characters from folding into the 16-bit signed code.
qint16 keyRuleCode(KeyRule rule, QChar ch);
// What a field with this rule keeps of typed or pasted text: swallowed characters and backspaces
// leave nothing.
QString filterText(KeyRule rule, const QString &text);
// The text as a field with this rule would hold it once typed, or nothing when the rule swallows one of
// its characters (a backspace included).
std::optional<QString> typedThrough(KeyRule rule, const QString &text);
