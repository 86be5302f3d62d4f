#pragma once

#include <QString>

// The checks of one field of a plan row, each on its own: the window's own rules for addresses, ports and
// MAC tails, applied to the text as if typed into the window's field.

// What a field check found: the text as the window's field would hold it, or why it is refused.
struct FieldCheck {
    QString value;   // when accepted; port and MAC texts with a-f as A-F
    QString problem; // empty when accepted

    bool ok() const { return problem.isEmpty(); }
};

bool HoldsControlCharacter(const QString &text);

// A unit label: one line of text, not empty. (Uniqueness is the plan's.)
FieldCheck CheckLabel(const QString &text);

// An address field; what names the kind ("an IPv4 address", "a subnet mask"). An empty field passes
// unless required.
FieldCheck CheckAddress(const QString &text, const QString &what, bool required);

// A console port field: one to four characters of the hex port rule. An empty field passes.
FieldCheck CheckConsolePort(const QString &text);

// A MAC tail XX-XX-XX, checked as the IP pane checks the whole address. An empty field passes.
FieldCheck CheckMacTail(const QString &text);

// The check column: yes or no in any case, empty meaning yes. value is "yes" or "no".
FieldCheck CheckYesNo(const QString &text);
