#pragma once

// One connection to one box, on Asio coroutines: connect, send a line, await
// the reply for which a test holds. Replies are read whatever chunks they come
// in and however the box frames them; replies that are not the awaited one
// (late or unasked) and text that is no reply are skipped. Every exchange has
// its time-out and nothing else limits the box, so a box that answers every
// line in time never fails for time, however many lines a command needs; a
// watchdog beside the exchanges cancels the socket when the time is up, so no
// read ever waits longer.
//
// Whatever ends a box's work (refused, closed, time-out, an error) is thrown
// as a BoxFailure whose text is the reason shown in the box's row; a stopping
// run (stop.h) throws Stopped instead, before an exchange would begin or when
// it aborts the one under way.

#include "link/reply_reader.h"
#include "wallctl/box_address.h"
#include "wallctl/stop.h"

#include <array>
#include <asio/awaitable.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>
#include <chrono>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wallctl {

struct BoxFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class BoxClient {
public:
    using Clock = std::chrono::steady_clock;
    using Wanted = std::function<bool(const wc::Reply& reply)>;

    BoxClient(const asio::any_io_executor& executor, BoxAddress box, std::chrono::milliseconds timeout,
              Stop& stop, bool trace);
    ~BoxClient();
    BoxClient(const BoxClient&) = delete;
    BoxClient& operator=(const BoxClient&) = delete;

    asio::awaitable<void> connect();

    // The line with its "\r\n"; starts an exchange, whose time-out runs from here.
    asio::awaitable<void> send(std::string_view line);

    // The first reply since the last one taken for which wanted holds; the
    // exchange is named by `awaited` (the line sent) in a failure's reason.
    asio::awaitable<wc::Reply> await_reply(std::string_view awaited, const Wanted& wanted);

    // Everything the box sends until the exchange's time is up or the box
    // closes the connection; a failure when that is nothing at all.
    asio::awaitable<std::string> everything_within(std::string_view awaited);

    // The watchdog: runs beside the exchanges until close() or rest().
    asio::awaitable<void> watch();

    // Ends the watchdog and keeps the connection open: until the next exchange
    // nothing is awaited, so an idle connection is not taken for a silent box.
    // The next exchanges need watch() beside them again.
    void rest();

    void close();

    // Ends the exchange under way at once; the run is stopping.
    void abort();

private:
    struct Chunk {
        std::string_view bytes; // empty when the time was up or the box closed
        bool closed = false;
    };

    void start_exchange();
    asio::awaitable<Chunk> next_chunk();
    std::string time_up(std::string_view awaited) const;
    void trace_line(bool sent, std::string_view bytes) const;

    BoxAddress m_box;
    std::string m_peer;
    std::chrono::milliseconds m_timeout;
    Stop& m_stop;
    bool m_trace;

    asio::ip::tcp::socket m_socket;
    asio::steady_timer m_watchdog;
    Clock::time_point m_deadline;
    bool m_time_up = false;
    bool m_aborted = false;
    bool m_closed = false;
    bool m_resting = false;

    wc::ReplyReader m_reader;
    std::deque<wc::Reply> m_ready; // whole replies not yet taken
    std::array<char, 4096> m_buffer{};
};

} // namespace wallctl
