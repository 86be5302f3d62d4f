#include "FilteredLineEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <memory>

// The fields as the window has them: a real widget under a real parent, shown offscreen, driven by
// key events, the clipboard and drops.
class FilteredLineEditTest : public QObject
{
    Q_OBJECT

private slots:
    void typedKeysPassTheFieldsRule_data();
    void typedKeysPassTheFieldsRule();
    void backspaceAndNavigationKeysEditAsUsual();
    void enterInsertsNothingAndTriggersNothing();
    void typingStopsAtMaxLength();
    void pasteShortcutsInsertOnlyAcceptedCharacters();
    void contextMenuPasteIsFiltered();
    void droppedTextIsFiltered();
    void programSetTextIsTakenAsItIs();

private:
    struct Field {
        std::unique_ptr<QWidget> window;
        FilteredLineEdit *edit;
    };
    static Field makeField(KeyRule rule, int maxLength = 15);
};

namespace
{

// Counts key presses that reach the window behind a field.
class KeyCounter : public QObject
{
public:
    int keyPresses = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            ++keyPresses;
        return false;
    }
};

} // namespace

FilteredLineEditTest::Field FilteredLineEditTest::makeField(KeyRule rule, int maxLength)
{
    Field field{std::make_unique<QWidget>(), nullptr};
    field.edit = new FilteredLineEdit(rule, field.window.get());
    field.edit->setMaxLength(maxLength);
    field.edit->resize(200, 30);
    field.window->resize(220, 50);
    field.window->show();
    field.edit->setFocus();
    return field;
}

void FilteredLineEditTest::typedKeysPassTheFieldsRule_data()
{
    QTest::addColumn<KeyRule>("rule");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("landed");
    QTest::newRow("port: letters to upper, G refused") << KeyRule(HexPortKeyRule) << "1f9G"
                                                       << "1F9";
    QTest::newRow("port: no hyphen or dot") << KeyRule(HexPortKeyRule) << "-.a"
                                            << "A";
    QTest::newRow("MAC tail: hyphen kept") << KeyRule(MacTailKeyRule) << "aB-c9"
                                           << "AB-C9";
    QTest::newRow("MAC tail: x, blank and dot refused") << KeyRule(MacTailKeyRule) << "x .1"
                                                        << "1";
    QTest::newRow("address: digits and dots only") << KeyRule(FilterIPAddrKey) << "1a/- 9.Z0"
                                                   << "19.0";
    QTest::newRow("address: no upper-casing") << KeyRule(FilterIPAddrKey) << "abc"
                                              << "";
    QTest::newRow("non-ASCII is swallowed")
        << KeyRule(FilterIPAddrKey) << QString("1") + QChar(0xFF12) + QChar(0xE9) + "3"
        << "13";
}

