#pragma once

// A real wallsim process and real TCP clients on loopback. Every wait ends at one
// generous deadline (WALL_TEST_TIMEOUT) instead of sleeping.

#include "link/reply_reader.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace sim::testing {

using Clock = std::chrono::steady_clock;

struct Listening {
    std::string address;
    std::uint16_t port = 0;
    std::string mac;
};

class WallsimProcess {
public:
    // Starts wallsim with these arguments (and no more than `descriptor_limit` open
    // descriptors, if not 0) and waits for its `boxes` "listening" lines.
    WallsimProcess(const std::vector<std::string>& args, std::size_t boxes, unsigned descriptor_limit = 0);
    ~WallsimProcess();
    WallsimProcess(const WallsimProcess&) = delete;
    WallsimProcess& operator=(const WallsimProcess&) = delete;
    const std::vector<Listening>& boxes() const { return m_boxes; }
    int stop(); // SIGTERM, then the exit status as waitpid reports it

    // Peak resident memory, CPU time used so far, descriptors open now.
    std::size_t peak_memory_bytes() const;
    std::chrono::milliseconds cpu_time() const;
    std::size_t descriptors() const;

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::vector<Listening> m_boxes;
};

class Client {
public:
    explicit Client(std::uint16_t port); // throws when the connection is refused
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    void send(std::string_view bytes);
    void offer(std::string_view bytes);           // sends what the socket takes at once, the rest never
    std::string reply();                          // the next whole reply; empty once the connection has ended
    std::string exchange(std::string_view line) { // sends the line with "\r\n", returns reply()
        send(std::string(line) + "\r\n");
        return reply();
    }

private:
    int m_fd = -1;
    wc::ReplyReader m_reader;
    std::deque<std::string> m_replies; // read and not yet taken
};

} // namespace sim::testing
