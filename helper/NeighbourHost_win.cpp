#include "NeighbourRefusal.h"

// winsock2 must come before windows.h, and iphlpapi after both.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <vector>

namespace
{

int prefixLengthOf(std::uint32_t mask)
{
    int length = 0;
    for (; length < 32 && (mask & (0x80000000U >> length)) != 0; ++length) {
    }
    return length;
}

// Calls a table query of the IP Helper API twice: once for the size, once for the rows. The table may
// grow in between; then it is asked again.
template <typename Table, typename Query> std::vector<unsigned char> readTable(Query query)
{
    std::vector<unsigned char> buffer(sizeof(Table));
    for (int attempt = 0; attempt < 4; ++attempt) {
        ULONG size = static_cast<ULONG>(buffer.size());
        const DWORD result = query(reinterpret_cast<Table *>(buffer.data()), &size, FALSE);
        if (result == NO_ERROR)
            return buffer;
        if (result != ERROR_INSUFFICIENT_BUFFER)
            break;
        buffer.resize(size);
    }
    return {};
}

} // namespace

// This host's addresses with their subnets, and the next hops of its indirect routes, as the IP Helper
// API has them now.
NeighbourHost ReadNeighbourHost()
{
    NeighbourHost host;
    const auto addresses = readTable<MIB_IPADDRTABLE>(GetIpAddrTable);
    if (!addresses.empty()) {
        const auto *table = reinterpret_cast<const MIB_IPADDRTABLE *>(addresses.data());
        for (DWORD i = 0; i < table->dwNumEntries; ++i)
            host.subnets.push_back(
                {ntohl(table->table[i].dwAddr), prefixLengthOf(ntohl(table->table[i].dwMask))});
    }
    const auto routes = readTable<MIB_IPFORWARDTABLE>(GetIpForwardTable);
    if (!routes.empty()) {
        const auto *table = reinterpret_cast<const MIB_IPFORWARDTABLE *>(routes.data());
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            const MIB_IPFORWARDROW &row = table->table[i];
            if (row.dwForwardNextHop != 0 && row.dwForwardType == MIB_IPROUTE_TYPE_INDIRECT)
                host.gateways.push_back(ntohl(row.dwForwardNextHop));
        }
    }
    return host;
}
