#pragma once

#include "HostChecks.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "platform/HostQuestions.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A host that answers as the test says; by default an administrator on a newer host.
class FakeHost : public HostQuestions
{
public:
    bool administrator = true;
    std::optional<int> major = 10;
    std::string currency = "$";

    bool isAdministrator() override { return administrator; }
    std::optional<int> majorVersion() override { return major; }
    std::string currencySymbol() override { return currency; }
};

struct RecordedBox {
    QString text;
    QString title;
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

// A settings store in a temporary folder, with helpers to seed it and read back its INI file.
struct TempStore {
    QTemporaryDir dir;
    SettingsStore store{dir.path()};

    QString iniPath() const { return store.iniPath(QStringLiteral("QV512")); }
    bool iniExists() const { return QFile::exists(iniPath()); }
    void seed(const QString &section, int slot, const QString &value)
    {
        store.write(QStringLiteral("QV512"), section, QStringLiteral("SLOT%1").arg(slot), value);
    }
    // The raw text in the file, as a fresh reader sees it; "<absent>" when the key is missing.
    QString stored(const QString &section, int slot) const
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        return ini.value(QStringLiteral("%1/SLOT%2").arg(section).arg(slot), QStringLiteral("<absent>"))
            .toString();
    }
};

// The real window over a temporary store, started through Form_Load with a fake host.
class StartedWindow
{
public:
    explicit StartedWindow(SettingsStore &store) : window(store)
    {
        loaded = window.Form_Load(checks);
        window.setMessageBoxes(&boxes);
    }

    template <typename T = QWidget> T *child(const QString &name) const
    {
        T *found = window.findChild<T *>(name);
        if (!found)
            qWarning("no control named %s", qPrintable(name));
        return found;
    }
    template <typename T = QWidget> T *child(const char *name, int index) const
    {
        return child<T>(QStringLiteral("%1[%2]").arg(QLatin1String(name)).arg(index));
    }
    void menu(const char *item) const { child<QAction>(QLatin1String(item))->trigger(); }
    void showAndActivate()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    FakeHost host;
    RecordingBoxes boxes;
    int programEnds = 0;
    HostChecks checks{host, boxes, [this] { ++programEnds; }};
    frmPelmora2 window;
    bool loaded = false;
};
