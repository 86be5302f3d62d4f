#include "PlanFieldChecks.h"

#include "AddressValidation.h"
#include "HostAddressText.h"
#include "KeyFilters.h"

#include <algorithm>
#include <optional>

namespace
{

const QString AddressForm = QStringLiteral(" (a.b.c.d, each 0 to 255)");

FieldCheck refused(const QString &problem)
{
    return {{}, problem};
}

} // namespace

bool HoldsControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar ch) { return ch.category() == QChar::Other_Control; });
}

FieldCheck CheckLabel(const QString &text)
{
    if (text.isEmpty())
        return refused(QStringLiteral("empty (every row needs a label)"));
    if (HoldsControlCharacter(text))
        return refused(
            QStringLiteral("holds a line break or control character (a label is one line of text)"));
    return {text, {}};
}

FieldCheck CheckAddress(const QString &text, const QString &what, bool required)
{
    if (text.isEmpty())
        return required ? refused("empty (expected " + what + AddressForm + ")") : FieldCheck{};
    if (ConvIPAddr(text).size() != 12)
        return refused("not " + what + AddressForm);
    return {text, {}};
}

FieldCheck CheckConsolePort(const QString &text)
{
    if (text.isEmpty())
        return {};
    const std::optional<QString> port = text.size() > 4 ? std::nullopt : typedThrough(HexPortKeyRule, text);
    if (!port)
        return refused(QStringLiteral("not a console port (1 to 4 hex digits, e.g. 2720)"));
    return {*port, {}};
}

FieldCheck CheckMacTail(const QString &text)
{
    if (text.isEmpty())
        return {};
    const std::optional<QString> tail = typedThrough(MacTailKeyRule, text);
    if (!tail || !IsSlotMACAddress(QLatin1String(SlotMACPrefix) + '-' + *tail))
        return refused(QStringLiteral("not a MAC tail (XX-XX-XX in hex digits: the last three groups of the "
                                      "unit's MAC address)"));
    return {*tail, {}};
}

FieldCheck CheckYesNo(const QString &text)
{
    if (text.isEmpty() || text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("yes"), {}};
    if (text.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("no"), {}};
    return refused(QStringLiteral("neither yes nor no (empty means yes)"));
}
