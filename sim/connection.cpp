#include "sim/connection.h"

#include "link/line_assembler.h"
#include "sim/box.h"
#include "sim/reply_shaper.h"

#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <optional>

namespace sim {
namespace {

using Clock = ReplyShaper::Clock;
using asio::redirect_error;
using asio::use_awaitable;

// Small reads keep each turn of a busy client short, so the others never wait long for theirs.
constexpr std::size_t read_size = 4096;

// Waits until `until` or until someone cancels the timer; either way the caller looks again.
asio::awaitable<void> nap(asio::steady_timer& timer, Clock::time_point until) {
    timer.expires_at(until);
    asio::error_code cancelled;
    co_await timer.async_wait(redirect_error(use_awaitable, cancelled));
}

class Client {
public:
    Client(asio::ip::tcp::socket socket, const Faults& faults, LineHandler handle,
           std::function<void()> closed)
        : m_socket(std::move(socket)), m_close_after(faults.close_after), m_handle(std::move(handle)),
          m_closed(std::move(closed)), m_shaper(faults), m_reader_wake(m_socket.get_executor()),
          m_writer_wake(m_socket.get_executor()) {}

    // A box that greets its clients does so before it reads a line.
    void greet() { m_queued += m_shaper.greet(Clock::now()); }

    static asio::awaitable<void> read_lines(std::shared_ptr<Client> self);
    static asio::awaitable<void> write_replies(std::shared_ptr<Client> self);

private:
    void handle(std::string_view line);
    void close_at(Clock::time_point at);
    void end();

    asio::ip::tcp::socket m_socket;
    int m_close_after;
    LineHandler m_handle;
    std::function<void()> m_closed;
    wc::LineAssembler m_lines;
    ReplyShaper m_shaper;
    std::deque<std::string> m_due; // chunks due and not yet written, each to be written on its own
    std::size_t m_queued = 0;      // bytes of replies not yet written, in the shaper or due
    int m_commands = 0;
    std::optional<Clock::time_point> m_close_at; // set once the connection is to end
    bool m_ended = false;
    asio::steady_timer m_reader_wake; // the reader sleeps on it while the output is full
    asio::steady_timer m_writer_wake; // the writer sleeps on it until a chunk is due or the end comes
};

asio::awaitable<void> Client::read_lines(std::shared_ptr<Client> self) {
    std::array<char, read_size> buffer;
    std::string_view unread;
    while (!self->m_close_at && !self->m_ended) { // a closing box hears no more
        if (self->m_queued >= output_limit) {
            co_await nap(self->m_reader_wake, Clock::time_point::max());
        } else if (unread.empty()) {
            asio::error_code error;
            const std::size_t got = co_await self->m_socket.async_read_some(
                asio::buffer(buffer), redirect_error(use_awaitable, error));
            if (error == asio::error::eof) {
                self->close_at(Clock::now()); // done sending; what it asked for is still answered
            } else if (error) {
                self->end();
            }
            unread = {buffer.data(), got};
        } else {
            // Line by line, so the output limit is kept to within the replies of one line.
            const std::size_t end = std::min(unread.find('\n'), unread.size() - 1) + 1;
            for (const std::string& line : self->m_lines.feed(unread.substr(0, end))) {
                self->handle(line);
            }
            unread.remove_prefix(end);
        }
    }
}

asio::awaitable<void> Client::write_replies(std::shared_ptr<Client> self) {
    while (!self->m_ended) {
        const Clock::time_point now = Clock::now();
        for (std::string& chunk : self->m_shaper.take_due(now)) {
            self->m_due.push_back(std::move(chunk));
        }
        if (!self->m_due.empty()) {
            asio::error_code error;
            co_await asio::async_write(self->m_socket, asio::buffer(self->m_due.front()),
                                       redirect_error(use_awaitable, error));
            if (error) {
                self->end();
                break;
            }
            self->m_queued -= self->m_due.front().size();
            self->m_due.pop_front();
            if (self->m_queued < output_limit) {
                self->m_reader_wake.cancel();
            }
        } else if (self->m_shaper.empty()) {
            if (self->m_close_at && now >= *self->m_close_at) {
                self->end();
            } else {
                co_await nap(self->m_writer_wake, self->m_close_at.value_or(Clock::time_point::max()));
            }
        } else {
            // With replies still to go, the connection ends after them, not at its time.
            co_await nap(self->m_writer_wake, *self->m_shaper.next_due());
        }
    }
}

void Client::handle(std::string_view line) {
    if (line.empty()) {
        return;
    }
    const Clock::time_point now = Clock::now();
    m_queued += m_shaper.answer(line, m_handle(line), now);
    m_writer_wake.cancel();
    ++m_commands;
    if (ends_connection(line)) {
        close_at(now + relink_delay);
    } else if (m_close_after > 0 && m_commands >= m_close_after) {
        close_at(now);
    }
}

void Client::close_at(Clock::time_point at) {
    m_close_at = at;
    m_writer_wake.cancel();
}

void Client::end() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    asio::error_code ignored;
    m_socket.close(ignored);
    m_reader_wake.cancel();
    m_writer_wake.cancel();
    m_closed();
}

} // namespace

void serve_client(asio::ip::tcp::socket socket, const Faults& faults, LineHandler handle,
                  std::function<void()> closed) {
    // Split replies must leave as separate chunks, not be gathered up by Nagle.
    asio::error_code ignored;
    socket.set_option(asio::ip::tcp::no_delay(true), ignored);
    const auto executor = socket.get_executor();
    auto client = std::make_shared<Client>(std::move(socket), faults, std::move(handle), std::move(closed));
    client->greet();
    asio::co_spawn(executor, Client::read_lines(client), asio::detached);
    asio::co_spawn(executor, Client::write_replies(client), asio::detached);
}

} // namespace sim
