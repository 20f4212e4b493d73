#pragma once

// Command lines from a connection, in whatever chunks TCP delivers them, as a
// box reads them: a line ends at "\n", and a "\r" right before it is dropped.
// A sender may split one line over two chunks or join two lines in one. A line
// that grows past the limit without its end is thrown away up to that end, so
// a peer that sends garbage without line ends never makes the reader hold more
// than the limit.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wc {

class LineAssembler {
public:
    static constexpr std::size_t default_limit = 4096;

    LineAssembler() = default;
    explicit LineAssembler(std::size_t limit) : m_limit(limit) {}

    // The lines that this chunk completes, in order, without their ends. A line
    // longer than the limit (its end not counted) is dropped whole.
    std::vector<std::string> feed(std::string_view chunk);

    // Bytes of an unfinished line held so far.
    std::size_t pending() const { return m_partial.size(); }

private:
    std::size_t m_limit = default_limit;
    std::string m_partial;
    bool m_discarding = false; // inside a line that was already too long
};

} // namespace wc
