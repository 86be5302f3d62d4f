#include "AddressValidation.h"

#include <QStringList>

#include <optional>

namespace
{

// Three characters, each a decimal digit; anything else (a sign, a blank, a letter) could carry
// shell syntax into a host command line, so it makes the address malformed.
std::optional<QString> paddedOctet(const QString &octet)
{
    const QString padded = (QStringLiteral("000") + octet).right(3);
    int value = 0;
    for (const QChar ch : padded) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (ch.unicode() - '0');
    }
    if (value > 255)
        return std::nullopt;
    return padded;
}

} // namespace

QString ConvIPAddr(const QString &text)
{
    QString rest = text;
    QString code;
    for (int octet = 0; octet < 3; ++octet) {
        const qsizetype dot = rest.indexOf(QLatin1Char('.')) + 1; // 1-based, 0 when absent
        if (dot == 0 || dot > 4 || dot == rest.size())
            return {};
        if (rest.at(dot) == QLatin1Char('.'))
            return {};
        const auto padded = paddedOctet(rest.left(dot - 1));
        if (!padded)
            return {};
        code += *padded;
        rest = rest.mid(dot);
    }
    if (rest.contains(QLatin1Char('.')) || rest.size() > 3)
        return {};
    const auto padded = paddedOctet(rest);
    if (!padded)
        return {};
    return code + *padded;
}

QString decimalDottedAddress(const QString &text)
{
    const QString twelveDigits = ConvIPAddr(text);
    if (twelveDigits.size() != 12)
        return {};
    QStringList octets;
    for (qsizetype start = 0; start < 12; start += 3)
        octets.append(QString::number(twelveDigits.mid(start, 3).toInt()));
    return octets.join(QLatin1Char('.'));
}

QString PadPortNo(const QString &text)
{
    return (QStringLiteral("000") + text).right(4);
}
