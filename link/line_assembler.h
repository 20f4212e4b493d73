#pragma once

// Bytes from a connection, in whatever chunks TCP delivers them, into lines:
// the box's replies on the console's and wallctl's side, the console's
// command lines on the simulated box's. A sender may split one line over two
// chunks or join two lines in one. A line that grows past the limit without
// its end is thrown away up to that end, so a peer that sends garbage without
// line ends never makes the reader hold more than the limit.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wc {

enum class LineEnd {
    crlf, // a line ends at "\r\n", as every reply of the box does; a lone "\n" is part of it
    lf,   // a line ends at "\n" and a "\r" right before it is dropped, as a box reads commands
};

class LineAssembler {
public:
    static constexpr std::size_t default_limit = 4096;

    LineAssembler() = default;
    explicit LineAssembler(LineEnd end, std::size_t limit = default_limit) : m_end(end), m_limit(limit) {}

    // The lines that this chunk completes, in order, without their ends. A line
    // longer than the limit (its end not counted) is dropped whole.
    std::vector<std::string> feed(std::string_view chunk);

    // Bytes of an unfinished line held so far.
    std::size_t pending() const { return m_partial.size(); }

private:
    LineEnd m_end = LineEnd::crlf;
    std::size_t m_limit = default_limit;
    std::string m_partial;
    bool m_discarding = false; // inside a line that was already too long
};

} // namespace wc
