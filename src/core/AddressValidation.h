#pragma once

#include <QString>

// The 12-digit form of a dotted IPv4 text (192.168.0.1 -> 192168000001), or "" when it is malformed.
QString ConvIPAddr(const QString &text);
// The one dotted form that sockets and host commands get: the octets ConvIPAddr takes, each in decimal
// without leading zeros ("010.000.000.001" gives "10.0.0.1"), so that nothing reads "010" as octal; ""
// for a text ConvIPAddr finds malformed.
QString decimalDottedAddress(const QString &text);
// The last four characters of "000" followed by text (1F -> 001F).
QString PadPortNo(const QString &text);
