#pragma once

// Drives the real console window as an operator does: clicks, choices,
// typing and Enter on its widgets, found by their control names, and answers
// every message box (recording its text). Actions are posted to the event
// loop, so an action that starts a long sequence returns at once and the
// sequence runs while the operator waits or acts again. The demo's walk
// through and the window's tests both use it.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>

class QWidget;

namespace wc::demo {

inline constexpr std::chrono::seconds patience{60};

class Operator final : public QObject {
public:
    explicit Operator(QWidget& window);

    QWidget* widget(const QString& name) const; // nullptr when there is none

    void click(const QString& name);
    void choose(const QString& name, int position);
    void type(const QString& name, const QString& text); // into an editable list or a text box
    void press_enter(const QString& name);

    // Answers for the next Yes/No questions; unscripted ones are answered Yes.
    void answer_no() { m_answers.push_back(false); }
    QStringList messages() const { return m_messages; }
    // Sees every message box once it is on screen, before it is answered.
    std::function<void(QWidget& box)> on_message;
    void forget_messages() { m_messages.clear(); }

    // Handles events until the condition holds; false after `patience`.
    bool wait_until(const std::function<bool()>& condition);
    bool wait_for_message(const QString& text);
    // Runs the action, inside whatever the window is doing, once the condition holds.
    void when(std::function<bool()> condition, std::function<void()> action);

private:
    void post(std::function<void()> action);
    void watch();

    QWidget& m_window;
    QTimer m_watch;
    QStringList m_messages;
    std::deque<bool> m_answers;
    std::vector<std::pair<std::function<bool()>, std::function<void()>>> m_pending;
};

} // namespace wc::demo
