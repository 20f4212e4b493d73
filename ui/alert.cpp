#include "ui/alert.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace wc {

void announce_as_alert(QMessageBox& box) {
    box.setAccessibleDescription(box.text());
}

void return_focus_on_close(QMessageBox& box) {
    QObject::connect(&box, &QDialog::finished, &box,
                     [pressed = QPointer<QWidget>(QApplication::focusWidget())] {
                         if (pressed) {
                             pressed->activateWindow();
                             pressed->setFocus(Qt::OtherFocusReason);
                         }
                     });
}

} // namespace wc
