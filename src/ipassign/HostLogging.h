#pragma once

#include <QLoggingCategory>

// The causes of the host-command failures that the user sees only as "Exec Error". Off unless switched
// on, e.g. QT_LOGGING_RULES="pelmora2.host.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcHostCommands)
