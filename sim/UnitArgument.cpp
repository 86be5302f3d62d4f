#include "UnitArgument.h"

#include <QStringList>

namespace
{

constexpr int MaxDelayMs = 600000;
constexpr int MaxCount = 65535;

std::optional<int> parseBounded(const QString &text, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < 0 || value > max)
        return std::nullopt;
    return value;
}

std::optional<quint16> parseHexPort(const QString &text)
{
    if (text.isEmpty() || text.size() > 4)
        return std::nullopt;
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return static_cast<quint16>(value);
}

// Applies one OPTION to behaviour; returns an error text, empty on success.
QString applyOption(const QString &option, UnitBehaviour &behaviour)
{
    const qsizetype equals = option.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? option : option.left(equals);
    const QString value = equals < 0 ? QString() : option.mid(equals + 1);
    const bool hasValue = equals >= 0;

    const auto set = [&](auto &field, auto to) {
        if (hasValue)
            return QStringLiteral("option %1 takes no value").arg(name);
        field = to;
        return QString();
    };
    const auto flag = [&](bool &field) { return set(field, true); };
    const auto number = [&](int &field, int max, const char *unit) {
        const auto parsed = parseBounded(value, max);
        if (!hasValue || !parsed)
            return QStringLiteral("option %1 needs a number of %2 (0 to %3)")
                .arg(name, QLatin1String(unit))
                .arg(max);
        field = *parsed;
        return QString();
    };
    const auto milliseconds = [&](int &field) { return number(field, MaxDelayMs, "milliseconds"); };
    const auto character = [&](auto &field) {
        const auto c = parseCharOption(value);
        if (!hasValue || !c)
            return QStringLiteral("option %1 needs one character or 0xNN").arg(name);
        field = *c;
        return QString();
    };

    if (name == QLatin1String("prompt"))
        return character(behaviour.prompt);
    if (name == QLatin1String("no-echo"))
        return character(behaviour.noEcho);
    if (name == QLatin1String("late-esc"))
        return milliseconds(behaviour.lateEscMs);
    if (name == QLatin1String("drip"))
        return milliseconds(behaviour.dripMs);
    if (name == QLatin1String("error")) {
        if (!hasValue)
            return QStringLiteral("option error needs a text: error=TEXT");
        behaviour.errorText = value.toLatin1();
        return QString();
    }
    if (name == QLatin1String("refuse"))
        return flag(behaviour.refuse);
    if (name == QLatin1String("silent"))
        return flag(behaviour.silent);
    if (name == QLatin1String("wrong-esc"))
        return flag(behaviour.wrongEsc);
    if (name == QLatin1String("unsupported"))
        return flag(behaviour.unsupported);
    if (name == QLatin1String("flood"))
        return flag(behaviour.flood);
    if (name == QLatin1String("close-mid"))
        return flag(behaviour.closeMid);
    if (name == QLatin1String("short126"))
        return flag(behaviour.short126);
    if (name == QLatin1String("status-split"))
        return number(behaviour.statusWithEcho, MaxCount, "characters");
    if (name == QLatin1String("status-with-echo"))
        return set(behaviour.statusWithEcho, MaxCount); // more than any block holds: all of it
    return QStringLiteral("unknown option %1").arg(name);
}

} // namespace

std::optional<char> parseCharOption(const QString &text)
{
    if (text.size() == 1 && text.at(0).unicode() <= 0xFF)
        return static_cast<char>(text.at(0).unicode());
    if (text.size() >= 3 && text.size() <= 4 && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        bool ok = false;
        const uint value = text.mid(2).toUInt(&ok, 16);
        if (ok && value <= 0xFF)
            return static_cast<char>(value);
    }
    return std::nullopt;
}

std::optional<UnitArgument> parseUnitArgument(const QString &text, QString *error)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString portText = colon < 0 ? text : text.left(colon);
    UnitArgument unit;

    const auto port = parseHexPort(portText);
    if (!port) {
        *error = QStringLiteral("%1: the port must be one to four hexadecimal digits").arg(text);
        return std::nullopt;
    }
    unit.port = *port;

    if (colon >= 0) {
        const QStringList options = text.mid(colon + 1).split(QLatin1Char(','));
        for (const QString &option : options) {
            const QString problem = applyOption(option, unit.behaviour);
            if (!problem.isEmpty()) {
                *error = QStringLiteral("%1: %2").arg(text, problem);
                return std::nullopt;
            }
        }
    }
    return unit;
}
