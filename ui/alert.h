#pragma once

// Message boxes as a screen reader meets them: an alert that tells its text
// itself, and that gives the focus back to the control the operator pressed
// when it closes. On a desktop the window manager may give the focus back,
// or may not; without one nothing does.

class QMessageBox;

namespace wc {

// The box is announced as an alert with its text, which it carries as its
// description as well as in its label.
void announce_as_alert(QMessageBox& box);

// When the box closes, the widget that had the focus as it opened, and its
// window, take the focus back.
void return_focus_on_close(QMessageBox& box);

} // namespace wc
