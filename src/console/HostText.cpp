#include "HostText.h"

#include <QStringList>

#include <algorithm>

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

bool isDecimalText(const QString &text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar ch) { return ch >= u'0' && ch <= u'9'; });
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
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4)
        return host;
    QStringList octets;
    for (const QString &part : parts) {
        if (!isDecimalText(part))
            return host;
        qsizetype firstSignificant = 0;
        while (firstSignificant < part.size() - 1 && part.at(firstSignificant) == u'0')
            ++firstSignificant;
        const QString digits = part.mid(firstSignificant);
        if (digits.size() > 3 || digits.toInt() > 255)
            return host;
        octets << digits;
    }
    return octets.join(u'.');
}
