#pragma once

// Waiting in Qt tests without sleeping: the event loop runs until a condition
// holds, bounded by the one generous test time-out.

#include <QTimer>
#include <chrono>
#include <functional>

namespace wc::uitest {

std::chrono::milliseconds test_timeout();

// Runs the event loop until `done` holds; false if the time-out came first.
bool run_until(const std::function<bool()>& done, std::chrono::milliseconds limit = test_timeout());

// Runs `action` once, as soon as `when` holds; it is checked every few
// milliseconds from the event loop, including the loops of a waiting handler.
class Trigger {
public:
    Trigger(std::function<bool()> when, std::function<void()> action);
    bool fired() const { return m_fired; }

private:
    QTimer m_timer;
    std::function<bool()> m_when;
    std::function<void()> m_action;
    bool m_fired = false;
};

// CPU time of this process, in seconds.
double process_cpu_seconds();

} // namespace wc::uitest
