#pragma once

// Answers the console's message boxes as an operator would, and keeps what
// each one said: its title, text, icon and buttons.

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <deque>
#include <vector>

namespace wc::uitest {

struct SeenMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
};

class MessageWatcher final : public QObject {
public:
    MessageWatcher();
    ~MessageWatcher() override;

    // The answer to the next Yes/No question; unscripted questions get Yes.
    void answer(QMessageBox::StandardButton button) { m_answers.push_back(button); }
    // Leaves the next message box open, as an operator who walked away.
    void hold_next() { m_hold_next = true; }

    const std::vector<SeenMessage>& seen() const { return m_seen; }
    QStringList texts() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<SeenMessage> m_seen;
    std::deque<QMessageBox::StandardButton> m_answers;
    bool m_hold_next = false;
};

} // namespace wc::uitest
