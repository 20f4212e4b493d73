#pragma once

// A frame of the console window. A disabled frame must not disable its
// controls through Qt, because one of them (Disconnect) stays usable while its
// frame is locked; so the frame stays enabled as a widget, draws itself as
// disabled, and the window sets every control's own enabled state.
//
// The caption has a larger face than the controls inside. The frame keeps the
// controls' face as its own font, which they inherit, and draws and measures
// its caption in the caption's: a font set on each control instead builds
// every list's popup at start-up.
//
// The caption is kept here rather than as the group box's title: Qt makes a
// titled group box the label of every control inside it, and a screen reader
// would then call each list and button by its page before its own caption.

#include <QGroupBox>

class QStyleOptionGroupBox;

namespace wc {

class FrameBox final : public QGroupBox {
    Q_OBJECT

public:
    FrameBox(const QString& title, const QFont& caption_font, QWidget* parent);

    const QString& title() const { return m_title; }
    void set_title(const QString& title);
    void set_shown_enabled(bool enabled);
    bool shown_enabled() const { return m_shown_enabled; }

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QStyleOptionGroupBox caption_option() const;
    // The room inside, below the caption as it is drawn.
    void fit_contents();

    QString m_title;
    QFont m_caption_font;
    bool m_shown_enabled = true;
};

} // namespace wc
