#pragma once

// Replies from a box, in whatever chunks TCP delivers them, into lines: a box
// may split one reply over two chunks or join two replies in one, and every
// reply ends in "\r\n". A line that grows past the limit without its end is
// thrown away up to that end, so a box that sends garbage without line ends
// never makes the reader hold more than the limit.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wc {

class ReplyLines {
public:
    static constexpr std::size_t default_limit = 4096;

    ReplyLines() = default;
    explicit ReplyLines(std::size_t limit) : m_limit(limit) {}

    // The lines that this chunk completes, in order, without their "\r\n".
    std::vector<std::string> feed(std::string_view chunk);

    // Bytes of an unfinished line held so far.
    std::size_t pending() const { return m_partial.size(); }

private:
    std::size_t m_limit = default_limit;
    std::string m_partial;
    bool m_discarding = false; // inside a line that was already too long
};

} // namespace wc
