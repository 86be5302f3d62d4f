#include "HostLogging.h"

Q_LOGGING_CATEGORY(lcHostCommands, "pelmora2.host", QtInfoMsg)
