// The filtered field and the pane lock's order of steps.
#include "FilteredLineEdit.h"
#include "PaneLock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

namespace
{

// Records, in order, the objects whose enabled state changes.
class EnableRecorder : public QObject
{
public:
    QStringList changes;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            changes << watched->objectName();
        return false;
    }
};

} // namespace

class InputTest : public QObject
{
    Q_OBJECT

private slots:
    void fieldFiltersTypedPastedAndDroppedText()
    {
        QWidget window;
        auto *port = new FilteredLineEdit(HexPortKeyRule, &window);
        auto *address = new FilteredLineEdit(FilterIPAddrKey, &window);
        port->setMaxLength(4);
        address->setGeometry(0, 40, 200, 30);
        window.show();
        port->setFocus();
        QTest::keyClicks(port, "1x2y345"); // refused keys do not count against the maximum length
        QTest::keyClick(port, Qt::Key_Return);
        QCOMPARE(port->text(), QString("1234"));
        QTest::keyClick(port, Qt::Key_Backspace);
        QApplication::clipboard()->setText("a-.g Z\r\n9;8");
        QTest::keyClick(port, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(port->text(), QString("123A"));

        address->setText("10.");
        QMimeData data;
        data.setText("0.0.x1`reboot`");
        const QPoint end(address->width() - 5, address->height() / 2);
        QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(address, &enter);
        QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(address, &drop);
        QCOMPARE(address->text(), QString("10.0.0.1"));
    }

    void paneLockStepsThroughButtonsTicksFieldsThenMenuItems()
    {
        QWidget window;
        EnableRecorder recorder;
        PaneControls pane;
        QList<QAction *> items = {new QAction("mnuIP", &window), new QAction("mnuVersion", &window)};
        const auto add = [&](QWidget *control, const char *name, QList<QWidget *> &list) {
            control->setObjectName(name);
            control->installEventFilter(&recorder);
            list << control;
        };
        add(new QPushButton(&window), "cmdPing[0]", pane.buttons);
        add(new QCheckBox(&window), "chkSlot_IP[0]", pane.slotChecks);
        add(new QLineEdit(&window), "txtMCAddr[0]", pane.textBoxes);
        add(new QLineEdit(&window), "txtIPAddr_IP[0]", pane.textBoxes);
        for (QAction *item : items)
            connect(item, &QAction::changed, this, [&, item] { recorder.changes << item->text(); });
        auto *outsider = new QLineEdit(&window);

        for (bool enabled : {false, true}) { // each control's change, both ways, means each took the state
            recorder.changes.clear();
            SetPaneEnabled(pane, items, enabled);
            QCOMPARE(recorder.changes, QStringList({"cmdPing[0]", "chkSlot_IP[0]", "txtMCAddr[0]",
                                                    "txtIPAddr_IP[0]", "mnuIP", "mnuVersion"}));
            QVERIFY(items[0]->isEnabled() == enabled && items[1]->isEnabled() == enabled &&
                    outsider->isEnabled());
        }
    }
};

QTEST_MAIN(InputTest)
#include "InputTest.moc"
