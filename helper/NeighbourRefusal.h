#pragma once

#include <cstdint>
#include <vector>

// Which addresses may get a permanent neighbour entry for a unit. Shared by the program, which refuses
// them before any host command runs, and by pelmora2-neigh, which refuses them whoever asks.
// Addresses are IPv4 in host byte order.

struct HostSubnet {
    std::uint32_t address = 0; // this host's own address on the subnet
    int prefixLength = 0;
};

// What the host is: its own addresses with their subnets, and the gateways of its routing table.
struct NeighbourHost {
    std::vector<HostSubnet> subnets;
    std::vector<std::uint32_t> gateways;
};

// Why no unit entry may be made for ip, or nullptr when it may.
const char *NeighbourRefusal(std::uint32_t ip, const NeighbourHost &host);

// Four decimal octets 0-255 joined by dots and nothing else (no sign, no blank, at most three digits);
// false for anything else.
bool ParseDottedAddress(const char *text, std::uint32_t &ip);

// This host's subnets and gateways as the kernel has them now (Linux; empty elsewhere).
NeighbourHost ReadNeighbourHost();
