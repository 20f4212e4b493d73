#pragma once

// Form1 on screen: one Qt widget per control of the model, bound both ways.
// What the handlers change in the model shows at once (a control disabled,
// with the next repaint); what the operator does reaches the model as an
// operator action (user_click, user_choose, ...), which raises the handler's
// event only when the control is operable.

#include "form/form.h"

#include <QPointer>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;

namespace wc {

class ListBox;

class FormWindow final : public QWidget, private ControlObserver {
    Q_OBJECT

public:
    // scale 0: the screen's own (its logical dpi over 96); tests may ask for another.
    explicit FormWindow(Form1& form, double scale = 0);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    double scale() const { return m_scale; }
    // None before the window is first shown, and for a control on a page never shown.
    QWidget* widget_of(const Control& control) const;

signals:
    // The operator (or the system) closes the window; it is already accepted.
    void closing();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_shown_within(const Control* outer);
    void build(Control& control);
    void caption(const Control& field);
    QWidget* make_widget(Control& control, QWidget* parent);
    void bind_operator(Control& control, QWidget* widget);
    void bind_combo(ComboBox& combo, ListBox* widget);

    void changed(Control& control, Prop what) override;
    void show_all(Control& control);
    void show_enabled(Control& control);
    void show_enabled_within(const Control& outer);
    void show_items(ComboBox& combo, ListBox& widget);
    void show_selection(ComboBox& combo, ListBox& widget);
    void show_option(QAbstractButton& option, bool chosen);
    void show_choice(QButtonGroup& row);

    Form1& m_form;
    double m_scale;
    double m_font_scale;
    std::map<const Control*, std::string> m_accessible_names;
    std::map<const Control*, std::vector<const Control*>> m_captions;
    std::map<const Control*, QWidget*> m_widgets; // none yet for a control on a page never shown
    std::map<const QObject*, ComboBox*> m_editable_lists;
    // The exclusive group of each row of option buttons, by the row's base name.
    std::map<std::string, QButtonGroup*, std::less<>> m_option_rows;
    std::map<const ComboBox*, std::vector<std::string>> m_listed; // what each list widget holds
    bool m_disabled_due = false;         // a control was disabled since the last repaint
    QPointer<QWidget> m_focus_to_return; // held the focus when the console disabled it
};

} // namespace wc
