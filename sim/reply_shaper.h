#pragma once

// What one connection of a box says, and when and in which pieces it goes on
// the wire: the box's greeting, its echo of each command line and its replies,
// framed as its firmware frames them (line end, banner, prompt, echo) and
// shaped by its faults (delay, split, join, byte by byte). Time is passed in,
// so that tests can step it by hand; the server asks for the chunks that are
// due and sends each one with its own send().

#include "sim/options.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class ReplyShaper {
public:
    using Clock = std::chrono::steady_clock;

    // Between the two halves of a split reply, so they arrive as two chunks.
    static constexpr std::chrono::milliseconds split_gap{50};
    // How long a joined reply waits for a partner before it goes out alone.
    static constexpr std::chrono::milliseconds join_wait{200};

    explicit ReplyShaper(const Faults& faults) : m_faults(faults) {}

    // A new connection: the banner and the prompt, where the box has them.
    // Returns the bytes it added.
    std::size_t greet(Clock::time_point now);

    // What the box says to a command line (without its line end) that it
    // answered with these replies (without theirs), at `now`: the echo, then
    // each reply with its line end and the prompt. Returns the bytes it added.
    std::size_t answer(std::string_view line, const std::vector<std::string>& replies, Clock::time_point now);

    // Bytes the box says at `now`, as one piece before the faults have their say.
    void add(std::string bytes, Clock::time_point now);

    // The chunks due at `now`, in order; they leave the shaper.
    std::vector<std::string> take_due(Clock::time_point now);

    // When the next chunk falls due, if any is waiting.
    std::optional<Clock::time_point> next_due() const;

    bool empty() const { return m_queue.empty() && !m_held; }

private:
    struct Chunk {
        Clock::time_point due;
        std::string bytes;
    };

    void schedule(std::string bytes, Clock::time_point due);

    Faults m_faults;
    std::deque<Chunk> m_queue;   // due times never decrease, so replies keep their order
    std::optional<Chunk> m_held; // a joined reply waiting for its partner
    Clock::time_point m_last_due{};
};

} // namespace sim
