#pragma once

#include "KeyFilters.h"

#include <QLineEdit>

// A single-line text field whose every typed character passes its keystroke rule before insertion;
// pasted or dropped text goes through the same rule character by character.
class FilteredLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    FilteredLineEdit(KeyRule rule, QWidget *parent = nullptr);

    // The text that would be inserted for typed or pasted text: each character through the rule.
    QString filtered(const QString &text) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void insertFiltered(const QString &text);

    KeyRule m_rule;
};
