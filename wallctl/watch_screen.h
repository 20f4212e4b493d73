#pragma once

// The terminal that wallctl watch draws on, through ncurses: the whole screen
// while it runs, given back as it was on every way out (the destructor). A
// screen is drawn whole each time and ncurses sends only what changed, so
// nothing flickers, over ssh as well. Nothing but text and the terminal's
// own attributes: it works on any terminal ncurses knows, 80x24 and up.

#include "wallctl/output.h"

#include <string>
#include <vector>

namespace wallctl {

// One screenful: a title line, then a table with a row per box (or, instead,
// lines about the selected box), and the keys on the bottom line.
struct Screen {
    std::string title;
    Cells table;                      // the column names, then a row per box
    std::vector<bool> alarms;         // per box: its row in bold
    std::size_t selected = 0;         // the box whose row is shown inverted
    std::vector<std::string> details; // shown instead of the table when there are any
    std::string keys;
};

class Terminal {
public:
    // Takes the terminal over; throws when it cannot (no terminal, an unknown TERM).
    Terminal();
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    void show(const Screen& screen);

    // The keys typed since the last call, as ncurses names them (KEY_UP, 'q').
    std::vector<int> keys();

    // Takes the terminal's new size, after SIGWINCH.
    void resized();

private:
    std::size_t m_top = 0; // the first box row shown: the table scrolls to keep the selection in view
    int m_input_flags = 0; // standard input's file status flags, to give back
};

} // namespace wallctl
