#pragma once

#include "KeyFilters.h"

#include <QClipboard>
#include <QLineEdit>

// A single-line text field whose every typed character passes its keystroke rule before insertion;
// pasted or dropped text goes through the same rule character by character. Text set by the program
// (setText) is taken as it is.
class FilteredLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit FilteredLineEdit(KeyRule rule, QWidget *parent = nullptr);

    // The text that would be inserted for typed or pasted text: each character through the rule.
    QString filtered(const QString &text) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // The code the rule gives for one character; 0 when the character is swallowed.
    qint16 ruleCode(QChar ch) const;
    void insertFiltered(const QString &text);
    void pasteFiltered(QClipboard::Mode mode);
    static bool isEditingCommand(const QKeyEvent *event);

    KeyRule m_rule;
};
