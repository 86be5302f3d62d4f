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
    void controlsCarryTheirCaptionsAndLimits_data();
    void controlsCarryTheirCaptionsAndLimits();
    void controlsSitAtTheirPlaces_data();
    void controlsSitAtTheirPlaces();
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
    QCOMPARE(w.child<QLineEdit>("txtMCAddr", 3)->text(), QString());

    // The log window: read-only, both scroll bars, no wrapping, titled.
    auto *log = w.child<QPlainTextEdit>("txtLog");
    QVERIFY(log->isVisible() && log->isReadOnly());
    QCOMPARE(log->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(w.child<QLabel>("Label2")->text(), QString("<Log Window>"));
}

void WindowStartupTest::controlsCarryTheirCaptionsAndLimits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption"); // button or label text; "" for fields
    QTest::addColumn<int>("maxLength");   // fields only
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<bool>("bold");

    QTest::newRow("IP title") << "lblTitle_IP"
                              << "<Set IP Address>" << 0 << 18.0 << true;
    QTest::newRow("Port title") << "lblTitle_Port"
                                << "<Set Port No.>" << 0 << 18.0 << true;
    QTest::newRow("GW title") << "lblTitle_GW"
                              << "<Set GateWay Address>" << 0 << 18.0 << true;
    QTest::newRow("Subnet title") << "lblTitle_Subnet"
                                  << "<Set Subnet Mask>" << 0 << 18.0 << true;
    QTest::newRow("ComCheck title") << "lblTitle_ComCheck"
                                    << "<Communication Check Test>" << 0 << 18.0 << true;
    QTest::newRow("log title") << "Label2"
                               << "<Log Window>" << 0 << 18.0 << true;
    QTest::newRow("Set All IP") << "cmdAllSet_IP"
                                << "Set All" << 0 << 13.5 << false;
    QTest::newRow("Ping All") << "cmdAllPing"
                              << "Ping All" << 0 << 13.5 << false;
    QTest::newRow("ComCheck All") << "cmdAllComCheck"
                                  << "ComCheck All" << 0 << 13.5 << false;
    QTest::newRow("Set All Subnet") << "cmdAllSet_Subnet"
                                    << "Set All" << 0 << 13.5 << false;
    QTest::newRow("row Set") << "cmdSet_GW[4]"
                             << "Set" << 0 << 9.75 << false;
    QTest::newRow("row Ping") << "cmdPing[0]"
                              << "Ping" << 0 << 9.75 << false;
    QTest::newRow("row ComCheck") << "cmdComCheck[7]"
                                  << "ComCheck" << 0 << 9.75 << false;
    QTest::newRow("MAC tail") << "txtMCAddr[1]"
                              << "" << 8 << 9.75 << false;
    QTest::newRow("IP field") << "txtIPAddr_IP[3]"
                              << "" << 15 << 9.75 << false;
    QTest::newRow("port") << "txtPort_Port[1]"
                          << "" << 4 << 9.75 << false;
    QTest::newRow("new port") << "txtNewPort[7]"
                              << "" << 4 << 9.75 << false;
    QTest::newRow("gateway") << "txtGateWay[2]"
                             << "" << 15 << 9.75 << false;
    QTest::newRow("mask") << "txtSubnetMask[5]"
                          << "" << 15 << 9.75 << false;
    QTest::newRow("ComCheck port") << "txtPort_ComCheck[6]"
                                   << "" << 4 << 9.75 << false;
    QTest::newRow("ComCheck IP") << "txtIPAddr_ComCheck[0]"
                                 << "" << 15 << 9.75 << false;
}

void WindowStartupTest::controlsCarryTheirCaptionsAndLimits()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, maxLength);
    QFETCH(qreal, pointSize);
    QFETCH(bool, bold);

    TempStore temp;
    StartedWindow w(temp.store);
    QWidget *control = w.child(name);
    QVERIFY(control);
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        QCOMPARE(edit->maxLength(), maxLength);
        QCOMPARE(edit->text(), QString());
        QVERIFY(!edit->isReadOnly());
    } else if (auto *button = qobject_cast<QPushButton *>(control)) {
        QCOMPARE(button->text(), caption);
    } else {
        QCOMPARE(qobject_cast<QLabel *>(control)->text(), caption);
    }
    QCOMPARE(control->font().pointSizeF(), pointSize);
    QCOMPARE(control->font().bold(), bold);
}

