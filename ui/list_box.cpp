#include "ui/list_box.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <cmath>
#include <mutex>

namespace wc {

namespace {

class ListAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ListAccessible(ListBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    // The children Qt gives a combo box: the popup's entries, and the edit field of an editable list.
    int childCount() const override { return list()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) {
            return QAccessible::queryAccessibleInterface(list()->view());
        }
        if (index == 1 && list()->isEditable()) {
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        }
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child->object() == list()->view()) {
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
        state.expanded = list()->view()->isVisible();
        state.editable = list()->isEditable();
        return state;
    }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? list()->currentText() : QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    // A disabled list opens no popup and takes no choice, as a disabled button takes no press.
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (list()->isEnabled()) {
            if (list()->view()->isVisible()) {
                list()->hidePopup();
            } else {
                list()->showPopup();
            }
        }
    }

    // The value is the position of the chosen entry, -1 before any choice.
    QVariant currentValue() const override { return list()->currentIndex(); }
    QVariant minimumValue() const override { return 0; }
    QVariant maximumValue() const override { return list()->count() - 1; }
    QVariant minimumStepSize() const override { return 1; }
    void setCurrentValue(const QVariant& value) override {
        if (list()->isEnabled()) {
            list()->choose(static_cast<int>(std::lround(value.toDouble())));
        }
    }

private:
    ListBox* list() const { return static_cast<ListBox*>(widget()); }
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
}

void ListBox::choose(int position) {
    if (position < 0 || position >= count()) {
        return;
    }
    setCurrentIndex(position);
    emit activated(position);
    emit textActivated(itemText(position));
}

} // namespace wc
