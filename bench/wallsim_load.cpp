// wallsim_load: a crowd of clients on one wallsim box, and the round trips of
// the one client that behaves. Idle clients connect and say nothing; flooding
// clients send RVER lines as fast as the box takes them and never read; the
// well-behaved client sends RVER and waits for VERS115, again and again. Prints
// how many round trips finished and their latency percentiles, as "name: value"
// lines. Gives up on the round trips after a minute, reporting those finished.
//
//   wallsim_load PORT IDLE FLOODING ROUND_TRIPS

#include <algorithm>
#include <asio.hpp>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr std::chrono::seconds time_limit{60};

std::optional<unsigned> number(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? std::optional(value) : std::nullopt;
}

asio::awaitable<void> flood(tcp::socket socket) {
    std::string lines;
    while (lines.size() < 64 * 1024) {
        lines += "RVER\r\n";
    }
    asio::error_code error;
    while (!error) {
        co_await asio::async_write(socket, asio::buffer(lines),
                                   asio::redirect_error(asio::use_awaitable, error));
    }
}

asio::awaitable<void> round_trips(tcp::socket& socket, unsigned count, std::vector<double>& latencies) {
    std::string received;
    for (unsigned i = 0; i < count; ++i) {
        const Clock::time_point sent = Clock::now();
        co_await asio::async_write(socket, asio::buffer(std::string_view("RVER\r\n")), asio::use_awaitable);
        const std::size_t length = co_await asio::async_read_until(socket, asio::dynamic_buffer(received),
                                                                   "\r\n", asio::use_awaitable);
        if (received.compare(0, length, "VERS115\r\n") != 0) {
            std::fprintf(stderr, "wallsim_load: unexpected reply %s\n", received.substr(0, length).c_str());
            co_return;
        }
        received.erase(0, length);
        latencies.push_back(Milliseconds(Clock::now() - sent).count());
    }
}

double percentile(const std::vector<double>& sorted, double fraction) {
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[at];
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    std::vector<unsigned> numbers;
    for (std::string_view arg : args) {
        if (const auto value = number(arg)) {
            numbers.push_back(*value);
        }
    }
    if (args.size() != 4 || numbers.size() != 4 || numbers[0] == 0 || numbers[0] > 65535) {
        std::fprintf(stderr, "usage: wallsim_load PORT IDLE FLOODING ROUND_TRIPS\n");
        return 2;
    }
    const tcp::endpoint box(asio::ip::address_v4::loopback(), static_cast<std::uint16_t>(numbers[0]));

    // The crowd runs on a thread of its own, so the round trips measure wallsim, not this program.
    asio::io_context crowd_io;
    asio::io_context measure_io;
    std::vector<tcp::socket> idle;
    std::vector<double> latencies;
    try {
        for (unsigned i = 0; i < numbers[1]; ++i) {
            idle.emplace_back(crowd_io).connect(box);
        }
        tcp::socket client(measure_io);
        client.connect(box);
        client.set_option(tcp::no_delay(true));
        for (unsigned i = 0; i < numbers[2]; ++i) {
            tcp::socket flooding(crowd_io);
            flooding.connect(box);
            asio::co_spawn(crowd_io, flood(std::move(flooding)), asio::detached);
        }
        std::thread crowd([&] { crowd_io.run(); });
        asio::co_spawn(measure_io, round_trips(client, numbers[3], latencies), asio::detached);
        measure_io.run_for(time_limit);
        crowd_io.stop();
        crowd.join();
    } catch (const asio::system_error& error) {
        std::fprintf(stderr, "wallsim_load: %s\n", error.what());
        return 1;
    }

    std::printf("round_trips: %zu of %u\n", latencies.size(), numbers[3]);
    if (latencies.empty()) {
        return 0;
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("p50_ms: %.3f\np99_ms: %.3f\nmax_ms: %.3f\n", percentile(latencies, 0.5),
                percentile(latencies, 0.99), latencies.back());
    return 0;
}