void FilteredLineEditTest::typedKeysPassTheFieldsRule()
{
    QFETCH(KeyRule, rule);
    QFETCH(QString, typed);
    QFETCH(QString, landed);
    Field field = makeField(rule);
    for (const QChar ch : typed) {
        if (ch.unicode() < 128)
            QTest::keyClick(field.edit, ch.toLatin1());
        else // what an input method or a compose key delivers
            QTest::sendKeyEvent(QTest::Click, field.edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QCOMPARE(field.edit->text(), landed);
}

void FilteredLineEditTest::backspaceAndNavigationKeysEditAsUsual()
{
    for (KeyRule rule : {KeyRule(HexPortKeyRule), KeyRule(MacTailKeyRule), KeyRule(FilterIPAddrKey)}) {
        Field field = makeField(rule);
        QTest::keyClicks(field.edit, "123");
        QTest::keyClick(field.edit, Qt::Key_Backspace);
        QCOMPARE(field.edit->text(), QString("12"));
        QTest::keyClick(field.edit, Qt::Key_Home);
        QTest::keyClick(field.edit, Qt::Key_Delete);
        QCOMPARE(field.edit->text(), QString("2"));
        QTest::keyClicks(field.edit, "9");
        QTest::keyClick(field.edit, Qt::Key_End);
        QTest::keyClicks(field.edit, "0");
        QCOMPARE(field.edit->text(), QString("920"));
        QTest::keyClick(field.edit, Qt::Key_Left);
        QTest::keyClick(field.edit, Qt::Key_Backspace);
        QCOMPARE(field.edit->text(), QString("90"));
    }
}

void FilteredLineEditTest::enterInsertsNothingAndTriggersNothing()
{
    for (KeyRule rule : {KeyRule(HexPortKeyRule), KeyRule(MacTailKeyRule), KeyRule(FilterIPAddrKey)}) {
        Field field = makeField(rule);
        KeyCounter behind;
        field.window->installEventFilter(&behind);
        QSignalSpy returnPressed(field.edit, &QLineEdit::returnPressed);
        QSignalSpy editingFinished(field.edit, &QLineEdit::editingFinished);
        QTest::keyClicks(field.edit, "12");
        QTest::keyClick(field.edit, Qt::Key_Return);
        QTest::keyClick(field.edit, Qt::Key_Enter);
        QTest::keyClick(field.edit, Qt::Key_Escape);
        QCOMPARE(field.edit->text(), QString("12"));
        QCOMPARE(returnPressed.count(), 0);
        QCOMPARE(editingFinished.count(), 0);
        QCOMPARE(behind.keyPresses, 0);
    }
}

void FilteredLineEditTest::typingStopsAtMaxLength()
{
    Field field = makeField(HexPortKeyRule, 4);
    QTest::keyClicks(field.edit, "1x2y345");
    QCOMPARE(field.edit->text(), QString("1234"));
}

void FilteredLineEditTest::pasteShortcutsInsertOnlyAcceptedCharacters()
{
    Field field = makeField(HexPortKeyRule, 4);
    QApplication::clipboard()->setText("a-.g Z\b\r\n1");
    QTest::keyClick(field.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field.edit->text(), QString("A1"));

    // Refused characters do not count against the maximum length.
    QApplication::clipboard()->setText("x9;8|7&6");
    QTest::keyClick(field.edit, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field.edit->text(), QString("A198"));

    // A paste replaces the selection, like a typed key.
    Field address = makeField(FilterIPAddrKey);
    address.edit->setText("1.2.3.4");
    address.edit->setSelection(4, 3);
    QApplication::clipboard()->setText("7.8; rm -rf /");
    QTest::keyClick(address.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(address.edit->text(), QString("1.2.7.8"));
}

void FilteredLineEditTest::contextMenuPasteIsFiltered()
{
    Field field = makeField(MacTailKeyRule);
    QApplication::clipboard()->setText("ab-cd-ef; ls");
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                field.edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(field.edit, &menuEvent);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction *paste = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text().startsWith(QLineEdit::tr("&Paste")))
            paste = action;
    }
    QVERIFY(paste);
    QVERIFY(paste->isEnabled());
    paste->trigger();
    menu->close();
    QCOMPARE(field.edit->text(), QString("AB-CD-EF"));
}

void FilteredLineEditTest::droppedTextIsFiltered()
{
    Field field = makeField(FilterIPAddrKey);
    field.edit->setText("10.");
    QMimeData data;
    data.setText("0.0.x1`reboot`");
    const QPointF at(field.edit->width() - 5, field.edit->height() / 2);
    // The drag enters first: only the widget that accepted it receives the drop.
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field.edit, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field.edit, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(field.edit->text(), QString("10.0.0.1"));
}

void FilteredLineEditTest::programSetTextIsTakenAsItIs()
{
    Field field = makeField(HexPortKeyRule, 4);
    field.edit->setText("ab");
    QCOMPARE(field.edit->text(), QString("ab"));
    QCOMPARE(field.edit->filtered("ab-z9"), QString("AB9"));
}

QTEST_MAIN(FilteredLineEditTest)
#include "FilteredLineEditTest.moc"