void WindowStartupTest::controlsSitAtTheirPlaces_data()
{
    // Pixels in the client area (15 twips each).
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");

    QTest::newRow("row frame 0") << "frmIP[0]" << QRect(64, 56, 529, 53);
    QTest::newRow("row frame 7") << "frmComCheck[7]" << QRect(64, 369, 529, 53);
    QTest::newRow("slot caption 2") << "labUnit[2]" << QRect(8, 167, 53, 17);
    QTest::newRow("title") << "lblTitle_Port" << QRect(16, 16, 568, 30);
    QTest::newRow("Set All IP") << "cmdAllSet_IP" << QRect(296, 440, 137, 41);
    QTest::newRow("Ping All") << "cmdAllPing" << QRect(448, 440, 137, 41);
    QTest::newRow("Set All GW") << "cmdAllSet_GW" << QRect(448, 440, 137, 41);
    QTest::newRow("log") << "txtLog" << QRect(608, 64, 321, 417);
    QTest::newRow("log title") << "Label2" << QRect(616, 16, 313, 30);
    // Row controls: the frame's place plus their own.
    QTest::newRow("tick box") << "chkSlot_GW[1]" << QRect(64 + 16, 101 + 14, 20, 25);
    QTest::newRow("MAC prefix") << "txtMAC[0]" << QRect(64 + 104, 56 + 14, 57, 25);
    QTest::newRow("MAC tail") << "txtMCAddr[0]" << QRect(64 + 184, 56 + 14, 70, 25);
    QTest::newRow("Ping") << "cmdPing[0]" << QRect(64 + 480, 56 + 14, 41, 25);
    QTest::newRow("mask") << "txtSubnetMask[3]" << QRect(64 + 353, 191 + 14, 118, 25);
    QTest::newRow("ComCheck") << "cmdComCheck[4]" << QRect(64 + 424, 236 + 14, 81, 25);
    QTest::newRow("new port") << "txtNewPort[6]" << QRect(64 + 408, 325 + 14, 54, 25);
}

void WindowStartupTest::controlsSitAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);

    TempStore temp;
    StartedWindow w(temp.store);
    QWidget *control = w.child(name);
    QVERIFY(control);
    QWidget *client = w.window.centralWidget();
    QCOMPARE(QRect(control->mapTo(client, QPoint(0, 0)), control->size()), place);
}

void WindowStartupTest::menuHasSixPlainItems()
{
    TempStore temp;
    StartedWindow w(temp.store);
    const struct {
        const char *menu = nullptr;
        const char *title = nullptr;
        QList<QPair<QString, QString>> items;
    } expected[] = {
        {"mnuSettings",
         "Settings",
         {{"mnuIP", "IP Address"},
          {"mnuPort", "Port No"},
          {"mnuGateWay", "Gate Way"},
          {"mnuSubnet", "Subnet Mask"}}},
        {"mnuTest", "TEST", {{"mnuComCheck", "ComCheck"}}},
        {"mnuVer", "Version", {{"mnuVersion", "Version"}}},
    };
    const QList<QAction *> bar = w.window.menuBar()->actions();
    QCOMPARE(bar.size(), 3);
    for (int m = 0; m < 3; ++m) {
        QMenu *menu = bar[m]->menu();
        QCOMPARE(menu->objectName(), QString(expected[m].menu));
        QCOMPARE(menu->title(), QString(expected[m].title));
        const QList<QAction *> items = menu->actions();
        QCOMPARE(items.size(), expected[m].items.size());
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i]->objectName(), expected[m].items[i].first);
            QCOMPARE(items[i]->text(), expected[m].items[i].second);
            QVERIFY(!items[i]->isCheckable());
        }
    }
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
