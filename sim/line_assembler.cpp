#include "sim/line_assembler.h"

namespace sim {

std::vector<std::string> LineAssembler::feed(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, end);
        if (!m_discarding) {
            if (m_partial.size() + piece.size() > m_limit) {
                m_partial.clear();
                m_discarding = true;
            } else {
                m_partial.append(piece);
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        if (!m_discarding) {
            if (!m_partial.empty() && m_partial.back() == '\r') {
                m_partial.pop_back();
            }
            lines.push_back(std::move(m_partial));
        }
        m_partial.clear();
        m_discarding = false;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace sim
