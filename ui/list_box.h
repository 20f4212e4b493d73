#pragma once

// A list of the console window (plain or editable) as assistive technology
// sees it. Qt's own combo box interface names the list after its current text
// on Linux and leaves the label to a relation; screen readers then announce
// "77" where the operator needs "Brightness OUT B". This list is named by its
// accessible name and carries its text as its value; its entries can be
// chosen by position through the value interface, as the popup chooses them.

#include <QComboBox>

namespace wc {

class ListBox final : public QComboBox {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent);

    // The operator chose the entry at `position`: shown and announced as
    // `activated`, exactly as a choice from the popup is.
    void choose(int position);
};

} // namespace wc
