// What the operations see of the window: fields by name, the log window, the pane lock, the
// hourglass, message boxes (recorded and real), and the About box from the menu.
#include "Version.h"
#include "WindowHarness.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

class WindowViewTest : public QObject
{
    Q_OBJECT

private slots:
    void fieldsAreReachedByFieldAndSlot();
    void logKeepsEveryLineWithCrLfAndShowsTheLast();
    void paneLockDisablesThePaneAndTheMenuItemsOnly();
    void hourglassIsTheWaitCursorOnTheWindow();
    void realMessageBoxIsModalWithOneOkButton_data();
    void realMessageBoxIsModalWithOneOkButton();
    void aboutBoxIsModalAndShowsTheVersionLine();
};

namespace
{

// A click through the window system, as a user's click arrives: a window blocked by a modal one drops it.
void clickThroughWindow(QWidget *window, QWidget *target)
{
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      target->mapTo(window, target->rect().center()));
}

// Runs check on the active modal widget once the event loop has shown it.
void whenModalShown(const std::function<void(QWidget *)> &check)
{
    QTimer::singleShot(0, [check] {
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        check(QApplication::activeModalWidget());
    });
}

} // namespace

void WindowViewTest::fieldsAreReachedByFieldAndSlot()
{
    TempStore temp;
    StartedWindow w(temp.store);
    // In the order of Field, from MCAddr on.
    const char *const names[] = {"txtMCAddr",       "txtIPAddr_IP", "txtIPAddr_Port", "txtPort_Port",
                                 "txtNewPort",      "txtIPAddr_GW", "txtPort_GW",     "txtGateWay",
                                 "txtIPAddr_Sub",   "txtPort_Sub",  "txtSubnetMask",  "txtIPAddr_ComCheck",
                                 "txtPort_ComCheck"};
    for (int f = int(Field::MCAddr); f <= int(Field::Port_ComCheck); ++f)
        for (int i = 0; i < 8; ++i) {
            const QString text = QStringLiteral("%1.%2").arg(f).arg(i); // within every length limit
            w.window.setFieldText(Field(f), i, text);
            QCOMPARE(w.child<QLineEdit>(names[f - int(Field::MCAddr)], i)->text(), text);
            QCOMPARE(w.window.fieldText(Field(f), i), text);
        }
    QCOMPARE(w.window.fieldText(Field::MAC, 4), QString("0A-00-3C"));
    QCOMPARE(w.window.fieldText(Field::IPAddr_IP, 8), QString()); // outside the rows: nothing
}

void WindowViewTest::logKeepsEveryLineWithCrLfAndShowsTheLast()
{
    TempStore temp;
    StartedWindow w(temp.store);
    w.window.show();
    auto *log = w.child<QPlainTextEdit>("txtLog");

    QString expected;
    for (int run = 0; run < 400; ++run) {
        const int slot = run % 8;
        const QStringList step = {
            QStringLiteral("<SLOT %1 : Communication Check >\r\n").arg(slot),
            QStringLiteral("        IP : 192.168.0.%1   Port : 1F90\r\n").arg(run % 256),
            run % 3 ? QStringLiteral("        // Pass  \r\n\r\n")
                    : QStringLiteral("        // Error!  Time Out Error!\r\n\r\n"),
        };
        for (const QString &part : step) {
            w.window.appendLog(part);
            expected += part;
        }
    }
    w.window.appendLog(
        QStringLiteral("    Reply from 192.168.0.7: bytes=32 time<1ms TTL=64")); // no line end yet
    expected += QStringLiteral("    Reply from 192.168.0.7: bytes=32 time<1ms TTL=64");
    w.window.appendLog(QStringLiteral("\r\n"));
    expected += QStringLiteral("\r\n");

    QCOMPARE(w.window.logText(), expected);
    QCOMPARE(log->textCursor().position(), log->document()->characterCount() - 1);
    QCoreApplication::processEvents();
    QVERIFY(log->verticalScrollBar()->maximum() > 0);
    QVERIFY(log->verticalScrollBar()->value() > 0);
    QVERIFY(log->viewport()->rect().contains(log->cursorRect())); // the last line is in view

    // The user cannot type into it.
    log->setFocus();
    QTest::keyClicks(log, "xyz");
    QCOMPARE(w.window.logText(), expected);
}

