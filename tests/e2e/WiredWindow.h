#pragma once

#include "ConsoleOperations.h"
#include "IpPaneOperations.h"
#include "OperationWiring.h"
#include "RemoteConsole.h"
#include "WindowHarness.h"
#include "platform/CommandRunner.h"

#include <QLineEdit>
#include <QPushButton>

// The program as main() puts it together (console over the store, both operation sets wired to the
// twelve buttons), over a temporary store, with message boxes recorded instead of shown.
class WiredWindow : public StartedWindow
{
public:
    explicit WiredWindow(SettingsStore &store) : StartedWindow(store), console(store)
    {
        WireOperations(window, consoleOperations, ipPaneOperations);
        window.show();
    }

    QString text(const char *field, int slot) const { return child<QLineEdit>(field, slot)->text(); }

    // Types into a field as a user does, through its keystroke filter, replacing what it held.
    void type(const char *field, int slot, const QString &text) const
    {
        QLineEdit *edit = child<QLineEdit>(field, slot);
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    // A mouse click on a named control; returns once the operation it starts has ended.
    void click(const QString &name) const
    {
        QWidget *target = child(name);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    }
    void click(const char *name, int slot) const { click(QStringLiteral("%1[%2]").arg(name).arg(slot)); }

    RemoteConsole console;
    ConsoleOperations consoleOperations{window, console};
    CommandRunner runner;
    IpPaneOperations ipPaneOperations{window, checks, runner};
};

// Receive limit 300 ms and two ESC attempts, so that a silent unit or a missing echo fails quickly.
inline void shortenConsoleLimits(SettingsStore &store)
{
    store.write(QStringLiteral("REMOTE"), QStringLiteral("TIMEOUT"), QStringLiteral("RESET"),
                QStringLiteral("300"));
    store.write(QStringLiteral("REMOTE"), QStringLiteral("RESET_RETRY"), QStringLiteral("NORMAL"),
                QStringLiteral("2"));
}
