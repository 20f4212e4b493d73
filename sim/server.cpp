#include "sim/server.h"

#include "sim/state_file.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {
namespace {

// A client that sends without reading stops being read once this much output
// waits for it, so no client can make the server hold more than that.
constexpr std::size_t backlog_limit = 64 * 1024;
constexpr std::size_t read_size = 64 * 1024;

void set_non_blocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
}

sockaddr_in socket_address(const std::string& address, std::uint16_t port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &addr.sin_addr);
    return addr;
}

} // namespace

Server::Server(Options options) : m_state_dir(std::move(options.state_dir)) {
    for (BoxConfig& config : options.boxes) {
        m_listeners.emplace_back(std::move(config));
    }
}

Server::~Server() {
    for (const Connection& connection : m_connections) {
        close(connection.fd);
    }
    for (const Listener& listener : m_listeners) {
        if (listener.fd >= 0) {
            close(listener.fd);
        }
    }
}

bool Server::open(std::ostream& out, std::string& error) {
    for (Listener& listener : m_listeners) {
        const BoxConfig& config = listener.config;
        const std::string where = config.address + ":" + std::to_string(config.port);
        listener.fd = socket(AF_INET, SOCK_STREAM, 0);
        if (listener.fd < 0) {
            error = "socket: " + std::string(std::strerror(errno));
            return false;
        }
        set_non_blocking(listener.fd);
        const int on = 1;
        setsockopt(listener.fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in addr = socket_address(config.address, config.port);
        socklen_t length = sizeof addr;
        // A refusing box keeps its port bound without listening: connecting to it
        // is refused, and no other program can take the port meanwhile.
        if (bind(listener.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            (!config.faults.refuse && listen(listener.fd, SOMAXCONN) != 0) ||
            getsockname(listener.fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
            error = where + ": " + std::strerror(errno);
            return false;
        }
        listener.port = ntohs(addr.sin_port);
        save_state(listener);
        out << "listening " << config.address << " " << listener.port << " " << config.mac << std::endl;
    }
    return true;
}

void Server::run(int stop_fd) {
    std::vector<pollfd> fds;
    while (true) {
        const Clock::time_point now = Clock::now();
        for (Connection& connection : m_connections) {
            flush(connection, now);
        }
        std::erase_if(m_connections, [&](const Connection& connection) {
            if (connection.dead || finished(connection, now)) {
                close(connection.fd);
                return true;
            }
            return false;
        });

        fds.clear();
        fds.push_back({stop_fd, POLLIN, 0});
        for (const Listener& listener : m_listeners) {
            fds.push_back({listener.config.faults.refuse ? -1 : listener.fd, POLLIN, 0});
        }
        for (const Connection& connection : m_connections) {
            std::size_t backlog = connection.shaper.pending_bytes();
            for (const std::string& chunk : connection.unsent) {
                backlog += chunk.size();
            }
            short events = 0;
            if (!connection.close_at && backlog < backlog_limit) {
                events |= POLLIN;
            }
            if (!connection.unsent.empty()) {
                events |= POLLOUT;
            }
            fds.push_back({connection.fd, events, 0});
        }

        int timeout = -1;
        if (const auto deadline = next_deadline()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
            timeout = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(wait.count(), 0, 60'000));
        }
        if (poll(fds.data(), static_cast<nfds_t>(fds.size()), timeout) < 0 && errno != EINTR) {
            std::cerr << "wallsim: poll: " << std::strerror(errno) << std::endl;
            return;
        }
        if (fds[0].revents != 0) {
            return;
        }
        // Connections accepted below are polled from the next round on.
        const std::size_t listed = m_connections.size();
        for (std::size_t i = 0; i < listed; ++i) {
            const short revents = fds[1 + m_listeners.size() + i].revents;
            Connection& connection = m_connections[i];
            if (revents & POLLIN) {
                read_from(connection);
            } else if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
                connection.dead = true;
            }
        }
        for (std::size_t box = 0; box < m_listeners.size(); ++box) {
            if (fds[1 + box].revents & POLLIN) {
                accept_from(box);
            }
        }
    }
}

void Server::accept_from(std::size_t box) {
    while (true) {
        const int fd = accept(m_listeners[box].fd, nullptr, nullptr);
        if (fd < 0) {
            return; // EAGAIN once the queue is empty; anything else is the client's loss
        }
        set_non_blocking(fd);
        // Split replies must leave as separate chunks, not be gathered up by Nagle.
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_connections.emplace_back(fd, box, m_listeners[box].config.faults);
    }
}

void Server::read_from(Connection& connection) {
    std::array<char, read_size> buffer;
    const ssize_t got = recv(connection.fd, buffer.data(), buffer.size(), 0);
    const Clock::time_point now = Clock::now();
    if (got == 0) {
        // The client is done sending; what it asked for is still answered.
        connection.close_at = now;
        return;
    }
    if (got < 0) {
        connection.dead = errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
        return;
    }
    for (const std::string& line : connection.lines.feed({buffer.data(), static_cast<std::size_t>(got)})) {
        if (connection.close_at) {
            break; // a closing box hears no more
        }
        handle(connection, line, now);
    }
}

void Server::handle(Connection& connection, std::string_view line, Clock::time_point now) {
    if (line.empty()) {
        return;
    }
    Listener& listener = m_listeners[connection.box];
    const Faults& faults = listener.config.faults;
    std::vector<std::string> replies = listener.box.handle_line(line);
    if (!faults.silent.contains(command_word(line))) {
        for (std::string& reply : replies) {
            connection.shaper.add(std::move(reply), now);
        }
    }
    save_state(listener);
    ++connection.commands;
    if (ends_connection(line)) {
        connection.close_at = now + relink_delay;
    } else if (faults.close_after > 0 && connection.commands >= faults.close_after) {
        connection.close_at = now;
    }
}

void Server::flush(Connection& connection, Clock::time_point now) {
    for (std::string& chunk : connection.shaper.take_due(now)) {
        connection.unsent.push_back(std::move(chunk));
    }
    while (!connection.dead && !connection.unsent.empty()) {
        std::string& chunk = connection.unsent.front();
        const ssize_t sent = send(connection.fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            connection.dead = errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
            return;
        }
        chunk.erase(0, static_cast<std::size_t>(sent));
        if (!chunk.empty()) {
            return;
        }
        connection.unsent.pop_front();
    }
}

bool Server::finished(const Connection& connection, Clock::time_point now) const {
    return connection.close_at && now >= *connection.close_at && connection.shaper.empty() &&
           connection.unsent.empty();
}

std::optional<Server::Clock::time_point> Server::next_deadline() const {
    std::optional<Clock::time_point> next;
    const auto consider = [&](std::optional<Clock::time_point> at) {
        if (at && (!next || *at < *next)) {
            next = at;
        }
    };
    for (const Connection& connection : m_connections) {
        consider(connection.shaper.next_due());
        // With replies still to go, the connection ends after them, not at its time.
        if (connection.shaper.empty() && connection.unsent.empty()) {
            consider(connection.close_at);
        }
    }
    return next;
}

void Server::save_state(Listener& listener) {
    if (m_state_dir.empty()) {
        return;
    }
    std::string text = format_state(listener.box);
    if (text == listener.written_state) {
        return;
    }
    const std::filesystem::path path =
        std::filesystem::path(m_state_dir) / state_file_name(listener.config.address, listener.port);
    if (!write_atomically(path, text)) {
        // Not remembered as written, so the next command tries again.
        std::cerr << "wallsim: cannot write " << path.string() << std::endl;
        return;
    }
    listener.written_state = std::move(text);
}

} // namespace sim
