#include "PaneLock.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

// A pane of real controls with a real menu; every enabled-state change is recorded in the order it
// happens, so the lock's order of steps is visible.
class PaneLockTest : public QObject
{
    Q_OBJECT

private slots:
    void lockDisablesPaneAndMenuItemsInOrder();
    void unlockEnablesEverythingAgainAndTouchesNothingElse();

private:
    void buildWindow();

    QMainWindow window;
    PaneControls pane;
    QList<QAction *> menuItems;
    QAction *menuTitle = nullptr;
    QWidget *outsider = nullptr;
    QStringList changes;
};

namespace
{

class EnableRecorder : public QObject
{
public:
    explicit EnableRecorder(QStringList &changes) : m_changes(changes) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            m_changes.append(watched->objectName());
        return false;
    }

private:
    QStringList &m_changes;
};

} // namespace

void PaneLockTest::buildWindow()
{
    if (!pane.buttons.isEmpty())
        return;
    auto *central = new QWidget(&window);
    window.setCentralWidget(central);
    auto *recorder = new EnableRecorder(changes);
    recorder->setParent(&window);
    auto add = [&](QWidget *w, const QString &name, QList<QWidget *> &list) {
        w->setObjectName(name);
        w->installEventFilter(recorder);
        list.append(w);
    };
    for (int i = 0; i < 8; ++i)
        add(new QPushButton(central), QString("cmdPing[%1]").arg(i), pane.buttons);
    for (int i = 0; i < 8; ++i)
        add(new QPushButton(central), QString("cmdSet_IP[%1]").arg(i), pane.buttons);
    add(new QPushButton(central), "cmdAllPing", pane.buttons);
    add(new QPushButton(central), "cmdAllSet_IP", pane.buttons);
    for (int i = 0; i < 8; ++i)
        add(new QCheckBox(central), QString("chkSlot_IP[%1]").arg(i), pane.slotChecks);
    for (int i = 0; i < 8; ++i)
        add(new QLineEdit(central), QString("txtMCAddr[%1]").arg(i), pane.textBoxes);
    for (int i = 0; i < 8; ++i)
        add(new QLineEdit(central), QString("txtIPAddr_IP[%1]").arg(i), pane.textBoxes);

    QMenu *settings = window.menuBar()->addMenu("Settings");
    menuTitle = settings->menuAction();
    for (const char *name : {"mnuIP", "mnuPort", "mnuGateWay", "mnuSubnet"})
        menuItems.append(settings->addAction(name));
    menuItems.append(window.menuBar()->addMenu("TEST")->addAction("mnuComCheck"));
    menuItems.append(window.menuBar()->addMenu("Version")->addAction("mnuVersion"));
    for (QAction *item : menuItems) {
        item->setObjectName(item->text());
        connect(item, &QAction::changed, this, [this, item] { changes.append(item->objectName()); });
    }
    outsider = new QLineEdit(central);
    window.show();
}

void PaneLockTest::lockDisablesPaneAndMenuItemsInOrder()
{
    buildWindow();
    changes.clear();
    SetPaneEnabled(pane, menuItems, false);

    QStringList expectedOrder;
    for (const auto *list : {&pane.buttons, &pane.slotChecks, &pane.textBoxes})
        for (QWidget *w : *list)
            expectedOrder.append(w->objectName());
    for (QAction *item : menuItems)
        expectedOrder.append(item->objectName());
    QCOMPARE(changes, expectedOrder);

    for (const auto *list : {&pane.buttons, &pane.slotChecks, &pane.textBoxes})
        for (QWidget *w : *list)
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    for (QAction *item : menuItems)
        QVERIFY2(!item->isEnabled(), qPrintable(item->objectName()));
    QVERIFY(menuTitle->isEnabled()); // the menus that hold the items stay enabled
    QVERIFY(outsider->isEnabled());
}

void PaneLockTest::unlockEnablesEverythingAgainAndTouchesNothingElse()
{
    buildWindow();
    SetPaneEnabled(pane, menuItems, false);
    SetPaneEnabled(pane, menuItems, true);
    for (const auto *list : {&pane.buttons, &pane.slotChecks, &pane.textBoxes})
        for (QWidget *w : *list)
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    for (QAction *item : menuItems)
        QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));
    QVERIFY(outsider->isEnabled());
}

QTEST_MAIN(PaneLockTest)
#include "PaneLockTest.moc"
