#include "ui/form_window.h"

#include "ui/form_layout.h"
#include "ui/frame_box.h"
#include "ui/key_codes.h"
#include "ui/list_box.h"
#include "ui/widget_look.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>

namespace wc {

namespace {

QString qt_text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string model_text(const QString& text) {
    return text.toStdString();
}

Qt::CheckState check_state(int value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

// Whether the control is `outer` or stands inside it; every control stands inside the whole window (null).
bool inside(const Control& control, const Control* outer) {
    for (const Control* c = &control; c != nullptr; c = c->parent()) {
        if (c == outer) {
            return true;
        }
    }
    return outer == nullptr;
}

double screen_scale(const QWidget& widget) {
    const QScreen* screen = widget.screen() != nullptr ? widget.screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() / 96.0 : 1.0;
}

} // namespace

FormWindow::FormWindow(Form1& form, double scale) : m_form(form) {
    const double screen = screen_scale(*this);
    m_scale = scale > 0 ? scale : screen;
    // Points already grow with the screen's dpi; only a scale of our own must be added.
    m_font_scale = m_scale / screen;

    setObjectName(qt_text(form.window.name()));
    setFixedSize(to_pixels(client_width, m_scale), to_pixels(client_height, m_scale));
    setFont(console_font(control_points, m_font_scale));

    m_accessible_names = accessible_names(form);
    m_captions = captions(form);
    // No accessible name of its own: Qt names a window by its title, which
    // gains the box's firmware once connected.
    form.window.set_observer(this);
    show_all(form.window);
}

FormWindow::~FormWindow() {
    for (Control* control : m_form.controls()) {
        control->set_observer(nullptr);
    }
}

QWidget* FormWindow::widget_of(const Control& control) const {
    auto it = m_widgets.find(&control);
    return it == m_widgets.end() ? nullptr : it->second;
}

// The widgets of the controls inside `outer` (the whole window for null)
// that stand in no hidden frame. The window's controls are built when it is
// first shown, and a page not shown then when it is first shown: four of the
// five pages hold more than half the window's controls, and building them
// was a large part of the wait for the window to appear. Every widget of the
// pass exists before any shows its control, since a frame that shows as
// visible builds what it holds; Tab moves through the controls in the model's
// order whatever was built first.
void FormWindow::build_shown_within(const Control* outer) {
    const bool first = m_widgets.empty();
    std::vector<Control*> built;
    for (Control* control : m_form.controls()) {
        if (control != &m_form.window && !m_widgets.contains(control) && inside(*control, outer) &&
            control->in_shown_frames()) {
            build(*control);
            built.push_back(control);
        }
    }
    for (Control* control : built) {
        caption(*control);
        control->set_observer(this);
        show_all(*control);
    }
    if (!first && !built.empty()) {
        QWidget* previous = nullptr;
        for (Control* control : m_form.controls()) {
            if (QWidget* widget = widget_of(*control);
                widget != nullptr && (widget->focusPolicy() & Qt::TabFocus)) {
                if (previous != nullptr) {
                    setTabOrder(previous, widget);
                }
                previous = widget;
            }
        }
    }
}

void FormWindow::build(Control& control) {
    QWidget* parent = control.parent() != nullptr ? m_widgets.at(control.parent()) : this;
    QWidget* widget = make_widget(control, parent);
    widget->setObjectName(qt_text(control.name()));
    // Labels are named by their text, and fields by their captions, as Qt does.
    if (auto name = m_accessible_names.find(&control); name != m_accessible_names.end()) {
        widget->setAccessibleName(qt_text(name->second));
    }
    widget->setGeometry(to_pixels(placement(control).value_or(control.geometry()), m_scale));
    // Every other control has the window's face, from the window.
    if (&control == &m_form.TextInfo) {
        QFont plain = QApplication::font();
        plain.setPointSizeF(plain.pointSizeF() * m_font_scale);
        widget->setFont(plain);
    }
    m_widgets[&control] = widget;
    bind_operator(control, widget);
}

// A field is labelled by the labels that caption it on screen, which a
// screen reader reads before its value. A label stands for one field as its
// buddy; a list takes its captions itself, since the picture grid's heads
// each caption a row or a column of lists. The edit field of an editable list
// takes the focus a screen reader follows, so it is named by the captions too.
void FormWindow::caption(const Control& field) {
    const auto it = m_captions.find(&field);
    if (it == m_captions.end()) {
        return;
    }
    QWidget* widget = m_widgets.at(&field);
    QList<QWidget*> labels;
    QStringList words;
    for (const Control* label : it->second) {
        labels.append(m_widgets.at(label));
        words.append(qt_text(label->caption()));
    }
    if (labels.size() == 1) {
        static_cast<QLabel*>(labels.front())->setBuddy(widget);
    }
    if (auto* list = qobject_cast<ListBox*>(widget)) {
        list->set_captions(labels);
        if (list->lineEdit() != nullptr) {
            list->lineEdit()->setAccessibleName(words.join(' '));
        }
    }
}

QWidget* FormWindow::make_widget(Control& control, QWidget* parent) {
    switch (control.kind()) {
    case Kind::frame:
        return new FrameBox(qt_text(control.caption()), console_font(frame_caption_points, m_font_scale),
                            parent);
    case Kind::button:
        return new QPushButton(parent);
    case Kind::label: {
        auto* label = new QLabel(parent);
        label->setAlignment(centred(control) ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    case Kind::check_box:
        return new QCheckBox(parent);
    case Kind::option_button: {
        // One exclusive group a row, as the model's: arrow keys move the
        // choice within the row, and assistive technology sees radio buttons.
        auto*& row = m_option_rows[control.base_name()];
        if (row == nullptr) {
            row = new QButtonGroup(this);
        }
        auto* option = new QRadioButton(parent);
        row->addButton(option);
        return option;
    }
    case Kind::text_box:
        return new QLineEdit(parent);
    case Kind::combo_box: {
        auto* combo = new ListBox(parent);
        if (static_cast<ComboBox&>(control).style() == ComboBox::Style::editable) {
            // Made editable by its edit field alone: setEditable also builds
            // the list's popup, which no one may ever open, a quarter of the
            // window's start-up.
            combo->setLineEdit(new QLineEdit(combo));
        }
        return combo;
    }
    case Kind::progress_bar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setTextVisible(false);
        return bar;
    }
    }
    return new QWidget(parent);
}

// Each control is heard through the one signal that every path of the
// operator raises exactly once: the mouse, the keys, and an assistive
// technology's actions and edits (its toggle action clicks nothing, and its
// edits are no typing, so textEdited misses them). The console's own writes
// are silenced or told apart; after a refused action the widget shows again
// what the model has.
void FormWindow::bind_operator(Control& control, QWidget* widget) {
    switch (control.kind()) {
    case Kind::button:
        connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
                [&control] { static_cast<Button&>(control).user_click(); });
        break;
    case Kind::check_box:
        connect(static_cast<QCheckBox*>(widget), &QCheckBox::stateChanged, this, [this, &control] {
            static_cast<CheckBox&>(control).user_click();
            changed(control, Prop::value);
        });
        break;
    case Kind::option_button:
        // Leaving an option is no choice: the row's newly checked option
        // carries it. Qt has already left the row's other option; a refused
        // choice shows the whole row as the model has it again.
        connect(static_cast<QRadioButton*>(widget), &QRadioButton::toggled, this,
                [this, &control, widget](bool on) {
                    if (on) {
                        static_cast<OptionButton&>(control).user_click();
                        show_choice(*static_cast<QRadioButton*>(widget)->group());
                    }
                });
        break;
    case Kind::text_box:
        // A write is told apart rather than silenced, so that textChanged
        // stays true to what the box shows: it is the model's text already.
        connect(static_cast<QLineEdit*>(widget), &QLineEdit::textChanged, this,
                [this, &control](const QString& text) {
                    auto& box = static_cast<TextBox&>(control);
                    if (std::string typed = model_text(text); typed != box.text()) {
                        box.user_type(std::move(typed));
                        changed(control, Prop::text);
                    }
                });
        break;
    case Kind::combo_box:
        bind_combo(static_cast<ComboBox&>(control), static_cast<ListBox*>(widget));
        break;
    case Kind::frame:
    case Kind::label:
    case Kind::progress_bar:
        break;
    }
}

void FormWindow::bind_combo(ComboBox& combo, ListBox* widget) {
    connect(widget, &QComboBox::activated, this, [this, &combo, widget](int position) {
        combo.user_choose(position);
        show_selection(combo, *widget);
    });
    if (combo.style() != ComboBox::Style::editable) {
        return;
    }
    // Typed text is the operator's value, never a choice from the list: Enter
    // adds no item, nothing completes the text, and finishing an edit whose
    // text matches an item must not select it behind the handlers' back.
    widget->setInsertPolicy(QComboBox::NoInsert);
    widget->setCompleter(nullptr);
    QObject::disconnect(widget->lineEdit(), SIGNAL(editingFinished()), widget, nullptr);
    // Choosing an entry rewrites the edit text before `activated` tells of
    // the choice; the list's position then differs from the model's.
    connect(widget, &QComboBox::editTextChanged, this, [this, &combo, widget](const QString& text) {
        if (widget->currentIndex() == combo.list_index()) {
            combo.user_edit(model_text(text));
            show_selection(combo, *widget);
        }
    });
    m_editable_lists[widget] = &combo;
    widget->installEventFilter(this);
}

// Every key reaches the list's KeyDown before the edit field sees it. The list
// holds the focus and hands keys on to its edit field directly; a key sent to
// the edit field itself comes back up to the list when the field ignores it
// (Enter does), so watching the list alone sees each key once.
bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto it = m_editable_lists.find(watched);
        if (it != m_editable_lists.end()) {
            if (const auto key = console_key(static_cast<QKeyEvent*>(event)->key())) {
                it->second->user_key(*key);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Disabled controls show before a repaint, and before the first paint, which Qt does without a request.
bool FormWindow::event(QEvent* event) {
    if (event->type() == QEvent::Show) {
        build_shown_within(nullptr);
    }
    if ((event->type() == QEvent::UpdateRequest || event->type() == QEvent::Show) && m_disabled_due) {
        m_disabled_due = false;
        for (Control* control : m_form.controls()) {
            show_enabled(*control);
        }
    }
    return QWidget::event(event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closing();
}

void FormWindow::changed(Control& control, Prop what) {
    if (&control == &m_form.window) {
        setWindowTitle(qt_text(control.caption()));
        return;
    }
    QWidget* widget = widget_of(control);
    if (widget == nullptr) {
        return;
    }
    switch (what) {
    case Prop::caption:
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(qt_text(control.caption()));
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(qt_text(control.caption()));
        } else if (auto* frame = qobject_cast<FrameBox*>(widget)) {
            frame->set_title(qt_text(control.caption()));
        }
        break;
    case Prop::enabled:
        // What the console makes usable shows at once, for the operator to
        // use. What it locks shows with the next repaint, for every control at
        // once: the panel lock switches some two hundred widgets, and a fast
        // box's whole refresh locks and unlocks them within one frame, which
        // then changes none of them. Until then the model refuses what the
        // operator does.
        if (control.shown_enabled()) {
            show_enabled_within(control);
        } else if (!m_disabled_due) {
            m_disabled_due = true;
            QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
        }
        break;
    case Prop::visible:
        if (control.kind() == Kind::frame && control.visible() && isVisible()) {
            build_shown_within(&control);
        }
        widget->setVisible(control.visible());
        break;
    case Prop::back_color:
        apply_back_color(*widget, control.kind(), control.back_color());
        break;
    case Prop::fore_color:
        apply_fore_color(*widget, control.fore_color());
        break;
    case Prop::items:
        if (control.kind() == Kind::combo_box) {
            show_items(static_cast<ComboBox&>(control), *static_cast<ListBox*>(widget));
        }
        break;
    case Prop::list_index:
        if (control.kind() == Kind::combo_box) {
            show_selection(static_cast<ComboBox&>(control), *static_cast<ListBox*>(widget));
        }
        break;
    case Prop::text:
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            const QString text = qt_text(static_cast<TextBox&>(control).text());
            // Rewriting an unchanged text would move the operator's cursor.
            if (edit->text() != text) {
                edit->setText(text);
            }
        } else if (auto* list = qobject_cast<ListBox*>(widget)) {
            show_selection(static_cast<ComboBox&>(control), *list);
        }
        break;
    case Prop::value:
        if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            const QSignalBlocker quiet(check);
            check->setCheckState(check_state(static_cast<CheckBox&>(control).value()));
        } else if (auto* option = qobject_cast<QRadioButton*>(widget)) {
            show_option(*option, static_cast<OptionButton&>(control).value());
        } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
            bar->setValue(static_cast<ProgressBar&>(control).value());
        }
        break;
    }
}

void FormWindow::show_all(Control& control) {
    for (Prop what : {Prop::caption, Prop::visible, Prop::back_color, Prop::fore_color, Prop::items,
                      Prop::list_index, Prop::text, Prop::value}) {
        changed(control, what);
    }
    show_enabled(control);
}

// Qt hands the focus of a control it disables to the next control, and the
// panel lock disables the one the operator pressed: the focus goes back to it
// once the console enables it again, so the operator is not left elsewhere.
void FormWindow::show_enabled(Control& control) {
    QWidget* widget = widget_of(control);
    if (widget == nullptr) {
        return;
    }
    if (auto* frame = qobject_cast<FrameBox*>(widget)) {
        frame->set_shown_enabled(control.shown_enabled());
        return;
    }
    const bool enabled = control.shown_enabled();
    if (!enabled && widget == focusWidget()) {
        m_focus_to_return = widget;
    }
    widget->setEnabled(enabled);
    if (enabled && widget == m_focus_to_return) {
        m_focus_to_return = nullptr;
        widget->setFocus(Qt::OtherFocusReason);
    }
}

// The control and every control inside it: a frame's state shows on what it holds.
void FormWindow::show_enabled_within(const Control& outer) {
    for (Control* control : m_form.controls()) {
        if (inside(*control, &outer)) {
            show_enabled(*control);
        }
    }
}

// An option as the model has it, written as the model changes it: the model
// leaves the row's chosen option before it marks the new one, and a reader
// hears each option change once. The group is exclusive only between writes:
// it would refuse to uncheck its checked option, and the model's rows start
// with no choice.
void FormWindow::show_option(QAbstractButton& option, bool chosen) {
    QButtonGroup& row = *option.group();
    row.setExclusive(false);
    {
        const QSignalBlocker quiet(option);
        option.setChecked(chosen);
    }
    row.setExclusive(true);
}

void FormWindow::show_choice(QButtonGroup& row) {
    for (QAbstractButton* option : row.buttons()) {
        show_option(*option,
                    static_cast<const OptionButton*>(m_form.find(model_text(option->objectName())))->value());
    }
}

// Lists grow at their end: only what differs from the model at the end of
// the widget's list is replaced, and what is added goes in at once. What the
// widget lists is kept beside it as the model's text: asking the widget for
// every item again for each one added was a sixth of the start-up.
void FormWindow::show_items(ComboBox& combo, ListBox& widget) {
    const QSignalBlocker quiet(widget);
    const auto& items = combo.items();
    std::vector<std::string>& listed = m_listed[&combo];
    const auto same =
        std::mismatch(listed.begin(), listed.end(), items.begin(), items.end()).first - listed.begin();
    for (int k = widget.count() - 1; k >= same; --k) {
        widget.removeItem(k);
    }
    listed.resize(static_cast<std::size_t>(same));
    QStringList added;
    for (auto item = items.begin() + same; item != items.end(); ++item) {
        added.append(qt_text(*item));
        listed.push_back(*item);
    }
    widget.addItems(added);
    show_selection(combo, widget);
}

// A selection written by the model is no choice of the operator's: the list
// shows it without the operator's signals.
void FormWindow::show_selection(ComboBox& combo, ListBox& widget) {
    widget.show_choice(combo.list_index(), qt_text(combo.text()));
}

} // namespace wc
