#include "FilteredLineEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

namespace
{

constexpr qint16 Backspace = 8;

} // namespace

FilteredLineEdit::FilteredLineEdit(KeyRule rule, QWidget *parent) : QLineEdit(parent), m_rule(rule) {}

qint16 FilteredLineEdit::ruleCode(QChar ch) const
{
    return keyRuleCode(m_rule, ch);
}

QString FilteredLineEdit::filtered(const QString &text) const
{
    // Inside inserted text a backspace is not an editing key: it never lands in the field.
    return filterText(m_rule, text);
}

void FilteredLineEdit::insertFiltered(const QString &text)
{
    if (isReadOnly())
        return;
    insert(filtered(text)); // replaces the selection and keeps to maxLength
}

void FilteredLineEdit::pasteFiltered(QClipboard::Mode mode)
{
    insertFiltered(QGuiApplication::clipboard()->text(mode));
}

bool FilteredLineEdit::isEditingCommand(const QKeyEvent *event)
{
    static const QKeySequence::StandardKey commands[] = {
        QKeySequence::Copy,
        QKeySequence::Cut,
        QKeySequence::SelectAll,
        QKeySequence::Undo,
        QKeySequence::Redo,
        QKeySequence::Delete,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord,
    };
    for (const auto command : commands) {
        if (event->matches(command))
            return true;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

void FilteredLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered(QClipboard::Clipboard);
        event->accept();
        return;
    }
    if (event->text().isEmpty() || isEditingCommand(event)) {
        QLineEdit::keyPressEvent(event); // navigation and editing commands type no character
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        if (ruleCode(QChar(char16_t(Backspace))) == Backspace)
            QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }
    // Every other key types its text; what the rule swallows has no effect at all (Enter included:
    // no returnPressed, nothing passed on to the window).
    insertFiltered(event->text());
    event->accept();
}

void FilteredLineEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // Composition text would show characters the field can never hold: only the filtered commit
    // string is passed on.
    QInputMethodEvent committed;
    committed.setCommitString(filtered(event->commitString()), event->replacementStart(),
                              event->replacementLength());
    QLineEdit::inputMethodEvent(&committed);
    event->setAccepted(committed.isAccepted());
}

void FilteredLineEdit::dropEvent(QDropEvent *event)
{
    const QMimeData *source = event->mimeData();
    if (!source || !source->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    // The base class keeps its own handling of drop position and of moves inside the field; it only
    // gets the filtered text.
    QMimeData filteredData;
    filteredData.setText(filtered(source->text()));
    QDropEvent filteredDrop(event->position(), event->possibleActions(), &filteredData, event->buttons(),
                            event->modifiers(), event->type());
    filteredDrop.setDropAction(event->proposedAction());
    QLineEdit::dropEvent(&filteredDrop);
    event->setDropAction(filteredDrop.dropAction());
    event->setAccepted(filteredDrop.isAccepted());
}

void FilteredLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    if (!menu)
        return;
    const QString pasteText = QLineEdit::tr("&Paste");
    for (QAction *action : menu->actions()) {
        if (!action->text().startsWith(pasteText))
            continue;
        disconnect(action, &QAction::triggered, this, nullptr);
        connect(action, &QAction::triggered, this, [this] { pasteFiltered(QClipboard::Clipboard); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void FilteredLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The X11 selection paste by the middle button.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() &&
        !isReadOnly()) {
        deselect();
        pasteFiltered(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}
