// watch_bare: the yardstick for `wallctl watch`. The same reads with the same
// boxes, and nothing else: one connection per box kept open, and every
// INTERVAL seconds a round in which every box at once gets the read lines of
// watch's table, each answered before the next is sent. No settings
// catalogue, no screen, no time-outs; a reply is only awaited up to its
// "\r\n". Prints the median time of a round over ROUNDS rounds as "name: value" lines.
//
//   watch_bare BOXES_FILE INTERVAL ROUNDS      (one 127.0.0.1:PORT a line)

#include <algorithm>
#include <array>
#include <asio.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

// What a round of `wallctl watch` reads: power, ID, firmware, resolution, mute.
constexpr std::array<std::string_view, 5> reads{"RPOW", "RMDN", "RVER", "RRES", "RMUTE"};

struct Box {
    tcp::socket socket;
    std::string received;
};

asio::awaitable<void> read_box(Box& box, std::size_t& left, asio::steady_timer& round_done) {
    for (const std::string_view line : reads) {
        const std::string sent = std::string(line) + "\r\n";
        co_await asio::async_write(box.socket, asio::buffer(sent), asio::use_awaitable);
        const std::size_t length = co_await asio::async_read_until(
            box.socket, asio::dynamic_buffer(box.received), "\r\n", asio::use_awaitable);
        box.received.erase(0, length);
    }
    if (--left == 0) {
        round_done.expires_at(Clock::time_point::min());
    }
}

asio::awaitable<void> rounds(std::vector<std::unique_ptr<Box>>& boxes, std::chrono::seconds interval,
                             std::vector<double>& milliseconds) {
    const auto executor = co_await asio::this_coro::executor;
    asio::steady_timer round_done(executor);
    asio::steady_timer next(executor);
    for (std::size_t k = 0; k < milliseconds.size(); ++k) {
        const Clock::time_point start = Clock::now();
        std::size_t left = boxes.size();
        round_done.expires_at(Clock::time_point::max());
        for (auto& box : boxes) {
            asio::co_spawn(executor, read_box(*box, left, round_done), asio::detached);
        }
        asio::error_code cancelled;
        co_await round_done.async_wait(asio::redirect_error(asio::use_awaitable, cancelled));
        milliseconds[k] = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        next.expires_at(start + interval);
        co_await next.async_wait(asio::use_awaitable);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: watch_bare BOXES_FILE INTERVAL ROUNDS\n");
        return 2;
    }
    asio::io_context io;
    std::vector<std::unique_ptr<Box>> boxes;
    std::ifstream file(argv[1]);
    for (std::string line; std::getline(file, line);) {
        const std::size_t colon = line.find(':');
        const tcp::endpoint endpoint(asio::ip::make_address_v4(line.substr(0, colon)),
                                     static_cast<std::uint16_t>(std::stoi(line.substr(colon + 1))));
        auto& box = boxes.emplace_back(std::make_unique<Box>(Box{tcp::socket(io), {}}));
        box->socket.connect(endpoint);
        box->socket.set_option(tcp::no_delay(true));
    }
    std::vector<double> milliseconds(static_cast<std::size_t>(std::stoi(argv[3])));
    asio::co_spawn(io, rounds(boxes, std::chrono::seconds(std::stoi(argv[2])), milliseconds), asio::detached);
    io.run();
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("rounds: %zu\nround_ms: %.3f\n", milliseconds.size(), milliseconds[milliseconds.size() / 2]);
    return 0;
}
