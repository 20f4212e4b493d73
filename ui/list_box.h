#pragma once

// A list of the console window (plain or editable) as assistive technology
// sees it, by the convention screen readers follow on Linux: the list is named
// by what it shows, and its caption reaches the reader through the
// labelled-by relation to the labels that caption it on screen. What it shows
// is also its text and the selected entry of its popup list; a screen reader
// that selects another entry of the closed list chooses it, as the operator
// does from the popup. The console's changes are announced once each.

#include <QComboBox>
#include <QList>
#include <QPointer>

namespace wc {

class ListBox final : public QComboBox {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent);

    const QList<QPointer<QWidget>>& captions() const { return m_captions; }
    void set_captions(const QList<QWidget*>& captions);

    // Shows the console's choice and, in an editable list, its text; the
    // operator's signals stay quiet, and a reader hears of a change once.
    void show_choice(int position, const QString& text);

    // The operator chose the entry at `position`: shown and announced as
    // `activated`, exactly as a choice from the popup is.
    void choose(int position);

    // The popup's list, built on first use, whose selected entry is the one shown.
    QAbstractItemView* popup_list();

    void hidePopup() override;

private:
    void select_shown_entry();
    void popup_selection_changed();

    QList<QPointer<QWidget>> m_captions;
    bool m_popup_followed = false;
};

} // namespace wc
