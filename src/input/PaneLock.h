#pragma once

#include <QList>

class QAction;
class QWidget;

// The controls of one pane that the pane lock walks, each list in slot order 0 to 7 and, for buttons,
// with the bottom button(s) last (IP pane: cmdPing 0..7, cmdSet_IP 0..7, cmdAllPing, cmdAllSet_IP).
struct PaneControls {
    QList<QWidget *> buttons;
    QList<QWidget *> slotChecks;
    QList<QWidget *> textBoxes;
};

void EnableButtons(const PaneControls &pane, bool enabled);
void EnableSlotChecks(const PaneControls &pane, bool enabled);
void EnableTextBoxes(const PaneControls &pane, bool enabled);
// The six menu items (mnuIP, mnuPort, mnuGateWay, mnuSubnet, mnuComCheck, mnuVersion).
void EnableMenus(const QList<QAction *> &menuItems, bool enabled);

// Locks (false) or unlocks (true) a pane and the menu items: buttons, tick boxes, text fields, menus.
void SetPaneEnabled(const PaneControls &pane, const QList<QAction *> &menuItems, bool enabled);
