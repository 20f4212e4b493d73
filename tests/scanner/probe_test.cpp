// Real sockets on loopback: the non-blocking connect and its outcome are the point.
#include "probe.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace scanner {
namespace {

using namespace std::chrono_literals;

constexpr Ipv4 loopback = 0x7F000000;

class Listener {
public:
    // Listens on 127.0.0.`host`:`port`; port 0 takes a free one. Empty when the
    // port is taken.
    static std::optional<Listener> open(std::uint8_t host, std::uint16_t port) {
        Listener listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(loopback | host);
        socklen_t length = sizeof address;
        auto* raw = reinterpret_cast<sockaddr*>(&address);
        if (::bind(listener.m_fd, raw, length) != 0 || ::listen(listener.m_fd, 8) != 0 ||
            ::getsockname(listener.m_fd, raw, &length) != 0) {
            return std::nullopt;
        }
        listener.m_port = ntohs(address.sin_port);
        return listener;
    }
    Listener(Listener&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)), m_port(other.m_port) {}
    Listener& operator=(Listener&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        std::swap(m_port, other.m_port);
        return *this;
    }
    ~Listener() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }

    std::uint16_t port() const { return m_port; }

    // Takes the prober's connection and tells whether the prober has closed it
    // again without sending anything.
    bool accepted_connection_was_closed_empty() const {
        const int connection = ::accept(m_fd, nullptr, nullptr);
        char byte = 0;
        const bool closed = connection >= 0 && ::recv(connection, &byte, 1, 0) == 0;
        if (connection >= 0) {
            ::close(connection);
        }
        return closed;
    }

private:
    explicit Listener(int fd) : m_fd(fd) {}
    int m_fd;
    std::uint16_t m_port = 0;
};

TEST(FindResponders, ListsExactlyTheListeningAddressesInTargetOrder) {
    std::optional<Listener> first;
    std::optional<Listener> third;
    while (!third) {
        first = Listener::open(1, 0);
        ASSERT_TRUE(first);
        third = Listener::open(3, first->port());
    }
    const std::vector<Ipv4> targets = {loopback | 5, loopback | 3, loopback | 2, loopback | 1, loopback | 4};

    const auto started = std::chrono::steady_clock::now();
    const auto responders = find_responders(targets, first->port(), 60s);
    const auto elapsed = std::chrono::steady_clock::now() - started;

    EXPECT_EQ(responders, (std::vector<Ipv4>{loopback | 3, loopback | 1}));
    // Every loopback probe settles at once (accepted or refused), so the sweep ends
    // with its last outcome instead of waiting out the time-out.
    EXPECT_LT(elapsed, 30s);
    EXPECT_TRUE(first->accepted_connection_was_closed_empty());
    EXPECT_TRUE(third->accepted_connection_was_closed_empty());
}

TEST(FindResponders, NoTargetsNoResponders) {
    EXPECT_TRUE(find_responders({}, 23, 1s).empty());
}

} // namespace
} // namespace scanner
