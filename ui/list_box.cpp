#include "ui/list_box.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QSignalBlocker>
#include <mutex>

namespace wc {

namespace {

class ListAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ListAccessible(ListBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    // No value interface: a reader would say the entry's position, and Qt
    // would announce a change as a new value rather than as the new name and
    // selection that screen readers follow on a combo box.
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    // The children Qt gives a combo box: the popup's entries, and the edit field of an editable list.
    int childCount() const override { return list()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) {
            return QAccessible::queryAccessibleInterface(list()->popup_list());
        }
        if (index == 1 && list()->isEditable()) {
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        }
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child->object() == list()->popup_list()) {
            return 0;
        }
        return list()->isEditable() && child->object() == list()->lineEdit() ? 1 : -1;
    }
    // The edit field takes the keys of an editable list; a screen reader
    // follows the focus into it.
    QAccessibleInterface* focusChild() const override { return list()->isEditable() ? child(1) : nullptr; }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = list()->popup_list()->isVisible();
        state.editable = list()->isEditable();
        return state;
    }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name || t == QAccessible::Value ? list()->currentText()
                                                                 : QAccessibleWidget::text(t);
    }

    // Labelled by the labels that caption it on screen, not by its frame.
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto related = QAccessibleWidget::relations(match & ~QAccessible::Relation(QAccessible::Label));
        if (match & QAccessible::Label) {
            for (const QPointer<QWidget>& caption : list()->captions()) {
                if (caption) {
                    related.append({QAccessible::queryAccessibleInterface(caption), QAccessible::Label});
                }
            }
        }
        return related;
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    // A disabled list opens no popup and takes no choice, as a disabled button takes no press.
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (list()->isEnabled()) {
            if (list()->popup_list()->isVisible()) {
                list()->hidePopup();
            } else {
                list()->showPopup();
            }
        }
    }

    // The text is what the list shows, to be read, not edited here.
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int /*start*/, int /*end*/) override {}
    void removeSelection(int /*index*/) override {}
    void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
    QRect characterRect(int /*offset*/) const override { return {}; }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start*/, int /*end*/) override {}
    QString attributes(int /*offset*/, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    ListBox* list() const { return static_cast<ListBox*>(widget()); }
    QString shown() const { return list()->currentText(); }
};

QAccessibleInterface* list_accessible(const QString& class_name, QObject* object) {
    if (class_name == QLatin1String(ListBox::staticMetaObject.className())) {
        return new ListAccessible(static_cast<ListBox*>(object));
    }
    return nullptr;
}

} // namespace

ListBox::ListBox(QWidget* parent) : QComboBox(parent) {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(list_accessible); });
    // A list that gains its first entries shows nothing until the console
    // chooses one. Without a placeholder Qt would choose the first entry
    // itself, and a reader would hear a value the list never had.
    setPlaceholderText(QStringLiteral(" "));
}

void ListBox::set_captions(const QList<QWidget*>& captions) {
    m_captions.clear();
    for (QWidget* caption : captions) {
        m_captions.append(caption);
    }
}

void ListBox::show_choice(int position, const QString& text) {
    const int shown_position = currentIndex();
    const QString shown = currentText();
    {
        const QSignalBlocker quiet(this);
        // Qt announces a new position itself.
        if (position != shown_position) {
            setCurrentIndex(position);
        }
        if (isEditable() && currentText() != text) {
            setEditText(text);
        }
    }
    select_shown_entry();
    if (currentIndex() == shown_position && currentText() != shown) {
        QAccessibleValueChangeEvent changed(this, currentText());
        QAccessible::updateAccessibility(&changed);
    }
}

void ListBox::choose(int position) {
    if (position < 0 || position >= count()) {
        return;
    }
    setCurrentIndex(position);
    emit activated(position);
    emit textActivated(itemText(position));
}

QAbstractItemView* ListBox::popup_list() {
    QAbstractItemView* popup = view();
    if (!m_popup_followed) {
        m_popup_followed = true;
        connect(popup->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &ListBox::popup_selection_changed);
        select_shown_entry();
    }
    return popup;
}

// An open popup's selection is the entry the operator moves to; once closed
// it is the shown entry again, whether or not the operator chose another.
void ListBox::hidePopup() {
    QComboBox::hidePopup();
    select_shown_entry();
}

// Text typed into an editable list that is not its entry selects none.
void ListBox::select_shown_entry() {
    if (!m_popup_followed || view()->isVisible()) {
        return;
    }
    QItemSelectionModel& selection = *view()->selectionModel();
    const QModelIndex shown = model()->index(currentIndex(), modelColumn(), rootModelIndex());
    if (shown.isValid() && itemText(currentIndex()) == currentText()) {
        selection.select(shown, QItemSelectionModel::ClearAndSelect);
    } else {
        selection.clearSelection();
    }
}

// A screen reader selects an entry of the closed list to choose it (its
// toggle clears the selection and then selects the entry). A disabled list
// takes no choice, and nothing but the shown entry stays selected.
void ListBox::popup_selection_changed() {
    if (view()->isVisible()) {
        return;
    }
    if (isEnabled()) {
        for (const QModelIndex& selected : view()->selectionModel()->selectedIndexes()) {
            if (selected.row() != currentIndex()) {
                choose(selected.row());
                break;
            }
        }
    }
    select_shown_entry();
}

} // namespace wc
