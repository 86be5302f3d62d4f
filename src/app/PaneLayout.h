#pragma once

#include "KeyFilters.h"
#include "OperationView.h"

#include <functional>
#include <vector>

class frmPelmora2;

// What a control tells the window when clicked: a row control with its slot row, a bottom button alone.
using RowClick = std::function<void(frmPelmora2 &, int slot)>;
using PaneClick = std::function<void(frmPelmora2 &)>;

// What a pane's slot-table column a field shows when the pane is filled.
enum class SlotColumn { None, MAC, IP, Port };

enum class RowControlKind { Label, Dash, ReadOnlyField, Field, Button };

// One control of a slot row, left to right inside the row frame (x and width in twips). The tick box
// at the frame's left edge is common to every pane and not listed.
struct RowControl {
    RowControlKind kind = RowControlKind::Label;
    const char *name = nullptr;    // control array name; nullptr for the plain caption labels
    const char *caption = nullptr; // label or button text, or the read-only field's fixed text
    int x = 0;
    int width = 0;
    Field field = Field::MAC; // Field and ReadOnlyField only
    int maxLength = 0;        // Field only
    KeyRule rule = nullptr;   // Field only
    SlotColumn column = SlotColumn::None;
    RowClick click = nullptr; // Button only
};

struct BottomButton {
    const char *name;
    const char *caption;
    int x;
    PaneClick click;
};

// One of the five panes: title, row frame array, the row's controls and the bottom button(s).
struct PaneLayout {
    Pane pane;
    const char *titleName;
    const char *title;
    const char *frameName;
    const char *tickName;
    RowClick tickClick;
    std::vector<RowControl> row;
    std::vector<BottomButton> bottom;
};

// The five panes in menu order: IP, Port, Gateway, Subnet mask, Communication check.
const std::vector<PaneLayout> &PaneLayouts();
