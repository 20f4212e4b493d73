#pragma once

// The window as a model: every control of the console with the state and the
// events that the handlers use. A view (the Qt window, or nothing at all in
// tests) observes the controls; the handlers only ever talk to this model.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace wc {

// Colours are kept as the window toolkit's 0x00BBGGRR values; 0x8000000F is
// the system button face rather than a fixed colour.
namespace color {
inline constexpr std::uint32_t button_face = 0x8000000F;
inline constexpr std::uint32_t green = 0x0000FF00;
inline constexpr std::uint32_t red = 0x000000FF;
inline constexpr std::uint32_t yellow = 0x0000FFFF;
inline constexpr std::uint32_t black = 0x00000000;
} // namespace color

inline constexpr int key_enter = 13;

// Position and size in twips (15 twips are one pixel at 96 dpi).
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class Kind { frame, button, label, check_box, option_button, text_box, combo_box, progress_bar };
enum class Prop { caption, enabled, visible, back_color, fore_color, items, list_index, text, value };

class Control;
class Frame;

class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void changed(Control& control, Prop what) = 0;
};

class Control {
public:
    Control(Kind kind, std::string base_name, int index, std::string caption, Frame* parent);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    Kind kind() const { return m_kind; }
    // The control's name; elements of a control array carry their index: "cbo_image_bri_2".
    const std::string& name() const { return m_name; }
    const std::string& base_name() const { return m_base_name; }
    int index() const { return m_index; } // -1 outside a control array
    Frame* parent() const { return m_parent; }

    const std::string& caption() const { return m_caption; }
    void set_caption(std::string caption);
    bool enabled() const { return m_enabled; }
    void set_enabled(bool enabled);
    bool visible() const { return m_visible; }
    void set_visible(bool visible);
    std::uint32_t back_color() const { return m_back_color; }
    void set_back_color(std::uint32_t color);
    std::uint32_t fore_color() const { return m_fore_color; }
    void set_fore_color(std::uint32_t color);
    const Twips& geometry() const { return m_geometry; }
    void set_geometry(Twips geometry) { m_geometry = geometry; }

    // An operator can act on a control only when it and every frame around it
    // are enabled and shown, or, for a control told so, when it is enabled and
    // shown itself while the given condition holds whatever its frames say.
    bool operable() const;
    // Every frame around the control is shown (the control itself may be hidden).
    bool in_shown_frames() const;
    // Enabled as a view shows it: itself and its frames (or its exemption).
    bool shown_enabled() const;
    void stay_operable_while(const bool* condition) { m_operable_while = condition; }

    void set_observer(ControlObserver* observer) { m_observer = observer; }

protected:
    void changed(Prop what);

private:
    Kind m_kind;
    std::string m_base_name;
    int m_index;
    std::string m_name;
    std::string m_caption;
    Frame* m_parent;
    bool m_enabled = true;
    bool m_visible = true;
    std::uint32_t m_back_color = color::button_face;
    std::uint32_t m_fore_color = color::black;
    Twips m_geometry;
    const bool* m_operable_while = nullptr;
    ControlObserver* m_observer = nullptr;
};

class Frame : public Control {
public:
    Frame(std::string base_name, int index, std::string caption, Frame* parent)
        : Control(Kind::frame, std::move(base_name), index, std::move(caption), parent) {}
};

class Label : public Control {
public:
    Label(std::string base_name, int index, std::string caption, Frame* parent)
        : Control(Kind::label, std::move(base_name), index, std::move(caption), parent) {}
};

class Button : public Control {
public:
    Button(std::string base_name, int index, std::string caption, Frame* parent)
        : Control(Kind::button, std::move(base_name), index, std::move(caption), parent) {}
    std::function<void()> on_click;
    // The operator pressed the button; does nothing unless it is operable.
    void user_click();
};

class CheckBox : public Control {
public:
    CheckBox(std::string base_name, int index, std::string caption, Frame* parent)
        : Control(Kind::check_box, std::move(base_name), index, std::move(caption), parent) {}
    int value() const { return m_value; }
    void set_value(int value);
    bool ticked() const { return m_value == 1; }
    void user_click();

private:
    int m_value = 0;
};

class OptionButton : public Control {
public:
    OptionButton(std::string base_name, int index, std::string caption, Frame* parent)
        : Control(Kind::option_button, std::move(base_name), index, std::move(caption), parent) {}
    bool value() const { return m_value; }
    // Makes this the chosen option of its group; its Click is raised only when
    // the choice changes, whether code or the operator chose it.
    void choose();
    void user_click();
    std::function<void()> on_click;
    void join(std::vector<OptionButton*>* group) { m_group = group; }

private:
    void set_value(bool value);
    bool m_value = false;
    std::vector<OptionButton*>* m_group = nullptr;
};

class TextBox : public Control {
public:
    TextBox(std::string base_name, int index, Frame* parent)
        : Control(Kind::text_box, std::move(base_name), index, {}, parent) {}
    const std::string& text() const { return m_text; }
    void set_text(std::string text);
    void user_type(std::string text);

private:
    std::string m_text;
};

class ComboBox : public Control {
public:
    enum class Style { list, editable };
    ComboBox(std::string base_name, int index, Style style, std::string design_text, Frame* parent);

    Style style() const { return m_style; }
    int list_count() const { return static_cast<int>(m_items.size()); }
    const std::vector<std::string>& items() const { return m_items; }
    void add_item(std::string item);
    void add_items(std::vector<std::string> items); // told to the view once
    void remove_item(int position);
    void clear();

    int list_index() const { return m_list_index; }
    // Selecting an entry from code raises Click, as the operator's choice
    // does. -1 clears the selection without an event; a position that the
    // list does not have changes nothing and returns false.
    bool set_list_index(int position);
    // The edit text of an editable list; the chosen entry of a plain list.
    const std::string& text() const { return m_text; }

    std::function<void()> on_click;
    std::function<void()> on_change;          // the edit text was edited
    std::function<void(int key)> on_key_down; // before the key reaches the edit text

    void user_choose(int position);
    void user_edit(std::string text);
    void user_key(int key);

private:
    Style m_style;
    std::vector<std::string> m_items;
    int m_list_index = -1;
    std::string m_text;
};

class ProgressBar : public Control {
public:
    ProgressBar(std::string base_name, int index, Frame* parent)
        : Control(Kind::progress_bar, std::move(base_name), index, {}, parent) {}
    int value() const { return m_value; }
    void set_value(int value);

private:
    int m_value = 0;
};

// A window timer: the platform fires it once after Interval ms while enabled.
class Timer {
public:
    bool enabled() const { return m_enabled; }
    int interval() const { return m_interval; }
    void set_interval(int ms) { m_interval = ms; }
    void set_enabled(bool enabled);
    std::function<void(bool enabled, int interval)> on_enabled;

private:
    bool m_enabled = false;
    int m_interval = 0;
};

// Rows of like controls, indexed as on the window (from 0, or from 1 where the
// window has it so; some arrays have gaps).
template <class T> class ControlArray {
public:
    T& operator[](int index) { return *m_items.at(index); }
    const T& operator[](int index) const { return *m_items.at(index); }
    bool has(int index) const { return m_items.count(index) != 0; }
    template <class... Args> T& add(int index, Args&&... args) {
        auto& slot = m_items[index];
        slot = std::make_unique<T>(std::forward<Args>(args)...);
        return *slot;
    }
    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }

private:
    std::map<int, std::unique_ptr<T>> m_items;
};

} // namespace wc