void WindowViewTest::paneLockDisablesThePaneAndTheMenuItemsOnly()
{
    // Per pane, its control arrays ("[]") and single controls.
    const QList<QPair<Pane, QStringList>> panes = {
        {Pane::IP,
         {"cmdPing[]", "cmdSet_IP[]", "cmdAllPing", "cmdAllSet_IP", "chkSlot_IP[]", "txtMCAddr[]",
          "txtIPAddr_IP[]"}},
        {Pane::Port,
         {"cmdSet_Port[]", "cmdAllSet_Port", "chkSlot_Port[]", "txtIPAddr_Port[]", "txtPort_Port[]",
          "txtNewPort[]"}},
        {Pane::GW,
         {"cmdSet_GW[]", "cmdAllSet_GW", "chkSlot_GW[]", "txtIPAddr_GW[]", "txtPort_GW[]", "txtGateWay[]"}},
        {Pane::Sub,
         {"cmdSet_Sub[]", "cmdAllSet_Subnet", "chkSlot_Sub[]", "txtIPAddr_Sub[]", "txtPort_Sub[]",
          "txtSubnetMask[]"}},
        {Pane::ComCheck,
         {"cmdComCheck[]", "cmdAllComCheck", "chkSlot_ComCheck[]", "txtIPAddr_ComCheck[]",
          "txtPort_ComCheck[]"}},
    };
    TempStore temp;
    StartedWindow w(temp.store);
    for (const auto &[pane, locked] : panes) {
        QSet<QString> lockedNames;
        for (const QString &name : locked)
            for (int i = 0; i < 8; ++i)
                lockedNames.insert(name.endsWith("[]") ? name.chopped(2) + QStringLiteral("[%1]").arg(i)
                                                       : name);
        const QStringList menuItems = {"mnuIP",     "mnuPort",     "mnuGateWay",
                                       "mnuSubnet", "mnuComCheck", "mnuVersion"};

        const auto expectLocked = [&](bool lockedNow) {
            for (QWidget *widget : w.window.findChildren<QWidget *>()) {
                const bool control = qobject_cast<QPushButton *>(widget) ||
                                     qobject_cast<QCheckBox *>(widget) || qobject_cast<QLineEdit *>(widget) ||
                                     qobject_cast<QPlainTextEdit *>(widget);
                if (!control || widget->objectName().isEmpty())
                    continue;
                const bool shouldBeDisabled = lockedNow && lockedNames.contains(widget->objectName());
                QVERIFY2(widget->isEnabled() == !shouldBeDisabled, qPrintable(widget->objectName()));
            }
            for (const QString &item : menuItems)
                QCOMPARE(w.child<QAction>(item)->isEnabled(), !lockedNow);
            for (const char *menu : {"mnuSettings", "mnuTest", "mnuVer"})
                QVERIFY(w.child<QMenu>(QLatin1String(menu))->menuAction()->isEnabled());
        };

        w.window.setPaneEnabled(pane, false);
        expectLocked(true);
        w.window.setPaneEnabled(pane, true);
        expectLocked(false);
    }
}

void WindowViewTest::hourglassIsTheWaitCursorOnTheWindow()
{
    TempStore temp;
    StartedWindow w(temp.store);
    w.window.setHourglass(true);
    QCOMPARE(w.window.cursor().shape(), Qt::WaitCursor);
    w.window.setHourglass(false);
    QCOMPARE(w.window.cursor().shape(), Qt::ArrowCursor);
}

void WindowViewTest::realMessageBoxIsModalWithOneOkButton_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("critical") << int(BoxIcon::Critical) << int(QMessageBox::Critical)
                              << "SLOT 2 : Time Out Error!"
                              << "SLOT 2 : Time Out Error!";
    QTest::newRow("exclamation") << int(BoxIcon::Exclamation) << int(QMessageBox::Warning)
                                 << "line 1\r\nline 2"
                                 << "line 1\nline 2";
}

void WindowViewTest::realMessageBoxIsModalWithOneOkButton()
{
    QFETCH(int, icon);
    QFETCH(int, qtIcon);
    QFETCH(QString, text);
    QFETCH(QString, shown);

    TempStore temp;
    StartedWindow w(temp.store);
    w.window.setMessageBoxes(nullptr); // the real boxes
    w.window.show();

    bool checked = false;
    whenModalShown([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        QVERIFY(box->isModal());
        QCOMPARE(box->text(), shown);
        QCOMPARE(box->windowTitle(), QString("Communication Check"));
        QCOMPARE(int(box->icon()), qtIcon);
        QCOMPARE(box->buttons().size(), 1);
        QCOMPARE(box->standardButton(box->buttons().first()), QMessageBox::Ok);
        checked = true;
        QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
    });
    w.window.showMessageBox(text, "Communication Check", BoxIcon(icon)); // returns once OK is clicked
    QVERIFY(checked);
    QVERIFY(w.boxes.boxes.isEmpty());
}

void WindowViewTest::aboutBoxIsModalAndShowsTheVersionLine()
{
    TempStore temp;
    StartedWindow w(temp.store);
    w.showAndActivate();
    const QString versionLine = QStringLiteral("Version : %1.%2.%3")
                                    .arg(Pelmora2VersionMajor)
                                    .arg(Pelmora2VersionMinor)
                                    .arg(Pelmora2VersionRevision);
    QVERIFY(QRegularExpression("^Version : (0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)$")
                .match(versionLine)
                .hasMatch());

    for (int opening = 0; opening < 2; ++opening) {
        QPointer<QWidget> about;
        bool tickBlocked = false;
        whenModalShown([&](QWidget *modal) {
            about = modal;
            QCOMPARE(modal->objectName(), QString("frmVersion"));
            QVERIFY(modal->isModal());
            QCOMPARE(modal->windowTitle(), QString("Version"));
            QCOMPARE(modal->size(), QSize(312, 219));
            QCOMPARE(modal->findChild<QLabel *>("lblVer")->text(), versionLine);
            QCOMPARE(modal->findChild<QLabel *>("Label1")->text(), QString("QV512"));
            QCOMPARE(modal->findChild<QLabel *>("Label2")->text(), QString("Pelmora2"));
            QCOMPARE(modal->findChild<QLabel *>("Picture1")->pixmap().size(), QSize(32, 32));
            QCOMPARE(modal->findChild<QLabel *>("Picture1")->pos(), QPoint(24, 48));
            QCOMPARE(modal->findChild<QPushButton *>("cmdOK")->geometry(), QRect(88, 168, 129, 33));

            // The main window takes no clicks meanwhile.
            auto *tick = w.child<QCheckBox>("chkSlot_IP", 0);
            clickThroughWindow(&w.window, tick);
            tickBlocked = !tick->isChecked();

            QTest::mouseClick(modal->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        });
        w.menu("mnuVersion");
        QVERIFY(tickBlocked);
        QVERIFY(about.isNull()); // loaded afresh next time, not kept
    }

    // After OK the window works again.
    auto *tick = w.child<QCheckBox>("chkSlot_IP", 0);
    clickThroughWindow(&w.window, tick);
    QVERIFY(tick->isChecked());
}

QTEST_MAIN(WindowViewTest)
#include "WindowViewTest.moc"
