#include "wallctl/progress.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace wallctl {

namespace {
constexpr std::size_t bar_width = 30;
}

Progress::Progress(std::size_t total, bool shown) : m_total(total), m_shown(shown) {
    draw();
}

Progress::~Progress() {
    clear();
}

void Progress::say(std::string_view line) const {
    clear();
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    draw();
}

void Progress::clear() const {
    if (m_shown) {
        std::fputs("\r\033[K", stderr);
    }
}

void Progress::advance() {
    ++m_done;
    draw();
}

void Progress::draw() const {
    if (!m_shown || m_total == 0) {
        return;
    }
    const std::size_t filled = bar_width * m_done / m_total;
    const std::string bar = "\r[" + std::string(filled, '#') + std::string(bar_width - filled, '.') + "] " +
                            std::to_string(m_done) + "/" + std::to_string(m_total);
    std::fputs(bar.c_str(), stderr);
}

bool progress_wanted(std::size_t boxes, bool verbose) {
    return boxes > 1 && !verbose && isatty(STDERR_FILENO) == 1;
}

} // namespace wallctl
