#pragma once

// The real window over a temporary store, as the window tests start it.
#include "FakeHostQuestions.h"
#include "HostChecks.h"
#include "MainWindow.h"
#include "RecordingBoxes.h"
#include "SettingsStore.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

// A settings store in a temporary folder.
struct TempStore {
    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    QString iniPath() const { return store.iniPath(QStringLiteral("QV512")); }
    bool iniExists() const { return QFile::exists(iniPath()); }
};

// The real window over a temporary store, started through Form_Load with a fake host.
struct StartedWindow {
    explicit StartedWindow(SettingsStore &store, bool administrator = true) : window(store)
    {
        host.administrator = administrator;
        loaded = window.Form_Load(checks);
        window.setMessageBoxes(&boxes);
    }
    template <typename T = QWidget> T *child(const QString &name) const
    {
        return window.findChild<T *>(name);
    }
    template <typename T = QWidget> T *child(const char *name, int index) const
    {
        return child<T>(QStringLiteral("%1[%2]").arg(QLatin1String(name)).arg(index));
    }
    bool ticked(const char *name, int row) const { return child<QAbstractButton>(name, row)->isChecked(); }
    QString text(const char *name, int row) const { return child<QLineEdit>(name, row)->text(); }
    void menu(const char *item) const { child<QAction>(QLatin1String(item))->trigger(); }
    void showAndActivate()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    FakeHostQuestions host;
    RecordingBoxes boxes;
    int ends = 0; // times start-up ended the program
    HostChecks checks{host, boxes, [this] { ++ends; }};
    frmPelmora2 window;
    bool loaded = false;
};

inline const char *const Menus[] = {"mnuIP", "mnuPort", "mnuGateWay", "mnuSubnet", "mnuComCheck"};
inline const char *const Ticks[] = {"chkSlot_IP", "chkSlot_Port", "chkSlot_GW", "chkSlot_Sub",
                                    "chkSlot_ComCheck"};
inline const char *const Titles[] = {"lblTitle_IP", "lblTitle_Port", "lblTitle_GW", "lblTitle_Subnet",
                                     "lblTitle_ComCheck"};
