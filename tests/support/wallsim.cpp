#include "wallsim.h"

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace sim::testing {

WallsimProcess::WallsimProcess(const std::vector<std::string>& args, std::size_t boxes,
                               unsigned descriptor_limit)
    : m_process(
          [&args] {
              std::vector<std::string> argv{WALLSIM_PATH};
              argv.insert(argv.end(), args.begin(), args.end());
              return argv;
          }(),
          [descriptor_limit] {
              wc::test::Running::Options options;
              options.descriptor_limit = descriptor_limit;
              return options;
          }()) {
    for (std::string line; m_boxes.size() < boxes && !(line = m_process.line()).empty();) {
        char address[64], mac[32];
        std::uint16_t port = 0;
        if (std::sscanf(line.c_str(), "listening %63s %hu %31s", address, &port, mac) == 3) {
            m_boxes.push_back({address, port, mac});
        }
    }
}

std::size_t WallsimProcess::descriptors() const {
    const std::filesystem::directory_iterator fds("/proc/" + std::to_string(m_process.pid()) + "/fd");
    return static_cast<std::size_t>(std::distance(begin(fds), end(fds)));
}

Client::Client(std::uint16_t port) : m_fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    const sockaddr_in addr{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    if (connect(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        close(m_fd);
        throw std::runtime_error("cannot connect to port " + std::to_string(port));
    }
}

Client::~Client() {
    close(m_fd);
}

void Client::send(std::string_view bytes) {
    // A blocking send returns only once all of it is on its way.
    if (::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("send failed");
    }
}

void Client::offer(std::string_view bytes) {
    ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

std::string Client::reply() {
    const auto until = wc::test::deadline();
    while (m_replies.empty()) {
        pollfd p{m_fd, POLLIN, 0};
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(until - wc::test::Clock::now()).count();
        char chunk[4096];
        const ssize_t got =
            left > 0 && poll(&p, 1, static_cast<int>(left)) == 1 ? read(m_fd, chunk, sizeof chunk) : -1;
        if (got <= 0) {
            return {};
        }
        for (const wc::Reply& reply : m_reader.feed(std::string_view(chunk, static_cast<std::size_t>(got)))) {
            m_replies.push_back(reply.text());
        }
    }
    std::string reply = std::move(m_replies.front());
    m_replies.pop_front();
    return reply;
}

} // namespace sim::testing
