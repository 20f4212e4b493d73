#pragma once

// Bytes from a connection, in whatever pieces TCP delivers them, into complete
// command lines. A line ends at "\n"; a "\r" right before it is dropped. A line
// that grows past the limit is thrown away up to and including its end, so a
// client that never sends a line end cannot make the box hold more than the
// limit.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class LineAssembler {
public:
    static constexpr std::size_t default_limit = 4096;

    explicit LineAssembler(std::size_t limit = default_limit) : m_limit(limit) {}

    // The lines that these bytes complete, without their terminators.
    std::vector<std::string> feed(std::string_view bytes);

    // Bytes of an unfinished line held so far (never more than the limit).
    std::size_t pending() const { return m_partial.size(); }

private:
    std::size_t m_limit;
    std::string m_partial;
    bool m_discarding = false; // inside a line that was already too long
};

} // namespace sim
