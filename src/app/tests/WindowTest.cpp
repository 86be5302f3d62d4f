// The real window offscreen over a temporary store: start-up, panes, saving on close, log, lock, boxes,
// and every text fitting its control.
#include "AboutBox.h"
#include "TestSettings.h"
#include "TextFit.h"
#include "WindowFonts.h"
#include "WindowRig.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>

#include <algorithm>

namespace
{

const char *const Menus[] = {"mnuIP", "mnuPort", "mnuGateWay", "mnuSubnet", "mnuComCheck"};
const char *const Ticks[] = {"chkSlot_IP", "chkSlot_Port", "chkSlot_GW", "chkSlot_Sub", "chkSlot_ComCheck"};
const char *const Titles[] = {"lblTitle_IP", "lblTitle_Port", "lblTitle_GW", "lblTitle_Subnet",
                              "lblTitle_ComCheck"};

// Records, in order, the objects whose enabled state changes.
struct EnableRecorder : QObject {
    QStringList changes;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            changes << watched->objectName();
        return false;
    }
};

void activate(QWidget &window)
{
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Runs check on the modal widget once the event loop shows it, then presses its only button.
void whenModalShown(const std::function<void(QWidget *)> &check)
{
    QTimer::singleShot(0, [check] {
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        QWidget *modal = QApplication::activeModalWidget();
        check(modal);
        QTest::mouseClick(modal->findChildren<QAbstractButton *>().value(0), Qt::LeftButton);
    });
}

// The widest text the field takes at its maximum length, found by typing every printable character.
QString widestTyped(QLineEdit *field)
{
    const int maxLength = field->maxLength();
    field->setMaxLength(32767);
    field->clear();
    for (char c = ' '; c < 127; ++c)
        QTest::keyClicks(field, QString(QChar(c)));
    const QFontMetricsF metrics(WindowFonts::Text());
    const QString admitted = field->text();
    const QChar widest = *std::max_element(admitted.begin(), admitted.end(), [&](QChar a, QChar b) {
        return metrics.horizontalAdvance(a) < metrics.horizontalAdvance(b);
    });
    field->setMaxLength(maxLength);
    return QString(maxLength, widest);
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startsOnTheIpPaneWithTheStoredRowsThenSwitchesPanes()
    {
        WindowRig w;
        w.store.write("QV512", {{"MACAddress", "SLOT5", "AB-CD-EF"},
                                {"IPAddress", "SLOT5", "10.1.2.3"},
                                {"IPAddress", "SLOT1", "192.168.0.21"},
                                {"PortNo", "SLOT1", "1F90"}});
        QVERIFY(w.open());
        activate(w.window);
        QCOMPARE(QApplication::focusWidget(), w.child("cmdAllSet_IP"));
        for (int pane = 0; pane < 5; ++pane)
            QCOMPARE(w.child(Titles[pane])->isVisible(), pane == 0);
        for (int i = 0; i < 8; ++i) {
            QVERIFY(w.child("frmIP", i)->isVisible() && !w.child("frmSubnetMask", i)->isVisible());
            QCOMPARE(w.text("txtMAC", i), QString("0A-00-3C"));
            QCOMPARE(w.text("txtMCAddr", i), QString(i == 5 ? "AB-CD-EF" : ""));
        }
        QCOMPARE(w.text("txtIPAddr_IP", 5), QString("10.1.2.3"));
        QCOMPARE(w.child<QAbstractButton>("cmdAllSet_IP")->text(), QString("Set All"));
        QCOMPARE(w.child<QLineEdit>("txtMCAddr", 0)->maxLength(), 8);
        QCOMPARE(w.child<QLineEdit>("txtSubnetMask", 3)->maxLength(), 15);
        QWidget *client = w.window.centralWidget(), *setAll = w.child("cmdAllSet_IP");
        QCOMPARE(QRect(setAll->mapTo(client, QPoint()), setAll->size()), QRect(296, 440, 137, 41));
        QCOMPARE(w.child("txtSubnetMask", 3)->mapTo(client, QPoint()), QPoint(417, 205));

        // The panes share the ticks and refill their rows from the slot table.
        w.menu("mnuPort");
        w.click("chkSlot_Port", 2);
        w.menu("mnuGateWay");
        for (int i = 0; i < 8; ++i)
            QCOMPARE(w.ticked("chkSlot_GW", i), i == 2);
        w.click("chkSlot_GW", 2); // unticked in another pane: unticked everywhere
        for (int pane = 0; pane < 5; ++pane) {
            w.menu(Menus[pane]);
            QVERIFY(!w.ticked(Ticks[pane], 2));
            for (int other = 0; other < 5; ++other) // each menu item shows its own pane only
                QCOMPARE(w.child(Titles[other])->isVisible(), other == pane);
        }

        w.menu("mnuGateWay");
        auto *ip = w.child<QLineEdit>("txtIPAddr_GW", 1);
        auto *port = w.child<QLineEdit>("txtPort_GW", 1);
        ip->clear();
        QTest::keyClicks(ip, "10.0.0.9");
        QTest::keyClicks(w.child("txtGateWay", 1), "10.0.0.1");
        w.menu("mnuSubnet");
        w.menu("mnuGateWay");
        QCOMPARE(ip->text(), QString("192.168.0.21"));          // the typed address is lost
        QCOMPARE(w.text("txtGateWay", 1), QString("10.0.0.1")); // the gateway is not in the slot table
        port->clear();
        QTest::keyClicks(port, "AB");
        w.menu("mnuGateWay"); // the pane already shown refills too
        QCOMPARE(port->text(), QString("1F90"));
    }

    // Missing administrator rights end start-up, and nothing is saved; a close saves the whole slot table.
    void closeSavesTheWholeSlotTable()
    {
        QTemporaryDir dir;
        const QString iniPath = SettingsStore(dir.path()).iniPath("QV512");
        {
            WindowRig w(dir.path());
            w.host.administrator = false;
            QVERIFY(!w.open() && w.ends == 1 && w.boxes.shown.size() == 1 &&
                    w.boxes.shown[0].startsWith("Exclamation Caution: "));
            w.window.storeSlotIP(1, "10.9.9.9"); // would reach the file if anything saved
        }
        QVERIFY(!QFile::exists(iniPath));
        {
            WindowRig w(dir.path());
            w.open();
            w.type("txtIPAddr_IP", 0, "10.1.1.1"); // typed, never used: not saved
            w.window.storeSlotPort(2, "0050");
            for (int row : {1, 6})
                w.click("chkSlot_IP", row);
            QVERIFY(w.window.close());
        }
        const QSettings ini(iniPath, QSettings::IniFormat);
        QCOMPARE(ini.allKeys().size(), 32);
        for (const QString section : {"MACAddress", "IPAddress", "PortNo", "Slot"})
            for (int i = 0; i < 8; ++i) {
                const QString tick = i == 1 || i == 6 ? "1" : "0", port = i == 2 ? "0050" : "";
                const QString expected = section == "Slot" ? tick : section == "PortNo" ? port : "";
                QCOMPARE(ini.value(section + "/SLOT" + QString::number(i), "<absent>").toString(), expected);
            }
        // A save that fails says so, with the file and the reason, and the window closes all the same.
        {
            QTemporaryDir other;
            const QString blocked = SettingsStore(other.path()).iniPath("QV512");
            WindowRig w(other.path());
            QVERIFY(QDir().mkpath(blocked) && w.open() && w.window.close());
            QCOMPARE(w.boxes.shown,
                     QStringList{"Critical Pelmora2: The slot settings could not be saved to " + blocked +
                                 ":\r\nit is not a regular file."});
        }
        // Ticks survive a restart; a hand-edited value other than 1 reads unticked (65537 would wrap to 1).
        WindowRig again(dir.path());
        again.store.write("QV512", {{"Slot", "SLOT3", "x"}, {"Slot", "SLOT4", "65537"}});
        again.open();
        for (int pane : {0, 4}) {
            again.menu(Menus[pane]);
            for (int i = 0; i < 8; ++i)
                QCOMPARE(again.ticked(Ticks[pane], i), i == 1 || i == 6);
        }
    }

    // A lock sets, in this order, the pane's buttons, tick boxes and fields, row by row, then the six menu
    // items, and nothing else; an unlock the same, for every pane. The log's caret stays at the end.
    void paneLockStepsThroughThePaneThenTheMenuItems()
    {
        WindowRig w;
        w.open();
        EnableRecorder recorder;
        for (QWidget *widget : w.window.findChildren<QWidget *>())
            widget->installEventFilter(&recorder);
        for (QAction *item : w.window.findChildren<QAction *>())
            connect(item, &QAction::changed, this, [&, item] { recorder.changes << item->objectName(); });
        const std::pair<Pane, QString> panes[] = {
            {Pane::IP,
             "cmdPing[] cmdSet_IP[] cmdAllPing cmdAllSet_IP chkSlot_IP[] txtMCAddr[] txtIPAddr_IP[]"},
            {Pane::Port,
             "cmdSet_Port[] cmdAllSet_Port chkSlot_Port[] txtIPAddr_Port[] txtPort_Port[] txtNewPort[]"},
            {Pane::GW, "cmdSet_GW[] cmdAllSet_GW chkSlot_GW[] txtIPAddr_GW[] txtPort_GW[] txtGateWay[]"},
            {Pane::Sub,
             "cmdSet_Sub[] cmdAllSet_Subnet chkSlot_Sub[] txtIPAddr_Sub[] txtPort_Sub[] txtSubnetMask[]"},
            {Pane::ComCheck,
             "cmdComCheck[] cmdAllComCheck chkSlot_ComCheck[] txtIPAddr_ComCheck[] txtPort_ComCheck[]"}};
        for (const auto &[pane, controls] : panes) {
            QStringList order;
            for (const QString &name :
                 (controls + " mnuIP mnuPort mnuGateWay mnuSubnet mnuComCheck mnuVersion").split(' '))
                for (int i = 0; i < (name.endsWith("[]") ? 8 : 1); ++i)
                    order << (name.endsWith("[]") ? name.chopped(1) + QString::number(i) + ']' : name);
            for (bool enabled : {false, true}) {
                recorder.changes.clear();
                w.window.setPaneEnabled(pane, enabled);
                QCOMPARE(recorder.changes, order); // each changed once: each took the state
            }
        }

        w.window.appendLog("<SLOT 0 : Check >\r\n");
        auto *log = w.child<QPlainTextEdit>("txtLog");
        QCOMPARE(log->textCursor().position(), log->document()->characterCount() - 1);
    }

    // Every caption, read-only text and widest typed text fits its control in the font the window
    // resolved; one too wide for its laid-out size is drawn at the largest quarter point size that fits.
    void everyTextFitsItsControl()
    {
        WindowRig w;
        w.open();
        frmVersion about(&w.window);
        QMap<QString, QString> typed; // per field array
        QStringList clipped;
        for (const char *menu : Menus) {
            w.menu(menu);
            for (QWidget *control : w.window.findChildren<QWidget *>() + about.findChildren<QWidget *>()) {
                auto *field = qobject_cast<QLineEdit *>(control);
                if (!control->isVisible() && control->window() == &w.window)
                    continue; // another pane's; seen when that pane is shown
                if (field && !field->isReadOnly()) {
                    const QString array = field->objectName().section('[', 0, 0);
                    if (!typed.contains(array))
                        typed[array] = widestTyped(field);
                    field->clear();
                    QTest::keyClicks(field, typed[array]);
                }
                const QString text = control->property("text").toString();
                if (text.isEmpty() || TextFit::TextRoom(control) < 0)
                    continue;
                QString name = control->objectName().isEmpty()
                                   ? control->parentWidget()->objectName() + " label"
                                   : control->objectName();
                name += " \"" + text + '"';
                const int margin =
                    TextFit::TextRoom(control) - TextFit::TextNeed(control, control->font(), text);
                if (margin < 0)
                    clipped << QStringLiteral("%1 by %2 px").arg(name).arg(-margin);
                QFont larger = control->font();
                larger.setPointSizeF(larger.pointSizeF() + 0.25);
                if (!QList<qreal>{9.75, 12, 13.5, 18}.contains(control->font().pointSizeF()) &&
                    TextFit::TextNeed(control, larger, text) <= TextFit::TextRoom(control))
                    clipped << name + " could be larger";
            }
        }
        QVERIFY(w.text("txtIPAddr_IP", 7).size() == 15 && w.text("txtMCAddr", 7).size() == 8); // all typed
        w.child<QLineEdit>("txtMCAddr", 0)->setText("1"); // a field refits whenever its text changes
        QCOMPARE(w.child("txtMCAddr", 0)->font(), w.window.font());
        QVERIFY2(clipped.isEmpty(), qPrintable("not fitted: " + clipped.join("; ")));
    }

    void messageAndAboutBoxesAreModal()
    {
        WindowRig w;
        w.open();
        activate(w.window);
        w.window.setMessageBoxes(nullptr); // the real boxes
        QStringList seen;
        whenModalShown([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box && box->isModal() && box->icon() == QMessageBox::Critical &&
                    box->buttons().size() == 1);
            seen << box->windowTitle() << box->text();
        });
        w.window.showMessageBox("SLOT 2 : Time Out Error!", "Communication Check", BoxIcon::Critical);
        whenModalShown([&](QWidget *about) {
            QVERIFY(about->isModal());
            seen << about->findChild<QWidget *>("lblVer")->property("text").toString();
        });
        w.menu("mnuVersion"); // both return once OK is pressed
        QCOMPARE(seen.mid(0, 2), QStringList({"Communication Check", "SLOT 2 : Time Out Error!"}));
        QVERIFY2(QRegularExpression("^Version : \\d+\\.\\d+\\.\\d+$").match(seen.value(2)).hasMatch(),
                 qPrintable(seen.value(2)));
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
