#include "NeighbourRefusal.h"

#include <cstdio>
#include <cstring>

// The refusal rule over a host with three subnets and two gateways, and the strict address reading.
int main()
{
    std::uint32_t ip = 0;
    const auto at = [&ip](const char *text) {
        ip = 0;
        return ParseDottedAddress(text, ip) ? ip : 0xDEADBEEFU;
    };
    const NeighbourHost host{{{at("192.168.5.10"), 24}, {at("10.1.0.1"), 16}, {at("172.16.0.2"), 31}},
                             {at("192.168.5.1"), at("10.1.0.254")}};
    struct Row {
        const char *address;
        const char *refusal; // a word of the reason, or nullptr when the entry may be made
    } const rows[] = {
        {"192.168.5.20", nullptr},        {"10.1.255.254", nullptr},
        {"172.16.0.3", nullptr},          {"172.16.0.2", "this host"},
        {"192.168.5.10", "this host"},    {"10.1.0.1", "this host"},
        {"192.168.5.1", "gateway"},       {"10.1.0.254", "gateway"},
        {"192.168.5.0", "network"},       {"10.1.0.0", "network"},
        {"192.168.5.255", "broadcast"},   {"10.1.255.255", "broadcast"},
        {"255.255.255.255", "broadcast"}, {"0.0.0.0", "0.0.0.0/8"},
        {"0.1.2.3", "0.0.0.0/8"},         {"127.0.0.1", "loopback"},
        {"127.255.0.9", "loopback"},      {"169.254.7.7", "link-local"},
        {"224.0.0.1", "multicast"},       {"239.255.255.250", "multicast"},
        {"223.255.255.254", nullptr},     {"1.0.0.0", nullptr},
        {"192.168.6.0", nullptr},         {"11.1.1.1", nullptr},
    };
    int failures = 0;
    const auto expect = [&failures](bool ok, const char *what, const char *detail) {
        failures += !ok;
        if (!ok)
            std::printf("FAIL %s: %s\n", what, detail);
    };
    for (const Row &row : rows) {
        const char *reason = NeighbourRefusal(at(row.address), host);
        expect(row.refusal ? reason && std::strstr(reason, row.refusal) : !reason, row.address,
               reason ? reason : "allowed");
    }
    const char *malformed[] = {"",         "1.2.3",    "1.2.3.4.", "1.2.3.256", "1.2.3.0004", "+1.2.3.4",
                               " 1.2.3.4", "1.2.3.4 ", "1..3.4",   "1.2.3.4x",  "0x1.2.3.4",  "1.2.3.-4"};
    for (const char *text : malformed)
        expect(!ParseDottedAddress(text, ip), text, "read as an address");
    expect(ParseDottedAddress("010.000.000.005", ip) && ip == 0x0A000005U, "010.000.000.005", "not decimal");
    std::printf("%d failures\n", failures);
    return failures == 0 ? 0 : 1;
}
