#include "operator_input.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace wc::uitest {

void press_key(QWidget& target, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &release);
}

void type_over(QComboBox& list, const QString& text) {
    list.lineEdit()->selectAll();
    for (QChar ch : text) {
        const auto key =
            ch.isLetter() ? static_cast<Qt::Key>(ch.toUpper().unicode()) : static_cast<Qt::Key>(ch.unicode());
        press_key(list, key, QString(ch));
    }
}

void choose(QComboBox& list, int position) {
    list.setCurrentIndex(position);
    emit list.activated(position);
}

} // namespace wc::uitest
