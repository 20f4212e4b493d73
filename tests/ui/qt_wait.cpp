#include "qt_wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <ctime>

namespace wc::uitest {

std::chrono::milliseconds test_timeout() {
    return std::chrono::seconds(WALL_TEST_TIMEOUT_S);
}

bool run_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    // Wakes the loop at the deadline, as nothing else may.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(limit);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

Trigger::Trigger(std::function<bool()> when, std::function<void()> action)
    : m_when(std::move(when)), m_action(std::move(action)) {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (!m_fired && m_when()) {
            m_fired = true;
            m_timer.stop();
            m_action();
        }
    });
    m_timer.start();
}

double process_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace wc::uitest
