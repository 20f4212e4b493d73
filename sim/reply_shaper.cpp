#include "sim/reply_shaper.h"

#include "link/protocol.h"

#include <algorithm>

namespace sim {

namespace {

std::string_view end_of(LineEnd end) {
    switch (end) {
    case LineEnd::crlf:
        return wc::line_end;
    case LineEnd::lf:
        return "\n";
    case LineEnd::cr:
        return "\r";
    case LineEnd::none:
        break;
    }
    return "";
}

} // namespace

std::size_t ReplyShaper::greet(Clock::time_point now) {
    std::string greeting = m_faults.banner;
    if (!greeting.empty()) {
        greeting += end_of(m_faults.line_end);
    }
    greeting += m_faults.prompt;
    const std::size_t bytes = greeting.size();
    if (bytes > 0) {
        add(std::move(greeting), now);
    }
    return bytes;
}

std::size_t ReplyShaper::answer(std::string_view line, const std::vector<std::string>& replies,
                                Clock::time_point now) {
    std::size_t bytes = 0;
    // An echo gives back the line as it came, with the console's line end.
    if (m_faults.echo) {
        std::string echo(line);
        echo += wc::line_end;
        bytes += echo.size();
        add(std::move(echo), now);
    }
    for (const std::string& reply : replies) {
        std::string framed = reply;
        framed += end_of(m_faults.line_end);
        framed += m_faults.prompt;
        bytes += framed.size();
        add(std::move(framed), now);
    }
    return bytes;
}

void ReplyShaper::add(std::string bytes, Clock::time_point now) {
    const Clock::time_point ready = now + m_faults.delay;
    if (!m_faults.join) {
        schedule(std::move(bytes), ready);
    } else if (m_held) {
        schedule(std::move(m_held->bytes) + bytes, ready);
        m_held.reset();
    } else {
        m_held = Chunk{ready, std::move(bytes)};
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

void ReplyShaper::schedule(std::string bytes, Clock::time_point due) {
    due = std::max(due, m_last_due);
    m_last_due = due;
    if (m_faults.bytewise) {
        for (const char byte : bytes) {
            m_queue.push_back({due, std::string(1, byte)});
        }
        return;
    }
    if (m_faults.split > 0 && m_faults.split < bytes.size()) {
        m_queue.push_back({due, bytes.substr(0, m_faults.split)});
        bytes.erase(0, m_faults.split);
        due += split_gap;
        m_last_due = due;
    }
    m_queue.push_back({due, std::move(bytes)});
}

} // namespace sim
