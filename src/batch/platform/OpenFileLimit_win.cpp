#include "OpenFileLimit.h"

void RaiseOpenFileLimit() {}
