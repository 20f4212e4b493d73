#include "wallsim_process.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace sim::testing {
namespace {

// Waits until fd is readable or the test deadline passes.
bool readable(int fd, Clock::time_point until) {
    while (Clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
    return false;
}

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

} // namespace

Clock::time_point deadline() {
    return Clock::now() + std::chrono::seconds(WALL_TEST_TIMEOUT_S);
}

WallsimProcess::WallsimProcess(const std::vector<std::string>& args, std::size_t boxes) {
    int out[2];
    if (pipe(out) != 0) {
        throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> argv_text{WALLSIM_PATH};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argv_text) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&m_pid, WALLSIM_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    m_stdout = out[0];
    if (spawned != 0) {
        throw std::runtime_error("cannot start " WALLSIM_PATH);
    }

    const Clock::time_point until = deadline();
    std::string text;
    while (m_boxes.size() < boxes && readable(m_stdout, until)) {
        char buffer[512];
        const ssize_t got = read(m_stdout, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1)) {
            std::istringstream line(text.substr(0, end));
            std::string word;
            Listening box;
            if (line >> word >> box.address >> box.port >> box.mac && word == "listening") {
                m_boxes.push_back(box);
            }
        }
    }
}

WallsimProcess::~WallsimProcess() {
    stop();
    close(m_stdout);
}

int WallsimProcess::stop() {
    if (m_pid <= 0) {
        return -1;
    }
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return status;
}

Client::Client(std::uint16_t port) : m_fd(socket(AF_INET, SOCK_STREAM, 0)) {
    const sockaddr_in addr = loopback(port);
    if (connect(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        throw std::runtime_error("cannot connect to port " + std::to_string(port));
    }
}

Client::~Client() {
    close_now();
}

void Client::close_now() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

void Client::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            throw std::runtime_error("send failed");
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

bool Client::fill() {
    if (!readable(m_fd, deadline())) {
        return false;
    }
    char buffer[4096];
    const ssize_t got = recv(m_fd, buffer, sizeof buffer, 0);
    if (got <= 0) {
        return false;
    }
    m_buffer.append(buffer, static_cast<std::size_t>(got));
    return true;
}

std::string Client::reply() {
    const Clock::time_point until = deadline();
    std::size_t end;
    while ((end = m_buffer.find("\r\n")) == std::string::npos) {
        if (Clock::now() >= until || !fill()) {
            return {};
        }
    }
    std::string reply = m_buffer.substr(0, end + 2);
    m_buffer.erase(0, end + 2);
    return reply;
}

std::string Client::exchange(std::string_view line) {
    send(std::string(line) + "\r\n");
    return reply();
}

bool Client::closed_by_server() {
    const Clock::time_point until = deadline();
    while (Clock::now() < until) {
        if (!readable(m_fd, until)) {
            return false;
        }
        char buffer[4096];
        const ssize_t got = recv(m_fd, buffer, sizeof buffer, 0);
        if (got == 0 || (got < 0 && errno == ECONNRESET)) {
            return true;
        }
    }
    return false;
}

int connect_error(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in addr = loopback(port);
    const int error = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0 ? 0 : errno;
    close(fd);
    return error;
}

} // namespace sim::testing
