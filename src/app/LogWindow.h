#pragma once

#include <QPlainTextEdit>

// The log window txtLog: read-only for the user, scroll bars both ways, no wrapping. Operations only
// append; the document keeps "\n" line breaks and logText() gives the CR LF text they wrote.
class LogWindow : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit LogWindow(QWidget *parent = nullptr);

    // Adds text at the end (cost independent of the log's length) and puts the caret at the end.
    void appendLog(const QString &text);
    QString logText() const;
};
