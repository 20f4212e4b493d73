#include "operator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

namespace wc::demo {

Operator::Operator(QWidget& window) : m_window(window) {
    m_watch.setInterval(20);
    connect(&m_watch, &QTimer::timeout, this, &Operator::watch);
    m_watch.start();
}

QWidget* Operator::widget(const QString& name) const {
    return m_window.findChild<QWidget*>(name);
}

void Operator::post(std::function<void()> action) {
    QTimer::singleShot(0, this, std::move(action));
}

void Operator::click(const QString& name) {
    post([this, name] {
        if (QWidget* w = widget(name)) {
            QTest::mouseClick(w, Qt::LeftButton);
        }
    });
}

void Operator::choose(const QString& name, int position) {
    post([this, name, position] {
        if (auto* combo = qobject_cast<QComboBox*>(widget(name)); combo != nullptr && combo->isEnabled()) {
            // What the list does when the operator picks an entry from its popup.
            combo->setCurrentIndex(position);
            emit combo->activated(position);
        }
    });
}

void Operator::type(const QString& name, const QString& text) {
    post([this, name, text] {
        QWidget* w = widget(name);
        if (auto* combo = qobject_cast<QComboBox*>(w); combo != nullptr && combo->lineEdit() != nullptr) {
            w = combo->lineEdit();
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClicks(edit, text);
        }
    });
}

void Operator::press_enter(const QString& name) {
    post([this, name] {
        QWidget* w = widget(name);
        if (auto* combo = qobject_cast<QComboBox*>(w); combo != nullptr && combo->lineEdit() != nullptr) {
            w = combo->lineEdit();
        }
        if (w != nullptr) {
            QTest::keyClick(w, Qt::Key_Return);
        }
    });
}

bool Operator::wait_until(const std::function<bool()>& condition) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > std::chrono::milliseconds(patience).count()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

bool Operator::wait_for_message(const QString& text) {
    return wait_until([this, text] { return m_messages.contains(text); });
}

void Operator::when(std::function<bool()> condition, std::function<void()> action) {
    m_pending.emplace_back(std::move(condition), std::move(action));
}

void Operator::watch() {
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        if (it->first()) {
            auto action = std::move(it->second);
            m_pending.erase(it);
            action();
            break;
        }
    }

    // A message box is modal: answer it as the operator would, after reading it.
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible() || box->property("answered").toBool()) {
        return;
    }
    box->setProperty("answered", true);
    m_messages.append(box->text());
    if (on_message) {
        on_message(*box);
    }
    QAbstractButton* button = box->button(QMessageBox::Ok);
    if (box->button(QMessageBox::Yes) != nullptr) {
        bool yes = m_answers.empty() || m_answers.front();
        if (!m_answers.empty()) {
            m_answers.pop_front();
        }
        button = box->button(yes ? QMessageBox::Yes : QMessageBox::No);
    }
    if (button != nullptr) {
        QTimer::singleShot(0, button, &QAbstractButton::click);
    }
}

} // namespace wc::demo
