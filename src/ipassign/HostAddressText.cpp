#include "HostAddressText.h"

QString NetworkPrefix(const QString &dottedAddress)
{
    return dottedAddress.left(dottedAddress.lastIndexOf('.') + 1);
}

bool IsSlotMACAddress(const QString &mac)
{
    if (mac.size() != 17)
        return false;
    for (const QChar c : mac) {
        const bool hexDigit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!hexDigit && c != '-')
            return false;
    }
    for (const qsizetype group : {9, 12, 15}) {
        if (mac.mid(group, 2).contains('-'))
            return false;
    }
    return true;
}

QString MACTail(const QString &mac)
{
    return mac.right(8);
}
