#include "wallsim_process.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace sim::testing {
namespace {

Clock::time_point deadline() {
    return Clock::now() + std::chrono::seconds(WALL_TEST_TIMEOUT_S);
}

// What fd has to read now, or once something comes; empty once fd has ended or at the deadline.
std::string read_some(int fd, Clock::time_point until) {
    pollfd p{fd, POLLIN, 0};
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    char chunk[4096];
    const ssize_t got =
        left > 0 && poll(&p, 1, static_cast<int>(left)) == 1 ? read(fd, chunk, sizeof chunk) : -1;
    return got > 0 ? std::string(chunk, static_cast<std::size_t>(got)) : std::string();
}

// The next line from fd up to and including "\n"; empty once fd has ended or at the deadline.
std::string next_line(int fd, std::string& buffer) {
    const Clock::time_point until = deadline();
    std::size_t at;
    while ((at = buffer.find('\n')) == std::string::npos) {
        const std::string chunk = read_some(fd, until);
        if (chunk.empty()) {
            return {};
        }
        buffer += chunk;
    }
    std::string line = buffer.substr(0, at + 1);
    buffer.erase(0, line.size());
    return line;
}

} // namespace

WallsimProcess::WallsimProcess(const std::vector<std::string>& args, std::size_t boxes,
                               unsigned descriptor_limit) {
    std::vector<char*> argv{const_cast<char*>(WALLSIM_PATH)};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0 || (m_pid = fork()) < 0) {
        throw std::runtime_error("cannot start " WALLSIM_PATH);
    }
    if (m_pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close_range(3, ~0u, 0); // whatever the test runner left open is not wallsim's
        if (descriptor_limit > 0) {
            const rlimit limit{descriptor_limit, descriptor_limit};
            setrlimit(RLIMIT_NOFILE, &limit);
        }
        execv(WALLSIM_PATH, argv.data());
        _exit(127);
    }
    close(out[1]);
    m_stdout = out[0];
    std::string buffer;
    for (std::string line; m_boxes.size() < boxes && !(line = next_line(m_stdout, buffer)).empty();) {
        char address[64], mac[32];
        std::uint16_t port = 0;
        if (std::sscanf(line.c_str(), "listening %63s %hu %31s", address, &port, mac) == 3) {
            m_boxes.push_back({address, port, mac});
        }
    }
}

WallsimProcess::~WallsimProcess() {
    stop();
    close(m_stdout);
}

int WallsimProcess::stop() {
    int status = -1;
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(std::exchange(m_pid, -1), &status, 0);
    }
    return status;
}

std::size_t WallsimProcess::peak_memory_bytes() const {
    std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
    std::size_t kib = 0;
    for (std::string key; status >> key && key != "VmHWM:";) {
    }
    status >> kib;
    return kib * 1024;
}

std::chrono::milliseconds WallsimProcess::cpu_time() const {
    clockid_t clock;
    timespec used{};
    if (clock_getcpuclockid(m_pid, &clock) == 0) {
        clock_gettime(clock, &used);
    }
    return std::chrono::seconds(used.tv_sec) + std::chrono::milliseconds(used.tv_nsec / 1000000);
}

std::size_t WallsimProcess::descriptors() const {
    const std::filesystem::directory_iterator fds("/proc/" + std::to_string(m_pid) + "/fd");
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
    const Clock::time_point until = deadline();
    while (m_replies.empty()) {
        const std::string chunk = read_some(m_fd, until);
        if (chunk.empty()) {
            return {};
        }
        for (const wc::Reply& reply : m_reader.feed(chunk)) {
            m_replies.push_back(reply.text());
        }
    }
    std::string reply = std::move(m_replies.front());
    m_replies.pop_front();
    return reply;
}

} // namespace sim::testing
