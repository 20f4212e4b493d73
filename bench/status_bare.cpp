// status_bare: the yardstick for `wallctl status`. The same exchanges with the
// same boxes at once, and nothing else: every box gets the read lines of a
// status in the same order, each answered before the next is sent, up to 256
// boxes at a time. No settings catalogue, no command line library, no JSON, no
// time-outs; a reply is only awaited up to its "\r\n". Prints the wall-clock
// time as "name: value" lines.
//
//   status_bare BOXES_FILE      (one 127.0.0.1:PORT a line)

#include <algorithm>
#include <array>
#include <asio.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

constexpr std::size_t most_at_once = 256;

// What `wallctl status` reads, in its order; RLINK once for the three addresses.
constexpr std::array<std::string_view, 31> reads{
    "RPOW",   "RMDN",   "RVER",   "RBEZ",   "RBH ",   "RBV ",   "RIPM",   "RLINK",
    "RRES",   "ROSDD",  "ROSDT",  "ROSDH",  "ROSDV",  "ROSDG",  "RMUTE",  "RBRI 1",
    "RBRI 2", "RBRI 3", "RBRI 4", "RCON 1", "RCON 2", "RCON 3", "RCON 4", "RSAT 1",
    "RSAT 2", "RSAT 3", "RSAT 4", "RHUE 1", "RHUE 2", "RHUE 3", "RHUE 4"};

asio::awaitable<void> read_box(tcp::endpoint box, std::size_t& answered) {
    tcp::socket socket(co_await asio::this_coro::executor);
    co_await socket.async_connect(box, asio::use_awaitable);
    socket.set_option(tcp::no_delay(true));
    std::string received;
    for (const std::string_view line : reads) {
        const std::string sent = std::string(line) + "\r\n";
        co_await asio::async_write(socket, asio::buffer(sent), asio::use_awaitable);
        const std::size_t length = co_await asio::async_read_until(socket, asio::dynamic_buffer(received),
                                                                   "\r\n", asio::use_awaitable);
        received.erase(0, length);
        ++answered;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: status_bare BOXES_FILE\n");
        return 2;
    }
    std::vector<tcp::endpoint> boxes;
    std::ifstream file(argv[1]);
    for (std::string line; std::getline(file, line);) {
        const std::size_t colon = line.find(':');
        boxes.emplace_back(asio::ip::make_address_v4(line.substr(0, colon)),
                           static_cast<std::uint16_t>(std::stoi(line.substr(colon + 1))));
    }
    const Clock::time_point start = Clock::now();
    asio::io_context io;
    std::size_t next = 0;
    std::size_t answered = 0;
    const auto worker = [&]() -> asio::awaitable<void> {
        while (next < boxes.size()) {
            co_await read_box(boxes[next++], answered);
        }
    };
    for (std::size_t k = 0; k < std::min(most_at_once, boxes.size()); ++k) {
        asio::co_spawn(io, worker(), asio::detached);
    }
    io.run();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("replies: %zu of %zu\nseconds: %.3f\n", answered, boxes.size() * reads.size(), seconds);
    return answered == boxes.size() * reads.size() ? 0 : 1;
}
