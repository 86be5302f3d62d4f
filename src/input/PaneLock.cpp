#include "PaneLock.h"

#include <QAction>
#include <QWidget>

namespace
{

void setEnabledInOrder(const QList<QWidget *> &controls, bool enabled)
{
    for (QWidget *control : controls)
        control->setEnabled(enabled);
}

} // namespace

void EnableButtons(const PaneControls &pane, bool enabled)
{
    setEnabledInOrder(pane.buttons, enabled);
}

void EnableSlotChecks(const PaneControls &pane, bool enabled)
{
    setEnabledInOrder(pane.slotChecks, enabled);
}

void EnableTextBoxes(const PaneControls &pane, bool enabled)
{
    setEnabledInOrder(pane.textBoxes, enabled);
}

void EnableMenus(const QList<QAction *> &menuItems, bool enabled)
{
    for (QAction *item : menuItems)
        item->setEnabled(enabled);
}

void SetPaneEnabled(const PaneControls &pane, const QList<QAction *> &menuItems, bool enabled)
{
    EnableButtons(pane, enabled);
    EnableSlotChecks(pane, enabled);
    EnableTextBoxes(pane, enabled);
    EnableMenus(menuItems, enabled);
}
