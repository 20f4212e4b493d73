#pragma once

// wallsim's one-threaded server: a listening socket per box, any number of
// clients per box (all of one box share its state), poll() for everything.

#include "sim/box.h"
#include "sim/line_assembler.h"
#include "sim/options.h"
#include "sim/reply_shaper.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace sim {

class Server {
public:
    explicit Server(Options options);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds every box's address and prints "listening ADDRESS PORT MAC" for each
    // (a refusing box too: its port is bound but not listening). On failure
    // returns false and says why in `error`.
    bool open(std::ostream& out, std::string& error);

    // Serves until stop_fd becomes readable (the signal handler's pipe).
    void run(int stop_fd);

private:
    using Clock = ReplyShaper::Clock;

    struct Listener {
        explicit Listener(BoxConfig box_config) : config(std::move(box_config)), box(config.mac) {}

        BoxConfig config;
        Box box;
        int fd = -1;
        std::uint16_t port = 0;
        std::string written_state;
    };

    struct Connection {
        Connection(int socket, std::size_t box_index, const Faults& faults)
            : fd(socket), box(box_index), shaper(faults) {}

        int fd;
        std::size_t box;
        LineAssembler lines;
        ReplyShaper shaper;
        std::deque<std::string> unsent; // chunks due but not yet taken by the socket
        int commands = 0;
        std::optional<Clock::time_point> close_at; // set once the connection is to end
        bool dead = false;
    };

    void accept_from(std::size_t box);
    void read_from(Connection& connection);
    void handle(Connection& connection, std::string_view line, Clock::time_point now);
    void flush(Connection& connection, Clock::time_point now);
    bool finished(const Connection& connection, Clock::time_point now) const;
    std::optional<Clock::time_point> next_deadline() const;
    void save_state(Listener& listener);

    std::string m_state_dir;
    std::vector<Listener> m_listeners;
    std::vector<Connection> m_connections;
};

} // namespace sim
