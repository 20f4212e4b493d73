#include "wallctl/watch_screen.h"

#include "wallctl/text_file.h"

#include <algorithm>
#include <curses.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>

namespace wallctl {

namespace {

// Long enough for a key's escape sequence to arrive whole over ssh, short enough not to be noticed.
constexpr int escape_delay_ms = 50;

std::size_t screen_width() {
    return static_cast<std::size_t>(std::max(COLS, 0));
}

// A line cut at the screen's edge, so that it never runs on into the next.
void line_at(int y, std::string_view text, int attributes = A_NORMAL) {
    if (y >= 0 && y < LINES) {
        attrset(attributes);
        mvaddnstr(y, 0, text.data(), static_cast<int>(std::min(text.size(), screen_width())));
        attrset(A_NORMAL);
    }
}

// The table's lines, two blanks between columns, or one where two do not fit.
std::vector<std::string> table_lines(const Cells& table) {
    std::string text = columns(table);
    const auto lines = text_lines(text);
    const bool too_wide = std::any_of(lines.begin(), lines.end(),
                                      [](std::string_view line) { return line.size() > screen_width(); });
    if (too_wide) {
        text = columns(table, {}, 1);
    }
    std::vector<std::string> all;
    for (const std::string_view line : text_lines(text)) {
        all.emplace_back(line);
    }
    return all;
}

} // namespace

Terminal::Terminal() : m_input_flags(fcntl(STDIN_FILENO, F_GETFL)) {
    if (isatty(STDIN_FILENO) != 1 || isatty(STDOUT_FILENO) != 1) {
        throw std::runtime_error("watch needs a terminal");
    }
    if (newterm(nullptr, stdout, stdin) == nullptr) {
        throw std::runtime_error("cannot draw on this terminal (TERM=" +
                                 std::string(getenv("TERM") != nullptr ? getenv("TERM") : "") + ")");
    }
    cbreak();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    set_escdelay(escape_delay_ms);
    curs_set(0);
}

Terminal::~Terminal() {
    endwin();
    delscreen(set_term(nullptr));
    fcntl(STDIN_FILENO, F_SETFL, m_input_flags);
}

void Terminal::show(const Screen& screen) {
    erase();
    line_at(0, screen.title, A_BOLD);
    if (!screen.details.empty()) {
        for (std::size_t k = 0; k < screen.details.size(); ++k) {
            line_at(static_cast<int>(k) + 2, screen.details[k]);
        }
    } else {
        const std::vector<std::string> lines = table_lines(screen.table);
        const std::size_t boxes = lines.size() - 1;
        const std::size_t room = static_cast<std::size_t>(std::max(LINES - 3, 1));
        m_top = std::min(m_top, screen.selected);
        m_top = std::max(m_top + room, screen.selected + 1) - room;
        m_top = std::min(m_top, boxes - std::min(boxes, room));
        line_at(1, lines[0], A_UNDERLINE);
        for (std::size_t k = m_top; k < std::min(boxes, m_top + room); ++k) {
            line_at(static_cast<int>(k - m_top) + 2, lines[k + 1],
                    (k == screen.selected ? A_REVERSE : A_NORMAL) | (screen.alarms[k] ? A_BOLD : A_NORMAL));
        }
    }
    line_at(LINES - 1, screen.keys);
    refresh();
}

std::vector<int> Terminal::keys() {
    std::vector<int> typed;
    for (int key; (key = getch()) != ERR;) {
        typed.push_back(key);
    }
    return typed;
}

void Terminal::resized() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
        resize_term(size.ws_row, size.ws_col);
    }
}

} // namespace wallctl
