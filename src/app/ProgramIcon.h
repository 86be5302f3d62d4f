#pragma once

#include <QIcon>
#include <QPixmap>

// The program's icon, drawn at run time: a unit with its network port and status lights.
QPixmap ProgramIconPixmap(int size);
QIcon ProgramIcon();
