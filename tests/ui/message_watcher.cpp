#include "message_watcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace wc::uitest {

MessageWatcher::MessageWatcher() {
    qApp->installEventFilter(this);
}

MessageWatcher::~MessageWatcher() {
    qApp->removeEventFilter(this);
}

QStringList MessageWatcher::texts() const {
    QStringList texts;
    for (const SeenMessage& message : m_seen) {
        texts << message.text;
    }
    return texts;
}

bool MessageWatcher::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box == nullptr || event->type() != QEvent::Show) {
        return false;
    }
    m_seen.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
    if (m_hold_next) {
        m_hold_next = false;
        return false;
    }
    QMessageBox::StandardButton choice = QMessageBox::Ok;
    if (box->standardButtons().testFlag(QMessageBox::Yes)) {
        choice = QMessageBox::Yes;
        if (!m_answers.empty()) {
            choice = m_answers.front();
            m_answers.pop_front();
        }
    }
    // Pressed from the box's own event loop, once it runs.
    QTimer::singleShot(0, box, [box = QPointer<QMessageBox>(box), choice] {
        if (box && box->button(choice) != nullptr) {
            box->button(choice)->click();
        }
    });
    return false;
}

} // namespace wc::uitest
