#include "KeyFilters.h"

namespace
{

bool between(qint16 code, char low, char high)
{
    return code >= low && code <= high;
}

constexpr qint16 Backspace = 8;
constexpr char16_t LastAscii = 127;

void toUpperHexLetter(qint16 &keyAscii)
{
    if (between(keyAscii, 'a', 'f'))
        keyAscii = static_cast<qint16>(keyAscii - 'a' + 'A');
}

} // namespace

void FilterHexKey(qint16 &keyAscii)
{
    if (between(keyAscii, '0', '9') || between(keyAscii, 'A', 'F') || between(keyAscii, 'a', 'f'))
        return;
    if (keyAscii != Backspace)
        keyAscii = 0;
}

void FilterIPAddrKey(qint16 &keyAscii)
{
    if (between(keyAscii, '0', '9') || keyAscii == '.' || keyAscii == Backspace)
        return;
    keyAscii = 0;
}

void HexPortKeyRule(qint16 &keyAscii)
{
    FilterHexKey(keyAscii);
    toUpperHexLetter(keyAscii);
}

void MacTailKeyRule(qint16 &keyAscii)
{
    if (between(keyAscii, '0', '9') || between(keyAscii, 'A', 'F') || keyAscii == '-' ||
        keyAscii == Backspace)
        return;
    if (between(keyAscii, 'a', 'f')) {
        toUpperHexLetter(keyAscii);
        return;
    }
    keyAscii = 0;
}

qint16 keyRuleCode(KeyRule rule, QChar ch)
{
    if (ch.unicode() > LastAscii)
        return 0;
    auto code = static_cast<qint16>(ch.unicode());
    rule(code);
    return code;
}

QString filterText(KeyRule rule, const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar ch : text) {
        const qint16 code = keyRuleCode(rule, ch);
        if (code != 0 && code != Backspace)
            kept.append(QChar(char16_t(code)));
    }
    return kept;
}

std::optional<QString> typedThrough(KeyRule rule, const QString &text)
{
    const QString kept = filterText(rule, text);
    if (kept.size() != text.size())
        return std::nullopt;
    return kept;
}
