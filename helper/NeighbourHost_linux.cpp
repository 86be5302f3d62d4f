#include "NeighbourRefusal.h"

#include <arpa/inet.h>
#include <cstdio>
#include <ifaddrs.h>
#include <netinet/in.h>

namespace
{

int prefixLengthOf(std::uint32_t mask)
{
    int length = 0;
    for (; length < 32 && (mask & (0x80000000U >> length)) != 0; ++length) {
    }
    return length;
}

// Every gateway of the main routing table, as the kernel lists it (hex, network byte order).
void readGateways(std::vector<std::uint32_t> &gateways)
{
    std::FILE *routes = std::fopen("/proc/net/route", "re");
    if (!routes)
        return;
    char line[512];
    while (std::fgets(line, sizeof line, routes)) {
        char device[64];
        unsigned destination = 0, gateway = 0;
        if (std::sscanf(line, "%63s %x %x", device, &destination, &gateway) == 3 && gateway != 0)
            gateways.push_back(ntohl(gateway));
    }
    std::fclose(routes);
}

} // namespace

NeighbourHost ReadNeighbourHost()
{
    NeighbourHost host;
    ifaddrs *list = nullptr;
    if (::getifaddrs(&list) == 0) {
        for (const ifaddrs *entry = list; entry; entry = entry->ifa_next) {
            if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_netmask)
                continue;
            const auto *address = reinterpret_cast<const sockaddr_in *>(entry->ifa_addr);
            const auto *mask = reinterpret_cast<const sockaddr_in *>(entry->ifa_netmask);
            host.subnets.push_back(
                {ntohl(address->sin_addr.s_addr), prefixLengthOf(ntohl(mask->sin_addr.s_addr))});
        }
        ::freeifaddrs(list);
    }
    readGateways(host.gateways);
    return host;
}
