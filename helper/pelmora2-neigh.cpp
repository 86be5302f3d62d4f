// pelmora2-neigh: the one privileged piece of Pelmora2 on Linux. It holds cap_net_admin and may be run
// by the members of the group pelmora2, so it trusts nothing of its caller: no environment, no shell, no
// other program; every argument is read strictly, and it does only these three things over rtnetlink:
//   pelmora2-neigh add <ip> <mac>   permanent entry ip -> mac (0A-00-3C-..) on the interface whose
//                                   subnet holds ip
//   pelmora2-neigh del <ip>         removes the unit entry for ip
//   pelmora2-neigh flush            removes the learned (not permanent) IPv4 entries
#include "NeighbourRefusal.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{

constexpr unsigned char UnitPrefix[3] = {0x0A, 0x00, 0x3C};

int fail(const std::string &why)
{
    std::fprintf(stderr, "pelmora2-neigh: %s\n", why.c_str());
    return 1;
}

int usage()
{
    std::fputs("usage: pelmora2-neigh add <ip> <mac> | del <ip> | flush\n", stderr);
    return 2;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Six hex pairs joined by "-" or ":", all with the same separator.
bool parseMac(const char *text, unsigned char mac[6])
{
    if (std::strlen(text) != 17)
        return false;
    for (std::size_t i = 0; i < 6; ++i) {
        const int high = hexValue(text[i * 3]), low = hexValue(text[i * 3 + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[i * 3 + 2] != text[2]) ||
            (text[2] != '-' && text[2] != ':'))
            return false;
        mac[i] = static_cast<unsigned char>(high << 4 | low);
    }
    return true;
}

class Netlink
{
public:
    Netlink() : m_fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {}
    ~Netlink()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Netlink(const Netlink &) = delete;
    Netlink &operator=(const Netlink &) = delete;

    bool isOpen() const { return m_fd >= 0; }

    // Sends one request and reads until it is done: every message of a dump goes to each, an
    // acknowledgement ends it. 0, or the kernel's errno.
    int exchange(nlmsghdr *request, const std::function<void(const nlmsghdr *)> &each = {})
    {
        request->nlmsg_seq = ++m_seq;
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        if (::sendto(m_fd, request, request->nlmsg_len, 0, reinterpret_cast<sockaddr *>(&kernel),
                     sizeof kernel) < 0)
            return errno;
        alignas(nlmsghdr) static char buffer[32768];
        for (;;) {
            const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return got < 0 ? errno : EIO;
            auto left = static_cast<unsigned>(got);
            for (auto *message = reinterpret_cast<nlmsghdr *>(buffer); NLMSG_OK(message, left);
                 message = NLMSG_NEXT(message, left)) {
                if (message->nlmsg_seq != m_seq)
                    continue;
                if (message->nlmsg_type == NLMSG_DONE)
                    return 0;
                if (message->nlmsg_type == NLMSG_ERROR)
                    return -static_cast<const nlmsgerr *>(NLMSG_DATA(message))->error;
                if (each)
                    each(message);
            }
        }
    }

private:
    int m_fd;
    unsigned m_seq = 0;
};

// A request with room for its attributes.
struct Request {
    nlmsghdr header;
    ndmsg neighbour;
    char attributes[64];
};

Request neighbourRequest(unsigned short type, unsigned short flags, int interfaceIndex)
{
    Request request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ndmsg));
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = static_cast<unsigned short>(NLM_F_REQUEST | flags);
    request.neighbour.ndm_family = AF_INET;
    request.neighbour.ndm_ifindex = interfaceIndex;
    return request;
}

void addAttribute(Request &request, unsigned short type, const void *data, unsigned short size)
{
    auto *attribute = reinterpret_cast<rtattr *>(reinterpret_cast<char *>(&request) +
                                                 NLMSG_ALIGN(request.header.nlmsg_len));
    attribute->rta_type = type;
    attribute->rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
    std::memcpy(RTA_DATA(attribute), data, size);
    request.header.nlmsg_len = NLMSG_ALIGN(request.header.nlmsg_len) + RTA_ALIGN(attribute->rta_len);
}

// The interface whose IPv4 subnet holds ip (the first the kernel lists), or 0.
int interfaceOfSubnet(Netlink &netlink, std::uint32_t ip)
{
    struct {
        nlmsghdr header;
        ifaddrmsg address;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ifaddrmsg));
    request.header.nlmsg_type = RTM_GETADDR;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.address.ifa_family = AF_INET;
    int found = 0;
    netlink.exchange(&request.header, [&](const nlmsghdr *message) {
        const auto *address = static_cast<const ifaddrmsg *>(NLMSG_DATA(message));
        auto size = static_cast<unsigned>(IFA_PAYLOAD(message));
        for (const rtattr *attribute = IFA_RTA(address); RTA_OK(attribute, size);
             attribute = RTA_NEXT(attribute, size)) {
            if (attribute->rta_type != IFA_LOCAL || found || address->ifa_prefixlen == 0 ||
                address->ifa_prefixlen > 30)
                continue;
            std::uint32_t own = 0;
            std::memcpy(&own, RTA_DATA(attribute), 4);
            const std::uint32_t mask = ~std::uint32_t{0} << (32 - address->ifa_prefixlen);
            if ((ntohl(own) & mask) == (ip & mask))
                found = static_cast<int>(address->ifa_index);
        }
    });
    return found;
}

