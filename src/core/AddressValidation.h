#pragma once

#include <QString>

// The 12-digit form of a dotted IPv4 text (192.168.0.1 -> 192168000001), or "" when it is malformed.
QString ConvIPAddr(const QString &text);
// The last four characters of "000" followed by text (1F -> 001F).
QString PadPortNo(const QString &text);
