#pragma once

// A real wallsim process and real TCP clients on loopback, for the tests where
// sockets and processes are the point. Every wait ends at one generous
// deadline (WALL_TEST_TIMEOUT) instead of sleeping.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace sim::testing {

using Clock = std::chrono::steady_clock;

Clock::time_point deadline();

struct Listening {
    std::string address;
    std::uint16_t port = 0;
    std::string mac;
};

class WallsimProcess {
public:
    // Starts wallsim with these arguments and waits for its `boxes` "listening" lines.
    WallsimProcess(const std::vector<std::string>& args, std::size_t boxes);
    ~WallsimProcess();
    WallsimProcess(const WallsimProcess&) = delete;
    WallsimProcess& operator=(const WallsimProcess&) = delete;

    const std::vector<Listening>& boxes() const { return m_boxes; }

    // SIGTERM, then the exit status as waitpid reports it.
    int stop();

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::vector<Listening> m_boxes;
};

class Client {
public:
    explicit Client(std::uint16_t port);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    void send(std::string_view bytes);

    // The next reply, "\r\n" included; empty if the connection ended first.
    std::string reply();

    // Sends the line with "\r\n" and returns the reply to it.
    std::string exchange(std::string_view line);

    // Whether the server closed the connection (all unread replies are dropped).
    bool closed_by_server();

    void close_now();

private:
    bool fill();

    int m_fd = -1;
    std::string m_buffer;
};

// What connect() says for this port on loopback: 0 when it connects, else errno.
int connect_error(std::uint16_t port);

} // namespace sim::testing