struct Entry {
    int interfaceIndex;
    std::uint32_t ip; // network byte order
    bool unit;        // its link address begins with the unit prefix
    bool permanent;
};

std::vector<Entry> ipv4Entries(Netlink &netlink)
{
    Request request = neighbourRequest(RTM_GETNEIGH, NLM_F_DUMP, 0);
    std::vector<Entry> entries;
    netlink.exchange(&request.header, [&](const nlmsghdr *message) {
        const auto *neighbour = static_cast<const ndmsg *>(NLMSG_DATA(message));
        if (neighbour->ndm_family != AF_INET)
            return;
        Entry entry{neighbour->ndm_ifindex, 0, false,
                    (neighbour->ndm_state & (NUD_PERMANENT | NUD_NOARP)) != 0};
        auto size = static_cast<unsigned>(message->nlmsg_len - NLMSG_LENGTH(sizeof(ndmsg)));
        for (const rtattr *attribute = reinterpret_cast<const rtattr *>(
                 reinterpret_cast<const char *>(neighbour) + NLMSG_ALIGN(sizeof(ndmsg)));
             RTA_OK(attribute, size); attribute = RTA_NEXT(attribute, size)) {
            if (attribute->rta_type == NDA_DST && RTA_PAYLOAD(attribute) == 4)
                std::memcpy(&entry.ip, RTA_DATA(attribute), 4);
            if (attribute->rta_type == NDA_LLADDR && RTA_PAYLOAD(attribute) == 6)
                entry.unit = std::memcmp(RTA_DATA(attribute), UnitPrefix, 3) == 0;
        }
        entries.push_back(entry);
    });
    return entries;
}

int removeEntry(Netlink &netlink, const Entry &entry)
{
    Request request = neighbourRequest(RTM_DELNEIGH, NLM_F_ACK, entry.interfaceIndex);
    addAttribute(request, NDA_DST, &entry.ip, 4);
    return netlink.exchange(&request.header);
}

std::string addressText(std::uint32_t ip)
{
    char text[INET_ADDRSTRLEN] = "?";
    const std::uint32_t network = htonl(ip);
    ::inet_ntop(AF_INET, &network, text, sizeof text);
    return text;
}

int add(Netlink &netlink, std::uint32_t ip, const unsigned char mac[6])
{
    if (std::memcmp(mac, UnitPrefix, 3) != 0)
        return fail("refused: the MAC address is not a unit's (0A-00-3C-xx-xx-xx)");
    if (const char *refusal = NeighbourRefusal(ip, ReadNeighbourHost()))
        return fail("refused " + addressText(ip) + ": " + refusal);
    const int interfaceIndex = interfaceOfSubnet(netlink, ip);
    if (interfaceIndex == 0)
        return fail("no interface of this host has a subnet that holds " + addressText(ip));
    Request request =
        neighbourRequest(RTM_NEWNEIGH, NLM_F_ACK | NLM_F_CREATE | NLM_F_REPLACE, interfaceIndex);
    request.neighbour.ndm_state = NUD_PERMANENT;
    const std::uint32_t network = htonl(ip);
    addAttribute(request, NDA_DST, &network, 4);
    addAttribute(request, NDA_LLADDR, mac, 6);
    if (const int error = netlink.exchange(&request.header))
        return fail("the entry for " + addressText(ip) + " could not be made: " + std::strerror(error));
    return 0;
}

int remove(Netlink &netlink, std::uint32_t ip)
{
    int removed = 0;
    for (const Entry &entry : ipv4Entries(netlink)) {
        if (entry.ip != htonl(ip))
            continue;
        if (!entry.unit)
            return fail("refused: the entry for " + addressText(ip) + " is not a unit's");
        if (const int error = removeEntry(netlink, entry))
            return fail("the entry for " + addressText(ip) +
                        " could not be removed: " + std::strerror(error));
        ++removed;
    }
    return removed > 0 ? 0 : fail("there is no entry for " + addressText(ip));
}

int flush(Netlink &netlink)
{
    int failures = 0;
    for (const Entry &entry : ipv4Entries(netlink)) {
        const int error = entry.permanent ? 0 : removeEntry(netlink, entry);
        // One that went away meanwhile is gone as asked.
        if (error != 0 && error != ENOENT)
            failures += fail("the learned entry for " + addressText(ntohl(entry.ip)) +
                             " could not be removed: " + std::strerror(error));
    }
    return failures > 0 ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    ::clearenv(); // nothing of the caller's environment may steer a privileged program
    const std::string command = argc > 1 ? argv[1] : "";
    std::uint32_t ip = 0;
    unsigned char mac[6];
    if (command == "flush" ? argc != 2
        : command == "del" ? argc != 3 || !ParseDottedAddress(argv[2], ip)
        : command == "add" ? argc != 4 || !ParseDottedAddress(argv[2], ip) || !parseMac(argv[3], mac)
                           : true)
        return usage();
    Netlink netlink;
    if (!netlink.isOpen())
        return fail(std::string("no routing socket: ") + std::strerror(errno));
    if (command == "add")
        return add(netlink, ip, mac);
    return command == "del" ? remove(netlink, ip) : flush(netlink);
}
