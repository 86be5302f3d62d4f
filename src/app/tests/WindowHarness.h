#pragma once

#include "HostChecks.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "platform/HostQuestions.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class FakeHost : public HostQuestions // by default an administrator on a newer host
{
public:
    bool administrator = true;
    bool isAdministrator() override { return administrator; }
    std::optional<int> majorVersion() override { return 10; }
    std::string currencySymbol() override { return "$"; }
};

struct RecordedBox {
    QString text, title;
    BoxIcon icon;
};

class RecordingBoxes : public MessageBoxes
{
public:
    QList<RecordedBox> boxes;
    void showMessageBox(const QString &text, const QString &title, BoxIcon icon) override
    {
        boxes.append({text, title, icon});
    }
};

// A settings store in a temporary folder; stored() reads the INI file afresh, "<absent>" for a missing key.
struct TempStore {
    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    QString iniPath() const { return store.iniPath(QStringLiteral("QV512")); }
    bool iniExists() const { return QFile::exists(iniPath()); }
    void seed(const QString &section, int slot, const QString &value)
    {
        store.write(QStringLiteral("QV512"), section, QStringLiteral("SLOT%1").arg(slot), value);
    }
    QString stored(const QString &section, int slot) const
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        return ini.value(QStringLiteral("%1/SLOT%2").arg(section).arg(slot), QStringLiteral("<absent>"))
            .toString();
    }
};

class StartedWindow // the real window over a temporary store, started through Form_Load with a fake host
{
public:
    explicit StartedWindow(SettingsStore &store) : window(store)
    {
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

    FakeHost host;
    RecordingBoxes boxes;
    HostChecks checks{host, boxes, [] {}};
    frmPelmora2 window;
    bool loaded = false;
};
