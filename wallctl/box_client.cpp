#include "wallctl/box_client.h"

#include "link/protocol.h"
#include "link/traffic_log.h"

#include <algorithm>
#include <asio/experimental/as_tuple.hpp>
#include <asio/this_coro.hpp>
#include <asio/use_awaitable.hpp>
#include <asio/write.hpp>
#include <cstdio>

namespace wallctl {

namespace {

constexpr auto use_tuple = asio::experimental::as_tuple(asio::use_awaitable);

std::string shown(std::string_view text) {
    std::string quoted = "\"";
    quoted += wc::visible_bytes(text);
    quoted += '"';
    return quoted;
}

} // namespace

BoxClient::BoxClient(const asio::any_io_executor& executor, BoxAddress box, std::chrono::milliseconds timeout,
                     Stop& stop, bool trace)
    : m_box(std::move(box)), m_peer(m_box.text()), m_timeout(timeout), m_stop(stop), m_trace(trace),
      m_socket(executor), m_watchdog(executor), m_deadline(Clock::now() + timeout) {
    m_stop.enlist(this);
}

BoxClient::~BoxClient() {
    m_stop.leave(this);
}

void BoxClient::start_exchange() {
    if (m_stop.stopping()) {
        throw Stopped{};
    }
    m_deadline = Clock::now() + m_timeout;
    m_resting = false;
}

std::string BoxClient::time_up(std::string_view awaited) const {
    return "no answer to " + shown(awaited) + " within " + std::to_string(m_timeout.count()) + " ms";
}

void BoxClient::trace_line(bool sent, std::string_view bytes) const {
    if (m_trace) {
        const std::string line = wc::traffic_line(wc::local_time(std::chrono::system_clock::now()), m_peer,
                                                  sent ? wc::Traffic::sent : wc::Traffic::received, bytes) +
                                 "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
}

asio::awaitable<void> BoxClient::connect() {
    start_exchange();
    asio::error_code bad;
    const auto address = asio::ip::make_address_v4(m_box.address, bad);
    const auto [error] = co_await m_socket.async_connect({address, m_box.port}, use_tuple);
    if (m_aborted) {
        throw Stopped{};
    }
    if (m_time_up) {
        throw BoxFailure("no connection within " + std::to_string(m_timeout.count()) + " ms");
    }
    if (error) {
        throw BoxFailure("cannot connect: " + error.message());
    }
    // Lines are short and each waits for its answer: no reason to hold any back.
    m_socket.set_option(asio::ip::tcp::no_delay(true), bad);
}

asio::awaitable<void> BoxClient::send(std::string_view line) {
    if (m_time_up) {
        throw BoxFailure(time_up(line));
    }
    start_exchange();
    const std::string bytes = std::string(line) + std::string(wc::line_end);
    trace_line(true, bytes);
    const auto [error, written] = co_await asio::async_write(m_socket, asio::buffer(bytes), use_tuple);
    if (m_aborted) {
        throw Stopped{};
    }
    if (error) {
        throw BoxFailure("cannot send " + shown(line) + ": " + error.message());
    }
}

asio::awaitable<BoxClient::Chunk> BoxClient::next_chunk() {
    // Once the socket is cancelled, no read may start: none would end.
    if (m_time_up || m_aborted) {
        co_return Chunk{};
    }
    const auto [error, size] = co_await m_socket.async_read_some(asio::buffer(m_buffer), use_tuple);
    if (size > 0) {
        const std::string_view bytes(m_buffer.data(), size);
        trace_line(false, bytes);
        co_return Chunk{bytes};
    }
    if (m_time_up || m_aborted) {
        co_return Chunk{};
    }
    if (error == asio::error::eof || error == asio::error::connection_reset) {
        co_return Chunk{{}, true};
    }
    throw BoxFailure("cannot read: " + error.message());
}

asio::awaitable<wc::Reply> BoxClient::await_reply(std::string_view awaited, const Wanted& wanted) {
    while (true) {
        while (!m_ready.empty()) {
            wc::Reply reply = std::move(m_ready.front());
            m_ready.pop_front();
            if (wanted(reply)) {
                co_return reply;
            }
        }
        const Chunk chunk = co_await next_chunk();
        if (chunk.closed) {
            throw BoxFailure("the box closed the connection before answering " + shown(awaited));
        }
        if (m_aborted) {
            throw Stopped{};
        }
        if (chunk.bytes.empty()) {
            throw BoxFailure(time_up(awaited));
        }
        for (wc::Reply& reply : m_reader.feed(chunk.bytes)) {
            m_ready.push_back(std::move(reply));
        }
    }
}

asio::awaitable<std::string> BoxClient::everything_within(std::string_view awaited) {
    std::string text;
    for (Chunk chunk; !(chunk = co_await next_chunk()).bytes.empty();) {
        text += chunk.bytes;
    }
    if (m_aborted) {
        throw Stopped{};
    }
    if (text.empty()) {
        throw BoxFailure(time_up(awaited));
    }
    co_return text;
}

asio::awaitable<void> BoxClient::watch() {
    // Exchanges move the deadline on without touching the timer: it wakes at the
    // deadline it was set to and goes back to sleep if that has moved since.
    while (!m_closed && !m_resting) {
        m_watchdog.expires_at(m_deadline);
        co_await m_watchdog.async_wait(use_tuple);
        if (!m_closed && !m_resting && Clock::now() >= m_deadline) {
            m_time_up = true;
            asio::error_code ignored;
            m_socket.cancel(ignored);
            co_return;
        }
    }
}

void BoxClient::rest() {
    m_resting = true;
    m_watchdog.cancel();
}

void BoxClient::abort() {
    m_aborted = true;
    asio::error_code ignored;
    m_socket.cancel(ignored);
}

void BoxClient::close() {
    m_closed = true;
    m_watchdog.cancel();
    asio::error_code ignored;
    m_socket.close(ignored);
}

} // namespace wallctl
