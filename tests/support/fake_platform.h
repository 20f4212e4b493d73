#pragma once

// A deterministic platform for the core's tests: scripted boxes behind fake
// sockets, a fake clock that moves to the next event when nothing is due,
// scripted answers to message boxes, and a record of every message and line
// sent. Events reach the console one at a time, as from an event loop.

#include "link/platform.h"
#include "sim/reply_shaper.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace wc::test {

// Thrown when events keep coming past the time limit of a run.
struct Stalled : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Chunk {
    std::string text;  // sent as it stands: add "\r\n" where a box would
    int delay_ms = 10; // after the command, or after the previous reply
};

// How a scripted box answers one command line (given without "\r\n").
using Responder = std::function<std::vector<Chunk>(const std::string& line)>;

struct BoxScript {
    bool accepts = true; // false: the connect fails
    bool answers = true; // false: the connect never completes
    int connect_ms = 20; // until the connection is up (or refused)
    Responder respond;   // may be empty: a box that never replies
    // A box that speaks as wallsim with these options does: its greeting, and
    // its responder's texts taken as replies without line ends, framed and cut
    // into chunks as the options say (their delay instead of the chunks' own).
    std::optional<sim::Faults> speaks{};
};

// Answers from a table, each reply ended by "\r\n" as a box ends it; unknown lines get none.
Responder reply_table(std::map<std::string, std::string> replies, int delay_ms = 10);

struct Message {
    std::string text;
    MsgIcon icon;
    MsgButtons buttons;
    bool operator==(const Message&) const = default;
};

struct Sent {
    int socket;
    std::string line; // without "\r\n"
    bool operator==(const Sent&) const = default;
};

// Printable on failure: which socket, what line, what message.
void PrintTo(const Sent& sent, std::ostream* out);
void PrintTo(const Message& message, std::ostream* out);

class FakePlatform : public Platform {
public:
    // Boxes by address; a connect to an address without a script never completes.
    void add_box(const std::string& host, BoxScript script) { m_boxes[host] = std::move(script); }
    bool has_box(const std::string& host) const { return m_boxes.count(host) != 0; }
    void set_local_ip(std::string ip) { m_local_ip = std::move(ip); }
    void set_file(const std::string& name, std::vector<std::string> lines) {
        m_files[name] = std::move(lines);
    }
    // The scanner runs for run_ms, then on_end runs (it may write the files).
    void set_scanner(bool present, int run_ms = 500, std::function<void()> on_end = {}) {
        m_scanner_present = present;
        m_scanner_run_ms = run_ms;
        m_scanner_end = std::move(on_end);
    }

    // Something that happens ms from now: an operator action, a box event.
    void at(std::int64_t ms, std::function<void()> action) { schedule(m_now + ms, std::move(action)); }
    // Text arriving on a socket ms from now, as if the box had sent it.
    void arrive(int socket, std::string text, std::int64_t ms = 0) {
        deliver(socket, m_now + ms, std::move(text));
    }
    // The box behind a socket drops the connection ms from now.
    void drop(int socket, std::int64_t ms = 0);

    // Answers for the next Yes/No questions, in order; unscripted questions are answered Yes.
    void answer(MsgAnswer answer) { m_answers.push_back(answer); }
    // The operator answers a message box this long after it was shown.
    void set_reading_ms(int ms) { m_reading_ms = ms; }
    // Runs as a message box is shown.
    std::function<void(const Message&)> while_message_shown;
    // Runs when nothing is left to happen; it may schedule events with at().
    std::function<void()> when_stalled;
    // Runs before each event reaches the console.
    std::function<void()> before_event;

    std::int64_t now() const { return m_now; }
    const std::vector<Message>& messages() const { return m_messages; }
    std::vector<std::string> message_texts() const;
    const std::vector<Sent>& sent() const { return m_sent; }
    std::vector<std::string> lines(int socket) const;
    // Lines dropped because their socket was not connected.
    const std::vector<Sent>& dropped() const { return m_dropped; }
    std::vector<int> connects() const { return m_connects; }                     // sockets, in order
    std::string pending(int socket) const { return m_sockets[socket].received; } // received, not read yet
    void clear_records();

    // Platform
    void socket_close(int socket) override;
    void socket_connect(int socket, const std::string& host, int port) override;
    SocketState socket_state(int socket) const override { return m_sockets[socket].state; }
    void socket_send(int socket, std::string_view bytes) override;
    std::string socket_read(int socket) override;
    std::string local_ip() override { return m_local_ip; }
    void timer_start(TimerId timer, int interval_ms) override;
    void timer_stop(TimerId timer) override { ++m_timer_generation[timer]; }
    void message_box(int id, std::string_view text, MsgIcon icon, MsgButtons buttons) override;
    bool start_scanner(std::string_view file_name) override;
    bool scanner_running() override { return m_scanner_busy; }
    std::optional<std::vector<std::string>> read_lines(std::string_view file_name) override;

    // Runs events in the order of their time, moving the clock to each, while
    // `more` holds and any is left; Stalled when one lies past the limit.
    void run_while(const std::function<bool()>& more, std::int64_t limit_ms = 600'000);
    void run_until_idle() {
        run_while([] { return true; });
    }

private:
    struct Event {
        std::int64_t when;
        std::uint64_t order;
        std::function<void()> action;
    };
    struct Socket {
        SocketState state = SocketState::closed;
        std::string host;
        std::string received;
        std::uint64_t generation = 0;           // bumped by close and connect: stale events do nothing
        std::int64_t reply_clock = 0;           // replies of one box come out in order
        std::optional<sim::ReplyShaper> shaper; // a box that speaks as wallsim does
    };
    void schedule(std::int64_t when, std::function<void()> action) {
        m_events.push_back({when, m_order++, std::move(action)});
    }
    void schedule_on(int socket, std::int64_t when, std::function<void(Socket&)> action);
    void deliver(int socket, std::int64_t when, std::string text);
    // The shaper's chunks, each an arrival of its own, when they fall due.
    void pump(int socket);
    std::vector<Event>::iterator next_event();

    std::int64_t m_now = 0;
    std::uint64_t m_order = 0;
    int m_reading_ms = 0;
    std::vector<Event> m_events;
    std::map<std::string, BoxScript> m_boxes;
    Socket m_sockets[socket_count];
    std::map<TimerId, std::uint64_t> m_timer_generation;
    std::deque<MsgAnswer> m_answers;
    std::vector<Message> m_messages;
    std::vector<Sent> m_sent;
    std::vector<Sent> m_dropped;
    std::vector<int> m_connects;
    std::string m_local_ip = "192.168.1.5";
    std::map<std::string, std::vector<std::string>> m_files;
    bool m_scanner_present = false;
    int m_scanner_run_ms = 500;
    std::function<void()> m_scanner_end;
    bool m_scanner_busy = false;
};

} // namespace wc::test
