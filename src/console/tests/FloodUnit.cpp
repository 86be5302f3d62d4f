// A unit that, once it has received one character, sends garbage at full speed: up to the given
// number of bytes, or until the connection breaks. It runs as a process of its own so that its memory
// is not the program's. Prints "port <n>" once listening and "sent <n>" at the end.
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

int main(int argc, char **argv)
{
    const long long total = argc > 1 ? std::atoll(argv[1]) : 200LL * 1000 * 1000;
    std::signal(SIGPIPE, SIG_IGN);
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr *>(&address), length) != 0 || listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return 1;
    std::printf("port %d\n", ntohs(address.sin_port));
    std::fflush(stdout);

    const int connection = accept(listener, nullptr, nullptr);
    char first = 0;
    if (connection < 0 || recv(connection, &first, 1, 0) != 1)
        return 1;
    // No echo of anything the console sends, no error or unsupported mark, no line end.
    std::vector<char> garbage(64 * 1024);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = char('a' + i % 3);
    long long sent = 0;
    while (sent < total) {
        const ssize_t n = send(connection, garbage.data(), garbage.size(), 0);
        if (n <= 0)
            break;
        sent += n;
    }
    // Keep the connection open until the console closes it.
    char sink[256];
    while (recv(connection, sink, sizeof sink, 0) > 0) {
    }
    std::printf("sent %lld\n", sent);
    return 0;
}
