#include "byte_program.h"

#include <algorithm>
#include <utility>

namespace fuzz {

std::uint8_t ByteProgram::byte() {
    if (m_rest.empty()) {
        return 0;
    }
    const auto value = static_cast<std::uint8_t>(m_rest.front());
    m_rest.remove_prefix(1);
    return value;
}

int ByteProgram::below(int n) {
    return byte() % n;
}

std::string ByteProgram::text(std::size_t longest) {
    const std::size_t length = std::min<std::size_t>(byte() % (longest + 1), m_rest.size());
    std::string text(m_rest.substr(0, length));
    m_rest.remove_prefix(length);
    return text;
}

std::string_view ByteProgram::rest() {
    return std::exchange(m_rest, {});
}

} // namespace fuzz
