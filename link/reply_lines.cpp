#include "link/reply_lines.h"

#include "link/protocol.h"

namespace wc {

std::vector<std::string> ReplyLines::feed(std::string_view chunk) {
    std::vector<std::string> lines;
    m_partial.append(chunk);
    std::size_t start = 0;
    for (std::size_t end; (end = m_partial.find(line_end, start)) != std::string::npos;
         start = end + line_end.size()) {
        if (!m_discarding && end - start <= m_limit) {
            lines.push_back(m_partial.substr(start, end - start));
        }
        m_discarding = false;
    }
    m_partial.erase(0, start);
    // A last "\r" may be the first half of a line end: it is kept, and not counted.
    const std::size_t keep = !m_partial.empty() && m_partial.back() == '\r' ? 1 : 0;
    if (m_partial.size() - keep > m_limit) {
        m_partial.erase(0, m_partial.size() - keep);
        m_discarding = true;
    }
    return lines;
}

} // namespace wc
