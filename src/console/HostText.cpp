#include "HostText.h"

#include "AddressValidation.h"

namespace
{

int hexDigitValue(QChar ch)
{
    if (ch >= u'0' && ch <= u'9')
        return ch.unicode() - u'0';
    if (ch >= u'A' && ch <= u'F')
        return ch.unicode() - u'A' + 10;
    if (ch >= u'a' && ch <= u'f')
        return ch.unicode() - u'a' + 10;
    return -1;
}

} // namespace

std::optional<quint16> portFromHexText(const QString &portText)
{
    if (portText.isEmpty())
        return std::nullopt;
    uint value = 0;
    for (const QChar ch : portText) {
        const int digit = hexDigitValue(ch);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + uint(digit);
        if (value > 0xFFFF)
            return std::nullopt;
    }
    return quint16(value);
}

QString decimalDottedHost(const QString &host)
{
    const QString dotted = decimalDottedAddress(host);
    return dotted.isEmpty() ? host : dotted;
}
