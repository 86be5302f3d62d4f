#pragma once

// Raises the limit of open files as far as the host allows, for hundreds of connections and host
// commands at once. Does nothing where there is no such limit.
void RaiseOpenFileLimit();
