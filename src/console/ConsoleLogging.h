#pragma once

#include <QLoggingCategory>

// Why a console step failed, and every byte sent and received. Off unless switched on, e.g.
// QT_LOGGING_RULES="pelmora2.console.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcConsole)
