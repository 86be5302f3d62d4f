#pragma once

#include <QList>

class QAction;
class QMenuBar;

// The menu bar's six items: five pane switches and the About box.
struct MainMenu {
    QAction *mnuIP = nullptr;
    QAction *mnuPort = nullptr;
    QAction *mnuGateWay = nullptr;
    QAction *mnuSubnet = nullptr;
    QAction *mnuComCheck = nullptr;
    QAction *mnuVersion = nullptr;

    // The items the pane lock disables, in lock order.
    QList<QAction *> items() const
    {
        return {mnuIP, mnuPort, mnuGateWay, mnuSubnet, mnuComCheck, mnuVersion};
    }
};

// Fills the menu bar: "Settings", "TEST" and "Version". No item carries a check mark.
MainMenu BuildMainMenu(QMenuBar *bar);
