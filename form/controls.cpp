#include "form/controls.h"

#include <algorithm>
#include <iterator>

namespace wc {

namespace {
std::string element_name(const std::string& base, int index) {
    return index < 0 ? base : base + "_" + std::to_string(index);
}
} // namespace

Control::Control(Kind kind, std::string base_name, int index, std::string caption, Frame* parent)
    : m_kind(kind), m_base_name(std::move(base_name)), m_index(index),
      m_name(element_name(m_base_name, index)), m_caption(std::move(caption)), m_parent(parent) {}

void Control::set_caption(std::string caption) {
    m_caption = std::move(caption);
    changed(Prop::caption);
}

void Control::set_enabled(bool enabled) {
    m_enabled = enabled;
    changed(Prop::enabled);
}

void Control::set_visible(bool visible) {
    m_visible = visible;
    changed(Prop::visible);
}

void Control::set_back_color(std::uint32_t color) {
    m_back_color = color;
    changed(Prop::back_color);
}

void Control::set_fore_color(std::uint32_t color) {
    m_fore_color = color;
    changed(Prop::fore_color);
}

bool Control::shown_enabled() const {
    if (m_operable_while != nullptr && *m_operable_while) {
        return m_enabled;
    }
    for (const Control* c = this; c != nullptr; c = c->m_parent) {
        if (!c->m_enabled) {
            return false;
        }
    }
    return true;
}

bool Control::in_shown_frames() const {
    for (const Control* c = m_parent; c != nullptr; c = c->m_parent) {
        if (!c->m_visible) {
            return false;
        }
    }
    return true;
}

bool Control::operable() const {
    return m_visible && in_shown_frames() && shown_enabled();
}

void Control::changed(Prop what) {
    if (m_observer != nullptr) {
        m_observer->changed(*this, what);
    }
}

void Button::user_click() {
    if (operable() && on_click) {
        on_click();
    }
}

void CheckBox::set_value(int value) {
    m_value = value;
    changed(Prop::value);
}

void CheckBox::user_click() {
    if (operable()) {
        set_value(m_value == 1 ? 0 : 1);
    }
}

void OptionButton::set_value(bool value) {
    if (m_value != value) {
        m_value = value;
        changed(Prop::value);
    }
}

void OptionButton::choose() {
    if (m_value) {
        return;
    }
    if (m_group != nullptr) {
        for (OptionButton* other : *m_group) {
            if (other != this) {
                other->set_value(false);
            }
        }
    }
    set_value(true);
    if (on_click) {
        on_click();
    }
}

void OptionButton::user_click() {
    if (operable()) {
        choose();
    }
}

void TextBox::set_text(std::string text) {
    m_text = std::move(text);
    changed(Prop::text);
}

void TextBox::user_type(std::string text) {
    if (operable()) {
        set_text(std::move(text));
    }
}

ComboBox::ComboBox(std::string base_name, int index, Style style, std::string design_text, Frame* parent)
    : Control(Kind::combo_box, std::move(base_name), index, {}, parent), m_style(style),
      m_text(std::move(design_text)) {}

void ComboBox::add_item(std::string item) {
    m_items.push_back(std::move(item));
    changed(Prop::items);
}

void ComboBox::add_items(std::vector<std::string> items) {
    m_items.insert(m_items.end(), std::make_move_iterator(items.begin()),
                   std::make_move_iterator(items.end()));
    changed(Prop::items);
}

void ComboBox::remove_item(int position) {
    if (position < 0 || position >= list_count()) {
        return;
    }
    m_items.erase(m_items.begin() + position);
    if (m_list_index == position) {
        m_list_index = -1;
        changed(Prop::list_index);
    } else if (m_list_index > position) {
        --m_list_index;
    }
    changed(Prop::items);
}

void ComboBox::clear() {
    m_items.clear();
    m_list_index = -1;
    if (m_style == Style::list) {
        m_text.clear();
    }
    changed(Prop::items);
}

bool ComboBox::set_list_index(int position) {
    if (position == -1) {
        m_list_index = -1;
        if (m_style == Style::list) {
            m_text.clear();
        }
        changed(Prop::list_index);
        return true;
    }
    if (position < 0 || position >= list_count()) {
        return false;
    }
    m_list_index = position;
    m_text = m_items[static_cast<std::size_t>(position)];
    changed(Prop::list_index);
    if (on_click) {
        on_click();
    }
    return true;
}

void ComboBox::user_choose(int position) {
    if (operable()) {
        set_list_index(position);
    }
}

void ComboBox::user_edit(std::string text) {
    if (!operable() || m_style != Style::editable) {
        return;
    }
    m_text = std::move(text);
    changed(Prop::text);
    if (on_change) {
        on_change();
    }
}

void ComboBox::user_key(int key) {
    if (operable() && m_style == Style::editable && on_key_down) {
        on_key_down(key);
    }
}

void ProgressBar::set_value(int value) {
    m_value = std::clamp(value, 0, 100);
    changed(Prop::value);
}

void Timer::set_enabled(bool enabled) {
    m_enabled = enabled;
    if (on_enabled) {
        on_enabled(m_enabled, m_interval);
    }
}

} // namespace wc
