#pragma once

#include <string>
#include <vector>

// Reading the host's interface listings. Plain C++ so that the Windows platform test, which has no Qt,
// reads what Wine's cmd.exe captured with the same code as the program.

// The interface tokens of the connected interfaces of an interface listing, in line order: each line's
// first field with the one blank after it.
std::vector<std::string> ConnectedInterfaceTokens(const std::vector<std::string> &listingLines);

// Whether a line of an interface's configuration holds an address that begins with prefix ("10.1.2."):
// the prefix must start a whole dotted address, so 110.1.2.9 is not in 10.1.2.
bool ConfigNamesNetwork(const std::vector<std::string> &configLines, const std::string &prefix);
