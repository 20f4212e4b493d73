#include "sim/reply_shaper.h"

#include <algorithm>

namespace sim {

void ReplyShaper::add(std::string reply, Clock::time_point now) {
    const Clock::time_point ready = now + m_delay;
    if (!m_join) {
        schedule(std::move(reply), ready);
    } else if (m_held) {
        schedule(std::move(m_held->bytes) + reply, ready);
        m_held.reset();
    } else {
        m_held = Chunk{ready, std::move(reply)};
    }
}

std::vector<std::string> ReplyShaper::take_due(Clock::time_point now) {
    if (m_held && now >= m_held->due + join_wait) {
        // It leaves when the wait ends, so a split still puts its gap between the halves.
        schedule(std::move(m_held->bytes), m_held->due + join_wait);
        m_held.reset();
    }
    std::vector<std::string> due;
    while (!m_queue.empty() && m_queue.front().due <= now) {
        due.push_back(std::move(m_queue.front().bytes));
        m_queue.pop_front();
    }
    return due;
}

std::optional<ReplyShaper::Clock::time_point> ReplyShaper::next_due() const {
    std::optional<Clock::time_point> next;
    if (!m_queue.empty()) {
        next = m_queue.front().due;
    }
    if (m_held) {
        next = std::min(next.value_or(Clock::time_point::max()), m_held->due + join_wait);
    }
    return next;
}

std::size_t ReplyShaper::pending_bytes() const {
    std::size_t bytes = m_held ? m_held->bytes.size() : 0;
    for (const Chunk& chunk : m_queue) {
        bytes += chunk.bytes.size();
    }
    return bytes;
}

void ReplyShaper::schedule(std::string bytes, Clock::time_point due) {
    due = std::max(due, m_last_due);
    if (m_split > 0 && m_split < bytes.size()) {
        m_queue.push_back({due, bytes.substr(0, m_split)});
        bytes.erase(0, m_split);
        due += split_gap;
    }
    m_queue.push_back({due, std::move(bytes)});
    m_last_due = due;
}

} // namespace sim
