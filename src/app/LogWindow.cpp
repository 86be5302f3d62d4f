#include "LogWindow.h"

#include <QTextCursor>

LogWindow::LogWindow(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    setUndoRedoEnabled(false); // an ever-growing undo stack would make the log cost memory twice
}

void LogWindow::appendLog(const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(lines);
    setTextCursor(end); // the caret at the end scrolls the last line into view
}

QString LogWindow::logText() const
{
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}
