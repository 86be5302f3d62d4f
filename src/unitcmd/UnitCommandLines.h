#pragma once

#include <QByteArray>
#include <QString>

// The console command lines the four operations send; each ends with CR, "U", CR.

// UE1: the communication check.
QByteArray ComCheckCommandLine();
// UE2: "UE2 " and the new port's four characters exactly as typed (no case change, no conversion).
QByteArray SetPortCommandLine(const QString &paddedNewPort);
// UE3 (gateway) or UE4 (mask): the word and the 12-digit address form as aaa/bbb/ccc/ddd.
QByteArray AddressCommandLine(const QByteArray &word, const QString &twelveDigits);
