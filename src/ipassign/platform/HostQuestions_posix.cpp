#include "HostQuestions.h"

#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <langinfo.h>
#include <linux/capability.h>
#include <locale.h>
#include <string_view>
#include <sys/xattr.h>
#include <unistd.h>

namespace
{

constexpr int CapNetAdmin = 12; // bit of CAP_NET_ADMIN in the capability sets

// The neighbour table may be changed by root or by a process holding CAP_NET_ADMIN.
bool hasEffectiveNetAdmin()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string_view key = "CapEff:";
    while (std::getline(status, line)) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        try {
            const unsigned long long caps = std::stoull(line.substr(key.size()), nullptr, 16);
            return ((caps >> CapNetAdmin) & 1U) != 0;
        } catch (...) {
            return false;
        }
    }
    return false;
}

// The helper installed beside the program, when this user may run it and it holds CAP_NET_ADMIN: then
// the host adapters change the neighbour table through it.
bool helperHoldsNetAdmin()
{
    char self[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (size <= 0)
        return false;
    std::string helper(self, static_cast<std::size_t>(size));
    helper = helper.substr(0, helper.rfind('/') + 1) + "pelmora2-neigh";
    vfs_ns_cap_data caps{};
    const ssize_t length = ::getxattr(helper.c_str(), "security.capability", &caps, sizeof caps);
    if (::access(helper.c_str(), X_OK) != 0 || length < static_cast<ssize_t>(XATTR_CAPS_SZ_2))
        return false;
    // Stored little-endian, as the hosts this is built for are.
    const std::uint32_t permitted = caps.data[0].permitted;
    return (caps.magic_etc & VFS_CAP_FLAGS_EFFECTIVE) != 0 && ((permitted >> CapNetAdmin) & 1U) != 0;
}

// The locale the user's environment selects for money, in the order POSIX gives the variables.
std::string monetaryLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_MONETARY", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "C";
}

bool isJapaneseLocaleName(std::string_view name)
{
    return name.substr(0, 2) == "ja" &&
           (name.size() == 2 || name[2] == '_' || name[2] == '.' || name[2] == '@');
}

bool isUtf8Codeset(std::string_view codeset)
{
    return codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8" || codeset == "utf-8";
}

std::string toUtf8(const std::string &text, const char *codeset)
{
    if (text.empty() || isUtf8Codeset(codeset))
        return text;
    iconv_t converter = iconv_open("UTF-8", codeset);
    if (converter == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr): iconv's error value
        return {};
    std::string input = text;
    std::string output(text.size() * 4, '\0');
    char *in = input.data();
    char *out = output.data();
    size_t inLeft = input.size();
    size_t outLeft = output.size();
    const size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<size_t>(-1))
        return {};
    output.resize(output.size() - outLeft);
    return output;
}

// The LC_MONETARY currency symbol of the named locale, in UTF-8; "" when the locale is unknown.
std::string currencySymbolOf(const std::string &localeName)
{
    locale_t locale = newlocale(LC_MONETARY_MASK | LC_CTYPE_MASK, localeName.c_str(), nullptr);
    if (locale == nullptr)
        return {};
    const locale_t previous = uselocale(locale);
    const lconv *conventions = localeconv();
    std::string symbol = conventions && conventions->currency_symbol ? conventions->currency_symbol : "";
    const std::string codeset = nl_langinfo_l(CODESET, locale);
    uselocale(previous);
    freelocale(locale);
    return toUtf8(symbol, codeset.c_str());
}

class PosixHostQuestions final : public HostQuestions
{
public:
    bool isAdministrator() override
    {
        return geteuid() == 0 || hasEffectiveNetAdmin() || helperHoldsNetAdmin();
    }

    NeighbourHost neighbourHost() override { return ReadNeighbourHost(); }

    // A POSIX host needs the interface-aware neighbour command, as newer Windows does.
    std::optional<int> majorVersion() override { return 6; }

    std::string currencySymbol() override
    {
        const std::string localeName = monetaryLocaleName();
        std::string symbol = currencySymbolOf(localeName);
        // Code page 932 has the yen sign at the backslash's place: a Japanese host reads it as "\".
        if (isJapaneseLocaleName(localeName) && (symbol == "\u00A5" || symbol == "\uFFE5"))
            return "\\";
        return symbol;
    }
};

} // namespace

std::unique_ptr<HostQuestions> CreateHostQuestions()
{
    return std::make_unique<PosixHostQuestions>();
}
