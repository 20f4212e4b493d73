// The window bound both ways to the model: a disabled control shows with the
// next repaint, and what the operator does reaches the model's events, only
// while the control is operable, and never as an echo of a change the model
// made itself. That what the model changes shows, the tests on wallsim show.

#include "ui/form_window.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace wc {
namespace {

class Binding : public ::testing::Test {
protected:
    Binding() { window.show(); }
    template <class W = QWidget> W& shown(const Control& control) {
        return *qobject_cast<W*>(window.widget_of(control));
    }
    void click(const Control& control) { shown<QAbstractButton>(control).click(); }
    // What a screen reader reaches: the widget's accessible interface.
    QAccessibleInterface& accessible(const Control& control) {
        return *QAccessible::queryAccessibleInterface(window.widget_of(control));
    }
    void toggle(const Control& control) {
        accessible(control).actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    }
    bool checked(const Control& control) { return shown<QAbstractButton>(control).isChecked(); }

    Form1 f;
    FormWindow window{f, 1.0};
};

TEST_F(Binding, ADisabledControlShowsWithTheNextRepaintAnEnabledOneAtOnce) {
    // A disabled frame disables what is in it, and gives each back its own state.
    f.btn_ip_set.set_enabled(false);
    f.net_config.set_enabled(false);
    EXPECT_TRUE(shown(f.txt_ip).isEnabled()) << "not before the repaint";
    QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
    EXPECT_FALSE(shown(f.btn_ip_get).isEnabled() || shown(f.txt_ip).isEnabled());
    f.net_config.set_enabled(true);
    EXPECT_TRUE(shown(f.btn_ip_get).isEnabled() && !shown(f.btn_ip_set).isEnabled());
}

TEST_F(Binding, WhatTheOperatorDoesRaisesTheModelsEvents) {
    int clicks = 0;
    f.btn_ip_get.on_click = [&] { ++clicks; };
    click(f.btn_ip_get);
    f.net_config.set_enabled(false);
    click(f.btn_ip_get);
    EXPECT_EQ(clicks, 1) << "a control in a disabled frame does nothing";
    f.net_config.set_enabled(true);

    click(f.Check1[1]);
    EXPECT_EQ(f.Check1[1].value(), 1);
    int chosen = 0;
    f.opt_bezel[1].on_click = [&] { ++chosen; };
    click(f.opt_bezel[1]);
    click(f.opt_bezel[1]);
    EXPECT_EQ(chosen, 1) << "Click comes only when the choice changes";

    std::vector<int> choices;
    f.cbo_ip_type.add_item("STATIC");
    f.cbo_ip_type.add_item("DHCP");
    f.cbo_ip_type.on_click = [&] { choices.push_back(f.cbo_ip_type.list_index()); };
    f.cbo_ip_type.set_list_index(1);
    auto& list = shown<QComboBox>(f.cbo_ip_type);
    list.setCurrentIndex(0); // what the popup does when the operator picks an entry
    emit list.activated(0);
    EXPECT_EQ(choices, (std::vector<int>{1, 0}))
        << "the model's own Click, then the operator's, never an echo";

    // Every key of an editable list reaches KeyDown before the edit takes it.
    ComboBox& brightness = f.cbo_image_bri[2];
    brightness.add_item("77");
    using Key = std::pair<int, std::string>;
    std::vector<Key> keys;
    brightness.on_key_down = [&](int code) { keys.emplace_back(code, brightness.text()); };
    brightness.on_click = [&] { ADD_FAILURE() << "typed text that matches an entry is no choice"; };
    auto& edit = shown<QComboBox>(brightness);
    edit.lineEdit()->selectAll();
    QTest::keyClicks(&edit, "77"); // the list takes the keys for its edit text
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(keys, (std::vector<Key>{{'7', "0~100"}, {'7', "7"}, {key_enter, "77"}}));
    EXPECT_EQ(shown<QComboBox>(brightness).count(), 1) << "Enter adds no entry";
}

// A screen reader's toggle clicks nothing and its edits are no typing; each
// still reaches the model exactly once, and the console's own writes do not
// come back as the operator's.
TEST_F(Binding, WhatAScreenReaderDoesReachesTheModelOnceAndTheConsolesWritesNeverEcho) {
    toggle(f.Check1[0]);
    EXPECT_EQ(f.Check1[0].value(), 1);
    f.Check1[0].set_value(0);
    EXPECT_EQ(f.Check1[0].value(), 0);
    EXPECT_FALSE(checked(f.Check1[0]));

    EXPECT_EQ(accessible(f.opt_mute[0]).role(), QAccessible::RadioButton);
    int mute_clicks = 0;
    f.opt_mute[0].on_click = [&] { ++mute_clicks; };
    toggle(f.opt_mute[0]);
    toggle(f.opt_mute[0]);
    EXPECT_EQ(mute_clicks, 1) << "Click comes only when the choice changes";
    EXPECT_TRUE(f.opt_mute[0].value() && checked(f.opt_mute[0]));
    f.opt_mute[1].choose();
    EXPECT_TRUE(checked(f.opt_mute[1]) && !checked(f.opt_mute[0])) << "the row follows the console's choice";
    EXPECT_EQ(mute_clicks, 1);
    // A hidden page takes no action; its radio button shows the model's choice again.
    f.frame_control[1].set_visible(false);
    toggle(f.opt_bezel[0]);
    EXPECT_FALSE(f.opt_bezel[0].value() || checked(f.opt_bezel[0]));

    auto& address = accessible(f.txt_ip);
    address.editableTextInterface()->replaceText(0, address.textInterface()->characterCount(), "10.0.0.9");
    EXPECT_EQ(f.txt_ip.text(), "10.0.0.9");

    // A reader chooses an entry of an editable list by selecting it in the closed list's popup.
    ComboBox& brightness = f.cbo_image_bri[2];
    brightness.add_item("50");
    brightness.add_item("77");
    std::vector<std::string> events;
    brightness.on_change = [&] { events.push_back("change " + brightness.text()); };
    brightness.on_click = [&] { events.push_back("click " + brightness.text()); };
    auto& list = accessible(brightness);
    QAccessibleInterface& edit = *list.child(1);
    edit.editableTextInterface()->replaceText(0, edit.textInterface()->characterCount(), "60");
    QAccessibleInterface& popup = *list.child(0);
    popup.child(1)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    brightness.set_list_index(0);
    EXPECT_EQ(events, (std::vector<std::string>{"change 60", "click 77", "click 50"}))
        << "a choice is no edit, and the console's own Click comes once";
    EXPECT_EQ(list.text(QAccessible::Name), "50");
    EXPECT_TRUE(popup.child(0)->state().selected && !popup.child(1)->state().selected)
        << "the popup selects what the list shows";
}

} // namespace
} // namespace wc
