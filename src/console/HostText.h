#pragma once

#include <QString>
#include <optional>

// The texts a console operation connects with, turned into what the socket needs.

// A port text of hexadecimal digits ("1F90" is 8080); nothing when it is empty, holds anything else or
// does not fit in 16 bits.
std::optional<quint16> portFromHexText(const QString &portText);

// A dotted address of four decimal numbers is decimal in every octet, leading zeros included: the
// result has them removed ("010.000.000.001" gives "10.0.0.1") so that no resolver reads them as octal.
// Any other text (host names, octets beyond 255) comes back unchanged.
QString decimalDottedHost(const QString &host);
