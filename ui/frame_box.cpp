#include "ui/frame_box.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace wc {

FrameBox::FrameBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void FrameBox::set_shown_enabled(bool enabled) {
    if (m_shown_enabled != enabled) {
        m_shown_enabled = enabled;
        update();
    }
}

void FrameBox::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    if (!m_shown_enabled) {
        option.state &= ~QStyle::State_Enabled;
        option.palette.setCurrentColorGroup(QPalette::Disabled);
    }
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

} // namespace wc
