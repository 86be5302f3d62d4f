#include "NeighbourRefusal.h"

#include <algorithm>
#include <iterator>

namespace
{

bool inBlock(std::uint32_t ip, std::uint32_t block, int prefixLength)
{
    const std::uint32_t mask = prefixLength == 0 ? 0 : ~std::uint32_t{0} << (32 - prefixLength);
    return (ip & mask) == (block & mask);
}

} // namespace

const char *NeighbourRefusal(std::uint32_t ip, const NeighbourHost &host)
{
    struct Special {
        std::uint32_t block;
        int prefixLength;
        const char *reason;
    };
    static const Special specials[] = {
        {0xFFFFFFFFU, 32, "it is the broadcast address 255.255.255.255"},
        {0x00000000U, 8, "it is in 0.0.0.0/8, which names no host"},
        {0x7F000000U, 8, "it is a loopback address"},
        {0xA9FE0000U, 16, "it is a link-local address"},
        {0xE0000000U, 4, "it is a multicast address"},
    };
    const auto special = std::find_if(std::begin(specials), std::end(specials), [ip](const Special &s) {
        return inBlock(ip, s.block, s.prefixLength);
    });
    if (special != std::end(specials))
        return special->reason;
    if (std::any_of(host.subnets.begin(), host.subnets.end(),
                    [ip](const HostSubnet &s) { return s.address == ip; }))
        return "it is an address of this host";
    if (std::find(host.gateways.begin(), host.gateways.end(), ip) != host.gateways.end())
        return "it is a gateway in this host's routing table";
    for (const HostSubnet &subnet : host.subnets) {
        // /31 and /32 have no network or broadcast address of their own.
        if (subnet.prefixLength > 30 || !inBlock(ip, subnet.address, subnet.prefixLength))
            continue;
        const std::uint32_t hostBits = ~std::uint32_t{0} >> subnet.prefixLength;
        if ((ip & hostBits) == 0)
            return "it is the network address of a subnet of this host";
        if ((ip & hostBits) == hostBits)
            return "it is the broadcast address of a subnet of this host";
    }
    return nullptr;
}

bool ParseDottedAddress(const char *text, std::uint32_t &ip)
{
    std::uint32_t value = 0;
    for (int octet = 0; octet < 4; ++octet) {
        if (octet > 0 && *text++ != '.')
            return false;
        int digits = 0;
        std::uint32_t part = 0;
        for (; *text >= '0' && *text <= '9'; ++text) {
            if (++digits > 3)
                return false;
            part = part * 10 + static_cast<std::uint32_t>(*text - '0');
        }
        if (digits == 0 || part > 255)
            return false;
        value = value << 8 | part;
    }
    if (*text != '\0')
        return false;
    ip = value;
    return true;
}
