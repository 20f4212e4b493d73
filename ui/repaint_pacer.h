#pragma once

// At most one repaint of a window per displayed frame. Each reply a handler
// reads changes a few controls, and each change asks for a repaint of the
// window at once: a fast box answers a whole refresh within one frame, and
// repainting after every reply cost far more than reading the replies. A
// repaint asked for is held back until the end of the frame, and everything
// asked for meanwhile is painted with it: a fast box's refresh is painted once
// or twice, a slow box still shows every step it takes longer than a frame
// for. Only the window's repaints wait: socket data, timers and input are
// handled as they come, and nothing runs while no repaint is due.

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace wc {

class RepaintPacer final : public QObject {
public:
    RepaintPacer();

    void pace(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void repaint_held_back();
    int frame_ms() const;

    QPointer<QWidget> m_window;
    QTimer m_frame_end;
    bool m_repainting = false;
};

} // namespace wc
