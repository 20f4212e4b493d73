#include "ui/frame_box.h"

#include <QEvent>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace wc {

FrameBox::FrameBox(const QString& title, const QFont& caption_font, QWidget* parent)
    : QGroupBox(parent), m_title(title), m_caption_font(caption_font) {
    fit_contents();
}

void FrameBox::set_title(const QString& title) {
    m_title = title;
    fit_contents();
    update();
}

void FrameBox::set_shown_enabled(bool enabled) {
    if (m_shown_enabled != enabled) {
        m_shown_enabled = enabled;
        update();
    }
}

// Qt measures the room inside again with the frame's own font whenever the font or the style change.
void FrameBox::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        fit_contents();
    }
}

void FrameBox::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    painter.setFont(m_caption_font);
    QStyleOptionGroupBox option = caption_option();
    if (!m_shown_enabled) {
        option.state &= ~QStyle::State_Enabled;
        option.palette.setCurrentColorGroup(QPalette::Disabled);
    }
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

QStyleOptionGroupBox FrameBox::caption_option() const {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.text = m_title;
    if (!m_title.isEmpty()) {
        option.subControls |= QStyle::SC_GroupBoxLabel;
    }
    option.fontMetrics = QFontMetrics(m_caption_font);
    return option;
}

void FrameBox::fit_contents() {
    const QStyleOptionGroupBox option = caption_option();
    const QRect inside =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this);
    setContentsMargins(inside.left() - option.rect.left(), inside.top() - option.rect.top(),
                       option.rect.right() - inside.right(), option.rect.bottom() - inside.bottom());
}

} // namespace wc
