#pragma once

// A real wallsim process and real TCP clients of its boxes on loopback, every
// wait ending at the one generous deadline.

#include "link/reply_reader.h"
#include "process.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace sim::testing {

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
    const std::vector<Listening>& boxes() const { return m_boxes; }
    int stop() { return m_process.stop(); } // SIGTERM, then the wait status
    std::size_t descriptors() const;        // open now

private:
    wc::test::Running m_process;
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
