// Real sockets on loopback: the non-blocking connect and its outcome are the point.
#include "probe.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace scanner {
namespace {

using namespace std::chrono_literals;

constexpr Ipv4 loopback = 0x7F000000;

// Listens on 127.0.0.`host`:`port` (0: a free port), if the port is free there.
struct Listener {
    Listener(std::uint8_t host, std::uint16_t wanted) {
        sockaddr_in address{AF_INET, htons(wanted), {htonl(loopback | host)}, {}};
        socklen_t length = sizeof address;
        auto* raw = reinterpret_cast<sockaddr*>(&address);
        listening =
            ::bind(fd, raw, length) == 0 && ::listen(fd, 8) == 0 && ::getsockname(fd, raw, &length) == 0;
        port = ntohs(address.sin_port);
    }
    ~Listener() { ::close(fd); }

    // Whether the prober connected and closed again without sending a byte.
    bool saw_an_empty_connection() const {
        const int connection = ::accept(fd, nullptr, nullptr);
        char byte = 0;
        const bool empty = connection >= 0 && ::recv(connection, &byte, 1, 0) == 0;
        ::close(connection);
        return empty;
    }

    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool listening = false;
    std::uint16_t port = 0;
};

TEST(FindResponders, ListsExactlyTheListeningAddressesInTargetOrder) {
    std::optional<Listener> first;
    std::optional<Listener> third;
    do { // the same free port on two addresses
        first.emplace(1, 0);
        ASSERT_TRUE(first->listening);
        third.emplace(3, first->port);
    } while (!third->listening);

    const std::vector<Ipv4> targets = {loopback | 5, loopback | 3, loopback | 2, loopback | 1, loopback | 4};
    // Every loopback probe settles at once: a sweep that waited out its hour
    // would run into the test's own time-out.
    EXPECT_EQ(find_responders(targets, first->port, 1h), (std::vector<Ipv4>{loopback | 3, loopback | 1}));
    EXPECT_TRUE(first->saw_an_empty_connection());
    EXPECT_TRUE(third->saw_an_empty_connection());
    EXPECT_TRUE(find_responders({}, first->port, 1s).empty());
}

} // namespace
} // namespace scanner
