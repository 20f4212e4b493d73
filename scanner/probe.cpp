#include "probe.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace scanner {
namespace {

using Clock = std::chrono::steady_clock;

// Descriptors kept free for everything else the process has open.
constexpr rlim_t reserved_descriptors = 64;

// Raises the soft descriptor limit as far as allowed so that a whole sweep fits in
// one batch, and returns how many probes may be open at once.
std::size_t batch_size() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return 256;
    }
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    const rlim_t usable = limit.rlim_cur > 2 * reserved_descriptors ? limit.rlim_cur - reserved_descriptors
                                                                    : reserved_descriptors;
    return static_cast<std::size_t>(std::min<rlim_t>(usable, 65536));
}

// The connections of one batch that are still under way. Each leaves (and closes)
// the moment its outcome is known; whatever is left is closed with the batch.
class Batch {
public:
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    Batch(std::vector<bool>& answered, std::size_t size) : m_answered(answered) {
        m_polled.reserve(size);
        m_targets.reserve(size);
    }
    ~Batch() {
        for (const pollfd& entry : m_polled) {
            ::close(entry.fd);
        }
    }

    void start(std::size_t target, Ipv4 address, std::uint16_t port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            throw std::system_error(errno, std::generic_category(), "socket");
        }
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(port);
        peer.sin_addr.s_addr = htonl(address);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
            m_answered[target] = true;
        } else if (errno == EINPROGRESS) {
            m_polled.push_back({fd, POLLOUT, 0});
            m_targets.push_back(target);
            return;
        }
        ::close(fd);
    }

    void settle(Clock::time_point deadline) {
        while (!m_polled.empty()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return;
            }
            const int ready = ::poll(m_polled.data(), m_polled.size(), static_cast<int>(left.count()));
            if (ready < 0 && errno != EINTR) {
                throw std::system_error(errno, std::generic_category(), "poll");
            }
            if (ready > 0) {
                drop_settled();
            }
        }
    }

private:
    void drop_settled() {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_polled.size(); ++i) {
            if (m_polled[i].revents == 0) {
                m_polled[kept] = m_polled[i];
                m_targets[kept] = m_targets[i];
                ++kept;
                continue;
            }
            int error = 0;
            socklen_t length = sizeof error;
            m_answered[m_targets[i]] =
                getsockopt(m_polled[i].fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
            ::close(m_polled[i].fd);
        }
        m_polled.resize(kept);
        m_targets.resize(kept);
    }

    std::vector<bool>& m_answered;
    std::vector<pollfd> m_polled;
    std::vector<std::size_t> m_targets; // index into the sweep of each polled entry
};

} // namespace

std::vector<Ipv4> find_responders(const std::vector<Ipv4>& targets, std::uint16_t port,
                                  std::chrono::milliseconds timeout) {
    std::vector<bool> answered(targets.size(), false);
    const std::size_t batch_limit = batch_size();
    for (std::size_t first = 0; first < targets.size(); first += batch_limit) {
        const auto deadline = Clock::now() + timeout;
        const std::size_t end = std::min(targets.size(), first + batch_limit);
        Batch batch(answered, end - first);
        for (std::size_t i = first; i < end; ++i) {
            batch.start(i, targets[i], port);
        }
        batch.settle(deadline);
    }

    std::vector<Ipv4> responders;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (answered[i]) {
            responders.push_back(targets[i]);
        }
    }
    return responders;
}

} // namespace scanner
