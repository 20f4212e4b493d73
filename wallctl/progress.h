#pragma once

// A progress bar on stderr while many boxes are served: "[#####.....] 12/25".
// Drawn only when stderr is a terminal, so logs and scripts never see it;
// what the run says meanwhile goes above it.

#include <cstddef>
#include <string_view>

namespace wallctl {

class Progress {
public:
    Progress(std::size_t total, bool shown);
    ~Progress(); // clears the bar
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void advance();
    // A line on stderr, the bar cleared first and drawn again after it.
    void say(std::string_view line) const;

private:
    void draw() const;
    void clear() const;

    std::size_t m_total;
    std::size_t m_done = 0;
    bool m_shown;
};

// Whether a bar is worth showing: several boxes, stderr a terminal, no trace on it.
bool progress_wanted(std::size_t boxes, bool verbose);

} // namespace wallctl
