// Renders the main window with each of its five panes, the About box, and the program's icon at the
// sizes Windows asks for (packaging/windows/pelmora2.ico is made of these), to PNG files:
//   pelmora2_render_panes <output folder>
// The slot table comes from a throw-away store filled with sample rows, so the user's own is not read.
#include "AboutBox.h"
#include "MainWindow.h"
#include "ProgramIcon.h"
#include "SettingsStore.h"
#include "SlotCount.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace
{

void writeSampleSlots(SettingsStore &store)
{
    QList<SettingsStore::Entry> entries;
    for (int i = 0; i < SlotCount; ++i) {
        const QString key = QStringLiteral("SLOT%1").arg(i);
        entries.append({QStringLiteral("MACAddress"), key, QStringLiteral("12-34-5%1").arg(i)});
        entries.append({QStringLiteral("IPAddress"), key, QStringLiteral("192.168.100.%1").arg(200 + i)});
        entries.append({QStringLiteral("PortNo"), key, QStringLiteral("271%1").arg(i)});
        entries.append({QStringLiteral("Slot"), key, i % 3 == 0 ? QStringLiteral("1") : QStringLiteral("0")});
    }
    store.write(QStringLiteral("QV512"), entries);
}

bool save(QWidget &widget, const QString &path)
{
    QApplication::processEvents();
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral(".")))
        return 1;

    QTemporaryDir storeRoot;
    SettingsStore store(storeRoot.path());
    writeSampleSlots(store);

    frmPelmora2 window(store);
    window.LoadSlotSettings();
    window.appendLog(
        QStringLiteral("<SLOT 0 : Communication Check >\r\n        IP : 192.168.100.200   Port : "
                       "2710\r\n        // Pass  \r\n\r\n"));
    window.show();

    const struct {
        const char *action;
        const char *file;
    } panes[] = {{"mnuIP", "pane-ip.png"},
                 {"mnuPort", "pane-port.png"},
                 {"mnuGateWay", "pane-gateway.png"},
                 {"mnuSubnet", "pane-subnet.png"},
                 {"mnuComCheck", "pane-comcheck.png"}};
    bool ok = true;
    for (const auto &pane : panes) {
        window.findChild<QAction *>(QString::fromLatin1(pane.action))->trigger();
        ok = save(window, out.filePath(QString::fromLatin1(pane.file))) && ok;
    }

    frmVersion about(&window);
    about.show();
    ok = save(about, out.filePath(QStringLiteral("about.png"))) && ok;

    for (const int size : {16, 24, 32, 48, 64, 256}) {
        const QString path = out.filePath(QStringLiteral("icon-%1.png").arg(size));
        const bool written = ProgramIconPixmap(size).save(path);
        std::printf("%s %s\n", written ? "wrote" : "FAILED", qPrintable(path));
        ok = written && ok;
    }
    return ok ? 0 : 1;
}
