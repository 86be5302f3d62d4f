#include "MainMenu.h"

#include <QMenu>
#include <QMenuBar>

namespace
{

QMenu *addMenu(QMenuBar *bar, const char *name, const char *title)
{
    QMenu *menu = bar->addMenu(QString::fromLatin1(title));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction *addItem(QMenu *menu, const char *name, const char *text)
{
    QAction *action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(false);
    return action;
}

} // namespace

MainMenu BuildMainMenu(QMenuBar *bar)
{
    MainMenu menu;
    QMenu *settings = addMenu(bar, "mnuSettings", "Settings");
    menu.mnuIP = addItem(settings, "mnuIP", "IP Address");
    menu.mnuPort = addItem(settings, "mnuPort", "Port No");
    menu.mnuGateWay = addItem(settings, "mnuGateWay", "Gate Way");
    menu.mnuSubnet = addItem(settings, "mnuSubnet", "Subnet Mask");

    QMenu *test = addMenu(bar, "mnuTest", "TEST");
    menu.mnuComCheck = addItem(test, "mnuComCheck", "ComCheck");

    QMenu *version = addMenu(bar, "mnuVer", "Version");
    menu.mnuVersion = addItem(version, "mnuVersion", "Version");
    return menu;
}
