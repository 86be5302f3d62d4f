// The filtered field: what is typed, pasted or dropped passes its key rule.
#include "FilteredLineEdit.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

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
};

QTEST_MAIN(InputTest)
#include "InputTest.moc"
