#include "StandardText.h"

bool WriteStandardText(std::FILE *stream, std::string_view utf8)
{
    const bool written = std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
    return std::fflush(stream) == 0 && written;
}
