#pragma once

#include <QString>
#include <optional>

// The texts a console operation connects with, turned into what the socket needs.

// A port text of hexadecimal digits ("1F90" is 8080); nothing when it is empty, holds anything else or
// does not fit in 16 bits.
std::optional<quint16> portFromHexText(const QString &portText);

// The host text the socket connects to: a dotted address in its one decimal form (decimalDottedAddress),
// so that no resolver reads "010" as octal; any other text (a host name) unchanged.
QString decimalDottedHost(const QString &host);
