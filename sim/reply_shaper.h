#pragma once

// When and in which pieces the replies of one connection go on the wire, after
// the box's faults (delay, split, join) have had their say. Time is passed in,
// so that tests can step it by hand; the server asks for the chunks that are
// due and sends each one with its own send().

#include "sim/options.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class ReplyShaper {
public:
    using Clock = std::chrono::steady_clock;

    // Between the two halves of a split reply, so they arrive as two chunks.
    static constexpr std::chrono::milliseconds split_gap{50};
    // How long a joined reply waits for a partner before it goes out alone.
    static constexpr std::chrono::milliseconds join_wait{200};

    explicit ReplyShaper(const Faults& faults)
        : m_delay(faults.delay), m_split(faults.split), m_join(faults.join) {}

    // A reply the box produced at `now`.
    void add(std::string reply, Clock::time_point now);

    // The chunks due at `now`, in order; they leave the shaper.
    std::vector<std::string> take_due(Clock::time_point now);

    // When the next chunk falls due, if any is waiting.
    std::optional<Clock::time_point> next_due() const;

    bool empty() const { return m_queue.empty() && !m_held; }
    std::size_t pending_bytes() const;

private:
    struct Chunk {
        Clock::time_point due;
        std::string bytes;
    };

    void schedule(std::string bytes, Clock::time_point due);

    std::chrono::milliseconds m_delay;
    std::size_t m_split;
    bool m_join;
    std::deque<Chunk> m_queue;   // due times never decrease, so replies keep their order
    std::optional<Chunk> m_held; // a joined reply waiting for its partner
    Clock::time_point m_last_due{};
};

} // namespace sim
