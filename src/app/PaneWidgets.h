#pragma once

#include "PaneLayout.h"
#include "PaneLock.h"
#include "SlotCount.h"

#include <QList>
#include <QString>
#include <array>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

template <typename T> using SlotArray = std::array<T *, SlotCount>;

// The controls of one pane, built from its PaneLayout.
struct PaneWidgets {
    struct FieldArray {
        Field field = Field::MAC;
        SlotColumn column = SlotColumn::None;
        bool editable = false;
        SlotArray<QLineEdit> rows{};
    };
    struct ButtonArray {
        QString name;
        RowClick click;
        SlotArray<QPushButton> rows{};
    };

    Pane pane = Pane::IP;
    QLabel *title = nullptr;
    SlotArray<QFrame> frames{};
    SlotArray<QCheckBox> ticks{};
    std::vector<FieldArray> fields;           // left to right
    std::vector<ButtonArray> rowButtons;      // left to right
    std::vector<QPushButton *> bottomButtons; // in the layout's order

    // The row frames (with their contents), then the bottom button(s), then the title.
    void setVisible(bool show) const;
    const FieldArray *fieldArray(Field field) const;
    // Bottom button(s), then per row: tick box, editable fields, buttons.
    QList<QWidget *> tabOrder() const;
    // What the pane lock walks: buttons right to left per row array, then the bottom buttons.
    PaneControls lockControls() const;
};

// Creates the pane's controls as children of parent at their fixed places, each named after its control.
PaneWidgets BuildPane(const PaneLayout &layout, QWidget *parent);
