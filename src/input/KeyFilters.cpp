#include "KeyFilters.h"

namespace
{

bool between(qint16 code, char low, char high)
{
    return code >= low && code <= high;
}

constexpr qint16 Backspace = 8;

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
