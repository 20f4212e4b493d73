#include "ui/repaint_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace wc {

namespace {

constexpr double usual_refresh_hz = 60;

} // namespace

RepaintPacer::RepaintPacer() {
    m_frame_end.setSingleShot(true);
    // A coarse timer may end a frame early, and two repaints would share it.
    m_frame_end.setTimerType(Qt::PreciseTimer);
    connect(&m_frame_end, &QTimer::timeout, this, &RepaintPacer::repaint_held_back);
}

void RepaintPacer::pace(QWidget& window) {
    m_window = &window;
    window.installEventFilter(this);
}

// Qt has a window repaint what changed when it handles an UpdateRequest: one
// is posted for the first change after a repaint (a widget's repaint() sends
// one at once), and none for the changes after it until it is handled. One
// held back leaves every change marked, so the request sent when the frame
// ends repaints them all. Showing the window (an expose) is painted without a
// request, so it never waits.
bool RepaintPacer::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() != QEvent::UpdateRequest || m_repainting) {
        return false;
    }
    if (!m_frame_end.isActive()) {
        m_frame_end.start(frame_ms());
    }
    return true;
}

void RepaintPacer::repaint_held_back() {
    if (m_window.isNull()) {
        return;
    }
    m_repainting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
    m_repainting = false;
}

int RepaintPacer::frame_ms() const {
    const QScreen* screen = m_window.isNull() ? nullptr : m_window->screen();
    const double hz =
        screen != nullptr && screen->refreshRate() > 0 ? screen->refreshRate() : usual_refresh_hz;
    return static_cast<int>(1000 / hz);
}

} // namespace wc
