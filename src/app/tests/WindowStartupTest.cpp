// The window as it starts: panes, stored values, captions, limits, places, fonts, tab order, and the
// start-up that ends at the administrator caution.
#include "WindowHarness.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

class WindowStartupTest : public QObject
{
    Q_OBJECT

private slots:
    void startsOnTheIpPaneWithTheStoredRows();
    void controlsCarryTheirCaptionsLimitsAndPlaces();
    void menuHasSixPlainItems();
    void tabRunsFromTheBottomButtonsThroughTheRows();
    void missingAdministratorRightsEndStartUpWithoutSaving();
};

void WindowStartupTest::startsOnTheIpPaneWithTheStoredRows()
{
    TempStore temp;
    temp.seed("MACAddress", 0, "12-34-50");
    temp.seed("IPAddress", 0, "192.168.0.20");
    temp.seed("MACAddress", 5, "AB-CD-EF");
    temp.seed("IPAddress", 5, "10.1.2.3");
    temp.seed("PortNo", 5, "1F90");
    StartedWindow w(temp.store);
    QVERIFY(w.loaded);
    w.showAndActivate();

    QCOMPARE(w.window.windowTitle(), QString("Pelmora2 (QV512)"));
    QVERIFY(!w.window.windowIcon().isNull());
    QCOMPARE(w.window.centralWidget()->size(), QSize(935, 505));
    QCOMPARE(QApplication::focusWidget(), w.child("cmdAllSet_IP"));
    QVERIFY(!w.window.OperationBusy());

    const char *ipPane[] = {"lblTitle_IP", "cmdAllSet_IP", "cmdAllPing"};
    for (const char *name : ipPane)
        QVERIFY2(w.child(name)->isVisible(), name);
    const char *hidden[] = {"lblTitle_Port",   "cmdAllSet_Port",   "lblTitle_GW",       "cmdAllSet_GW",
                            "lblTitle_Subnet", "cmdAllSet_Subnet", "lblTitle_ComCheck", "cmdAllComCheck"};
    for (const char *name : hidden)
        QVERIFY2(w.child(name)->isHidden(), name);

    for (int i = 0; i < 8; ++i) {
        QVERIFY(w.child("frmIP", i)->isVisible());
        for (const char *frame : {"frmPort", "frmGateWay", "frmSubnetMask", "frmComCheck"})
            QVERIFY(!w.child(frame, i)->isVisible());
        QCOMPARE(w.child<QLabel>("labUnit", i)->text(), QString("SLOT %1").arg(i));
        QVERIFY(w.child<QLabel>("labUnit", i)->font().bold());
        QVERIFY(!w.child<QCheckBox>("chkSlot_IP", i)->isChecked());
        auto *prefix = w.child<QLineEdit>("txtMAC", i);
        QCOMPARE(prefix->text(), QString("0A-00-3C"));
        QVERIFY(prefix->isReadOnly());
    }
    QCOMPARE(w.child<QLineEdit>("txtMCAddr", 0)->text(), QString("12-34-50"));
    QCOMPARE(w.child<QLineEdit>("txtIPAddr_IP", 0)->text(), QString("192.168.0.20"));
    QCOMPARE(w.child<QLineEdit>("txtMCAddr", 5)->text(), QString("AB-CD-EF"));
    QCOMPARE(w.child<QLineEdit>("txtIPAddr_IP", 5)->text(), QString("10.1.2.3"));

    // The log window: read-only, both scroll bars, no wrapping, titled.
    auto *log = w.child<QPlainTextEdit>("txtLog");
    QVERIFY(log->isVisible() && log->isReadOnly());
    QCOMPARE(log->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(w.child<QLabel>("Label2")->text(), QString("<Log Window>"));
}

void WindowStartupTest::controlsCarryTheirCaptionsLimitsAndPlaces()
{
    // caption: button or label text, for a field its maximum length; place: pixels in the client area.
    const struct {
        const char *name, *caption;
        qreal pointSize;
        QRect place;
    } cases[] = {
        {"lblTitle_GW", "<Set GateWay Address>", 18.0, {16, 16, 568, 30}},
        {"Label2", "<Log Window>", 18.0, {616, 16, 313, 30}},
        {"cmdAllSet_IP", "Set All", 13.5, {296, 440, 137, 41}},
        {"cmdAllComCheck", "ComCheck All", 13.5, {448, 440, 137, 41}},
        {"labUnit[2]", "SLOT 2", 9.75, {8, 167, 53, 17}},
        {"cmdPing[0]", "Ping", 9.75, {64 + 480, 56 + 14, 41, 25}},
        {"cmdComCheck[4]", "ComCheck", 9.75, {64 + 424, 236 + 14, 81, 25}},
        {"txtMCAddr[0]", "8", 9.75, {64 + 184, 56 + 14, 70, 25}},
        {"txtSubnetMask[3]", "15", 9.75, {64 + 353, 191 + 14, 118, 25}},
        {"txtNewPort[6]", "4", 9.75, {64 + 408, 325 + 14, 54, 25}},
        {"chkSlot_GW[1]", "", 9.75, {64 + 16, 101 + 14, 20, 25}},
        {"frmComCheck[7]", "", 9.75, {64, 369, 529, 53}},
        {"txtLog", "", 9.75, {608, 64, 321, 417}},
    };
    TempStore temp;
    StartedWindow w(temp.store);
    for (const auto &c : cases) {
        QWidget *control = w.child(QLatin1String(c.name));
        QVERIFY(control);
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            QCOMPARE(QString::number(edit->maxLength()), QString(c.caption));
        else if (auto *button = qobject_cast<QPushButton *>(control))
            QCOMPARE(button->text(), QString(c.caption));
        else if (auto *label = qobject_cast<QLabel *>(control))
            QCOMPARE(label->text(), QString(c.caption));
        QCOMPARE(control->font().pointSizeF(), c.pointSize);
        QCOMPARE(QRect(control->mapTo(w.window.centralWidget(), QPoint(0, 0)), control->size()), c.place);
    }
}

void WindowStartupTest::menuHasSixPlainItems()
{
    TempStore temp;
    StartedWindow w(temp.store);
    QStringList seen;
    for (QAction *bar : w.window.menuBar()->actions()) {
        seen << bar->menu()->objectName() + " " + bar->menu()->title();
        for (QAction *item : bar->menu()->actions()) {
            seen << "  " + item->objectName() + " " + item->text();
            QVERIFY(!item->isCheckable());
        }
    }
    QCOMPARE(seen, QStringList({"mnuSettings Settings", "  mnuIP IP Address", "  mnuPort Port No",
                                "  mnuGateWay Gate Way", "  mnuSubnet Subnet Mask", "mnuTest TEST",
                                "  mnuComCheck ComCheck", "mnuVer Version", "  mnuVersion Version"}));
}

void WindowStartupTest::tabRunsFromTheBottomButtonsThroughTheRows()
{
    TempStore temp;
    StartedWindow w(temp.store);
    w.showAndActivate();

    const auto walk = [](int steps) {
        QStringList seen{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.append(QApplication::focusWidget()->objectName());
        }
        return seen;
    };
    QCOMPARE(walk(9),
             QStringList({"cmdAllSet_IP", "cmdAllPing", "chkSlot_IP[0]", "txtMCAddr[0]", "txtIPAddr_IP[0]",
                          "cmdSet_IP[0]", "cmdPing[0]", "chkSlot_IP[1]", "txtMCAddr[1]"}));

    w.menu("mnuSubnet");
    w.child("cmdAllSet_Subnet")->setFocus();
    QCOMPARE(walk(6), QStringList({"cmdAllSet_Subnet", "chkSlot_Sub[0]", "txtIPAddr_Sub[0]", "txtPort_Sub[0]",
                                   "txtSubnetMask[0]", "cmdSet_Sub[0]"}));
    // The last row leads to the log window, and the log window back to the pane.
    w.child("cmdSet_Sub[7]")->setFocus();
    QCOMPARE(walk(3), QStringList({"cmdSet_Sub[7]", "txtLog", "cmdAllSet_Subnet"}));
}

void WindowStartupTest::missingAdministratorRightsEndStartUpWithoutSaving()
{
    TempStore temp;
    temp.seed("IPAddress", 1, "10.0.0.1");
    const QString before = QFile::exists(temp.iniPath()) ? temp.stored("IPAddress", 1) : QString();
    {
        FakeHost host;
        host.administrator = false;
        RecordingBoxes boxes;
        int ends = 0;
        HostChecks checks(host, boxes, [&] { ++ends; });
        frmPelmora2 window(temp.store);
        window.setMessageBoxes(&boxes);

        QVERIFY(!window.Form_Load(checks));
        QCOMPARE(ends, 1);
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].title, QString("Caution"));
        QCOMPARE(boxes.boxes[0].icon, BoxIcon::Exclamation);
        QVERIFY(!window.isVisible());
        window.storeSlotIP(1, "10.9.9.9"); // would show up in the file if anything saved
    }
    QCOMPARE(temp.stored("IPAddress", 1), before);
    QCOMPARE(temp.stored("Slot", 1), QString("<absent>"));

    // An administrator, or any user on an older host, reaches the window.
    for (const auto &[admin, major] : {std::pair{true, 10}, std::pair{false, 5}}) {
        FakeHost host;
        host.administrator = admin;
        host.major = major;
        RecordingBoxes boxes;
        HostChecks checks(host, boxes, [] { QFAIL("the program must not end"); });
        frmPelmora2 window(temp.store);
        window.setMessageBoxes(&boxes);
        QVERIFY(window.Form_Load(checks));
        QVERIFY(boxes.boxes.isEmpty());
    }
}

QTEST_MAIN(WindowStartupTest)
#include "WindowStartupTest.moc"
