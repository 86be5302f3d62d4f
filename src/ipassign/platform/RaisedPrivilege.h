#pragma once

#include <string>

// Why the program must not start as it was started, or "": POSIX refuses a start with privilege of
// the program's own (file capabilities or setuid), because Qt would then load plugins and libraries that
// the caller names. Qt-free, for the first line of main(), before any Qt object exists.
std::string RaisedPrivilegeRefusal(const char *program);
