#include "ConsoleLogging.h"

Q_LOGGING_CATEGORY(lcConsole, "pelmora2.console", QtInfoMsg)
