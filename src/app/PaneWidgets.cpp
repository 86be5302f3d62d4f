#include "PaneWidgets.h"

#include "FilteredLineEdit.h"
#include "Twips.h"
#include "WindowFonts.h"
#include "WindowGeometry.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace G = WindowGeometry;

namespace
{

QString indexedName(const char *name, int slot)
{
    return QStringLiteral("%1[%2]").arg(QLatin1String(name)).arg(slot);
}

QRect lineRect(int x, int width)
{
    return twipsRect(x, G::RowLineTop, width, G::RowLineHeight);
}

QRect labelRect(int x, int width)
{
    return twipsRect(x, G::RowLineTop + (G::RowLineHeight - G::RowLabelHeight) / 2, width, G::RowLabelHeight);
}

QLineEdit *makeField(const RowControl &control, QFrame *frame)
{
    QLineEdit *edit = control.kind == RowControlKind::Field ? new FilteredLineEdit(control.rule, frame)
                                                            : new QLineEdit(frame);
    edit->setGeometry(lineRect(control.x, control.width));
    if (control.kind == RowControlKind::ReadOnlyField) {
        edit->setText(QString::fromLatin1(control.caption));
        edit->setReadOnly(true);
        edit->setTextMargins(-2, 0, -2, 0); // the box was sized for the text with no inner margin
        edit->setCursorPosition(0);
        edit->setFocusPolicy(Qt::ClickFocus); // selectable, but not a tab stop
    } else {
        edit->setMaxLength(control.maxLength);
    }
    return edit;
}

QLabel *makeLabel(const RowControl &control, QFrame *frame)
{
    auto *label = new QLabel(QString::fromLatin1(control.caption), frame);
    if (control.kind == RowControlKind::Dash) {
        label->setFont(WindowFonts::Dash());
        label->setGeometry(lineRect(control.x, control.width));
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        label->setGeometry(labelRect(control.x, control.width));
    }
    return label;
}

PaneWidgets::FieldArray *findOrAddField(PaneWidgets &pane, const RowControl &control)
{
    auto it = std::find_if(pane.fields.begin(), pane.fields.end(),
                           [&](const PaneWidgets::FieldArray &f) { return f.field == control.field; });
    if (it != pane.fields.end())
        return &*it;
    pane.fields.push_back({control.field, control.column, control.kind == RowControlKind::Field, {}});
    return &pane.fields.back();
}

PaneWidgets::ButtonArray *findOrAddButton(PaneWidgets &pane, const RowControl &control)
{
    const QString name = QString::fromLatin1(control.name);
    auto it = std::find_if(pane.rowButtons.begin(), pane.rowButtons.end(),
                           [&](const PaneWidgets::ButtonArray &b) { return b.name == name; });
    if (it != pane.rowButtons.end())
        return &*it;
    pane.rowButtons.push_back({name, control.click, {}});
    return &pane.rowButtons.back();
}

void buildRow(const PaneLayout &layout, int slot, QWidget *parent, PaneWidgets &pane)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(indexedName(layout.frameName, slot));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setAutoFillBackground(true); // a lower frame covers the bottom edge of the one above it
    frame->setGeometry(twipsRect(G::FrameLeft, G::FrameTops[slot], G::FrameWidth, G::FrameHeight));
    pane.frames[slot] = frame;

    auto *tick = new QCheckBox(frame);
    tick->setObjectName(indexedName(layout.tickName, slot));
    tick->setGeometry(lineRect(G::TickBoxLeft, G::TickBoxWidth));
    pane.ticks[slot] = tick;

    for (const RowControl &control : layout.row) {
        switch (control.kind) {
        case RowControlKind::Label:
        case RowControlKind::Dash:
            makeLabel(control, frame);
            break;
        case RowControlKind::ReadOnlyField:
        case RowControlKind::Field: {
            QLineEdit *edit = makeField(control, frame);
            edit->setObjectName(indexedName(control.name, slot));
            findOrAddField(pane, control)->rows[slot] = edit;
            break;
        }
        case RowControlKind::Button: {
            auto *button = new QPushButton(QString::fromLatin1(control.caption), frame);
            button->setObjectName(indexedName(control.name, slot));
            button->setGeometry(lineRect(control.x, control.width));
            button->setAutoDefault(false);
            findOrAddButton(pane, control)->rows[slot] = button;
            break;
        }
        }
    }
}

} // namespace

PaneWidgets BuildPane(const PaneLayout &layout, QWidget *parent)
{
    PaneWidgets pane;
    pane.pane = layout.pane;

    pane.title = new QLabel(QString::fromLatin1(layout.title), parent);
    pane.title->setObjectName(QString::fromLatin1(layout.titleName));
    pane.title->setFont(WindowFonts::Title());
    pane.title->setGeometry(twipsRect(G::TitleLeft, G::TitleTop, G::TitleWidth, G::TitleHeight));

    for (int slot = 0; slot < SlotCount; ++slot)
        buildRow(layout, slot, parent, pane);

    for (const BottomButton &bottom : layout.bottom) {
        auto *button = new QPushButton(QString::fromLatin1(bottom.caption), parent);
        button->setObjectName(QString::fromLatin1(bottom.name));
        button->setFont(WindowFonts::BottomButton());
        button->setAutoDefault(false);
        button->setGeometry(
            twipsRect(bottom.x, G::BottomButtonTop, G::BottomButtonWidth, G::BottomButtonHeight));
        pane.bottomButtons.push_back(button);
    }
    return pane;
}

void PaneWidgets::setVisible(bool show) const
{
    for (QFrame *frame : frames)
        frame->setVisible(show);
    for (QPushButton *button : bottomButtons)
        button->setVisible(show);
    title->setVisible(show);
}

const PaneWidgets::FieldArray *PaneWidgets::fieldArray(Field field) const
{
    for (const FieldArray &f : fields)
        if (f.field == field)
            return &f;
    return nullptr;
}

QList<QWidget *> PaneWidgets::tabOrder() const
{
    QList<QWidget *> order(bottomButtons.begin(), bottomButtons.end());
    for (int slot = 0; slot < SlotCount; ++slot) {
        order.append(ticks[slot]);
        for (const FieldArray &f : fields)
            if (f.editable)
                order.append(f.rows[slot]);
        for (const ButtonArray &b : rowButtons)
            order.append(b.rows[slot]);
    }
    return order;
}

PaneControls PaneWidgets::lockControls() const
{
    PaneControls controls;
    for (auto b = rowButtons.rbegin(); b != rowButtons.rend(); ++b)
        controls.buttons.append(QList<QWidget *>(b->rows.begin(), b->rows.end()));
    for (auto b = bottomButtons.rbegin(); b != bottomButtons.rend(); ++b)
        controls.buttons.append(*b);
    controls.slotChecks = QList<QWidget *>(ticks.begin(), ticks.end());
    for (const FieldArray &f : fields)
        if (f.editable)
            controls.textBoxes.append(QList<QWidget *>(f.rows.begin(), f.rows.end()));
    return controls;
}
