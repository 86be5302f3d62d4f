#include "InterfaceListing.h"

namespace
{

// The token goes into a command line: only what an interface index or plain name is made of.
bool isPlainToken(const std::string &field)
{
    if (field.empty())
        return false;
    for (const char c : field) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           c == '.' || c == '_' || c == '-' || c == ':';
        if (!plain)
            return false;
    }
    return true;
}

} // namespace

std::vector<std::string> ConnectedInterfaceTokens(const std::vector<std::string> &listingLines)
{
    std::vector<std::string> tokens;
    for (const std::string &line : listingLines) {
        if (line.find(" connected") == std::string::npos)
            continue;
        const size_t first = line.find_first_not_of(' ');
        const size_t blank = first == std::string::npos ? first : line.find(' ', first);
        if (blank == std::string::npos)
            continue;
        const std::string field = line.substr(first, blank - first);
        if (isPlainToken(field))
            tokens.push_back(field + ' ');
    }
    return tokens;
}

bool ConfigNamesNetwork(const std::vector<std::string> &configLines, const std::string &prefix)
{
    for (const std::string &line : configLines) {
        for (size_t at = line.find(prefix); at != std::string::npos; at = line.find(prefix, at + 1)) {
            const char before = at > 0 ? line[at - 1] : ' ';
            if ((before < '0' || before > '9') && before != '.')
                return true;
        }
    }
    return false;
}
