#include "UnitCommandLines.h"

namespace
{

// Every command line is followed by the line "U", which the unit answers on its own terms.
const QByteArray LineTail = QByteArrayLiteral("\rU\r");

} // namespace

QByteArray ComCheckCommandLine()
{
    return QByteArrayLiteral("UE1") + LineTail;
}

QByteArray SetPortCommandLine(const QString &paddedNewPort)
{
    return QByteArrayLiteral("UE2 ") + paddedNewPort.toLatin1() + LineTail;
}

QByteArray AddressCommandLine(const QByteArray &word, const QString &twelveDigits)
{
    const QByteArray digits = twelveDigits.toLatin1();
    return word + digits.mid(0, 3) + '/' + digits.mid(3, 3) + '/' + digits.mid(6, 3) + '/' +
           digits.mid(9, 3) + LineTail;
}
