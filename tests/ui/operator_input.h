#pragma once

// The operator's hands in the Qt tests: key presses and clicks delivered to
// the widgets as the window system delivers them.

#include <QString>
#include <Qt>

class QComboBox;
class QWidget;

namespace wc::uitest {

void press_key(QWidget& target, Qt::Key key, const QString& text = {});
// Replaces the edit text of an editable list, one key per character.
void type_over(QComboBox& list, const QString& text);
// Chooses an entry of a list as a click in its popup does.
void choose(QComboBox& list, int position);

} // namespace wc::uitest
