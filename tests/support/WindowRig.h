#pragma once

#include "ConsoleOperations.h"
#include "FakeHostQuestions.h"
#include "HostChecks.h"
#include "IpPaneOperations.h"
#include "MainWindow.h"
#include "OperationWiring.h"
#include "RecordingBoxes.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "platform/CommandRunner.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

// The program as main() puts it together over a temporary store (or one in the given folder), on a host
// that answers as an administrator's, with the boxes it shows recorded as "<icon> <title>: <text>".
struct WindowRig {
    explicit WindowRig(const QString &storeFolder = {})
        : store(storeFolder.isEmpty() ? dir.path() : storeFolder), window(store), console(store)
    {
        window.setMessageBoxes(&boxes);
        WireOperations(window, consoleOperations, ipPaneOperations);
        window.show();
    }
    bool open() { return window.Form_Load(checks); } // start-up, after seeding the store
    template <typename T = QWidget> T *child(const char *name, int slot = -1) const
    {
        return window.findChild<T *>(slot < 0 ? name : QString("%1[%2]").arg(name).arg(slot));
    }
    void menu(const char *item) const { child<QAction>(item)->trigger(); }
    // Types through the field's keystroke filter; a click returns once the operation it starts has ended.
    void type(const char *f, int slot, const QString &text) const { QTest::keyClicks(child(f, slot), text); }
    void click(const char *name, int s = -1) const { QTest::mouseClick(child(name, s), Qt::LeftButton); }
    bool ticked(const char *name, int slot) const { return child<QAbstractButton>(name, slot)->isChecked(); }
    QString text(const char *name, int slot) const { return child<QLineEdit>(name, slot)->text(); }

    QTemporaryDir dir;
    SettingsStore store;
    FakeHostQuestions host;
    RecordingBoxes boxes;
    int ends = 0; // times start-up ended the program
    HostChecks checks{host, boxes, [this] { ++ends; }};
    frmPelmora2 window;
    RemoteConsole console;
    ConsoleOperations consoleOperations{window, console};
    CommandRunner runner;
    IpPaneOperations ipPaneOperations{window, checks, runner};
};
