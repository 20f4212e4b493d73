#pragma once

// A frame of the console window. A disabled frame must not disable its
// controls through Qt, because one of them (Disconnect) stays usable while its
// frame is locked; so the frame stays enabled as a widget, draws itself as
// disabled, and the window sets every control's own enabled state.

#include <QGroupBox>

namespace wc {

class FrameBox final : public QGroupBox {
    Q_OBJECT

public:
    explicit FrameBox(const QString& title, QWidget* parent);

    void set_shown_enabled(bool enabled);
    bool shown_enabled() const { return m_shown_enabled; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_shown_enabled = true;
};

} // namespace wc
