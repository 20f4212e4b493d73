// The window bound both ways to the model: what the handlers change shows at
// once, and what the operator does reaches the model as an operator action,
// never echoed back when the model itself changed a widget.

#include "console/shell.h"
#include "operator_input.h"
#include "qt_print.h"
#include "ui/console_session.h"
#include "ui/form_window.h"
#include "ui/frame_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <gtest/gtest.h>

namespace wc::uitest {
namespace {

class Binding : public ::testing::Test {
protected:
    Binding() { window.show(); }

    template <class W> W& shown(const Control& control) {
        auto* w = qobject_cast<W*>(window.widget_of(control));
        EXPECT_NE(w, nullptr) << control.name();
        return *w;
    }

    Form1 f;
    FormWindow window{f, 1.0};
};

TEST_F(Binding, WhatTheModelChangesShowsAtOnce) {
    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<bool()> shows;
    };
    const Case cases[] = {
        {"caption", [&] { f.btn_con.set_caption("Go"); },
         [&] { return shown<QPushButton>(f.btn_con).text() == "Go"; }},
        {"frame caption", [&] { f.net_config.set_caption("Net"); },
         [&] { return shown<QGroupBox>(f.net_config).title() == "Net"; }},
        {"window title", [&] { f.window.set_caption("v1.15    FW: v1.15"); },
         [&] { return window.windowTitle() == "v1.15    FW: v1.15"; }},
        {"visible", [&] { f.lbl_con[2].set_visible(false); },
         [&] { return !shown<QLabel>(f.lbl_con[2]).isVisibleTo(&window); }},
        {"enabled", [&] { f.btn_ip_get.set_enabled(false); },
         [&] { return !shown<QPushButton>(f.btn_ip_get).isEnabled(); }},
        {"green", [&] { f.btn_con.set_back_color(color::green); },
         [&] {
             return shown<QPushButton>(f.btn_con).palette().color(QPalette::Button) == QColor(0, 255, 0);
         }},
        {"button face", [&] { f.btn_con.set_back_color(color::button_face); },
         [&] {
             return shown<QPushButton>(f.btn_con).palette().color(QPalette::Button) ==
                    QApplication::palette().color(QPalette::Button);
         }},
        {"text colour", [&] { f.Label3.set_fore_color(color::red); },
         [&] {
             return shown<QLabel>(f.Label3).palette().color(QPalette::Active, QPalette::WindowText) ==
                    Qt::red;
         }},
        {"items",
         [&] {
             f.cbo_reso.add_item("640x480@60");
             f.cbo_reso.add_item("480p60");
         },
         [&] { return shown<QComboBox>(f.cbo_reso).count() == 2; }},
        {"selection", [&] { f.cbo_reso.set_list_index(1); },
         [&] { return shown<QComboBox>(f.cbo_reso).currentText() == "480p60"; }},
        {"item removed", [&] { f.cbo_reso.remove_item(0); },
         [&] {
             auto& list = shown<QComboBox>(f.cbo_reso);
             return list.count() == 1 && list.currentIndex() == 0 && list.itemText(0) == "480p60";
         }},
        {"list cleared", [&] { f.cbo_reso.clear(); },
         [&] { return shown<QComboBox>(f.cbo_reso).count() == 0; }},
        {"text", [&] { f.txt_ip.set_text("10.0.0.7"); },
         [&] { return shown<QLineEdit>(f.txt_ip).text() == "10.0.0.7"; }},
        {"tick", [&] { f.Check1[0].set_value(1); },
         [&] { return shown<QCheckBox>(f.Check1[0]).isChecked(); }},
        {"option",
         [&] {
             f.opt_mute[0].choose();
             f.opt_mute[1].choose();
         },
         [&] {
             return shown<QRadioButton>(f.opt_mute[1]).isChecked() &&
                    !shown<QRadioButton>(f.opt_mute[0]).isChecked();
         }},
        {"progress", [&] { f.ProgressBar1.set_value(60); },
         [&] { return shown<QProgressBar>(f.ProgressBar1).value() == 60; }},
    };
    for (const Case& c : cases) {
        c.change();
        EXPECT_TRUE(c.shows()) << c.what;
    }
}

TEST_F(Binding, ADisabledFrameDisablesWhatIsInItAndGivesBackEachOwnState) {
    f.btn_ip_set.set_enabled(false);
    f.net_config.set_enabled(false);
    EXPECT_FALSE(shown<FrameBox>(f.net_config).shown_enabled());
    EXPECT_TRUE(shown<FrameBox>(f.net_config).isEnabled()) << "the frame itself stays a live widget";
    EXPECT_FALSE(shown<QPushButton>(f.btn_ip_get).isEnabled());
    EXPECT_FALSE(shown<QLineEdit>(f.txt_ip).isEnabled());

    f.net_config.set_enabled(true);
    EXPECT_TRUE(shown<QPushButton>(f.btn_ip_get).isEnabled());
    EXPECT_FALSE(shown<QPushButton>(f.btn_ip_set).isEnabled()) << "its own state, not the frame's";
}

TEST_F(Binding, OperatorActionsRaiseTheModelsEventsOnlyWhenOperable) {
    int clicks = 0;
    f.btn_ip_get.on_click = [&] { ++clicks; };
    shown<QPushButton>(f.btn_ip_get).click();
    EXPECT_EQ(clicks, 1);
    f.net_config.set_enabled(false);
    shown<QPushButton>(f.btn_ip_get).click();
    EXPECT_EQ(clicks, 1) << "a control in a disabled frame does nothing";

    shown<QCheckBox>(f.Check1[1]).click();
    EXPECT_EQ(f.Check1[1].value(), 1);
    shown<QCheckBox>(f.Check1[1]).click();
    EXPECT_EQ(f.Check1[1].value(), 0);
    EXPECT_FALSE(shown<QCheckBox>(f.Check1[1]).isChecked());

    int chosen = 0;
    f.opt_bezel[1].on_click = [&] { ++chosen; };
    shown<QRadioButton>(f.opt_bezel[1]).click();
    shown<QRadioButton>(f.opt_bezel[1]).click();
    EXPECT_EQ(chosen, 1) << "Click comes only when the choice changes";
    EXPECT_TRUE(f.opt_bezel[1].value());
    EXPECT_TRUE(shown<QRadioButton>(f.opt_bezel[1]).isChecked()) << "a second click keeps the choice";

    f.net_config.set_enabled(true);
    auto& gateway = shown<QLineEdit>(f.txt_gate);
    for (const char* key : {"1", "0"}) {
        press_key(gateway, static_cast<Qt::Key>(key[0]), key);
    }
    EXPECT_EQ(f.txt_gate.text(), "10");
}

TEST_F(Binding, ASelectionWrittenByTheModelIsNoChoiceOfTheOperators) {
    for (const char* item : {"STATIC", "DHCP"}) {
        f.cbo_ip_type.add_item(item);
    }
    std::vector<int> clicks;
    f.cbo_ip_type.on_click = [&] { clicks.push_back(f.cbo_ip_type.list_index()); };
    auto& list = shown<QComboBox>(f.cbo_ip_type);

    f.cbo_ip_type.set_list_index(1);
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(clicks, (std::vector<int>{1})) << "only the model's own Click";

    choose(list, 0);
    EXPECT_EQ(f.cbo_ip_type.list_index(), 0);
    EXPECT_EQ(clicks, (std::vector<int>{1, 0}));
}

TEST_F(Binding, EveryKeyOfAnEditableListGoesToKeyDownBeforeTheEditTakesIt) {
    ComboBox& model = f.cbo_image_bri[2];
    for (int v = 0; v <= 100; ++v) {
        model.add_item(std::to_string(v));
    }
    struct Key {
        int code;
        std::string text_before;
    };
    std::vector<Key> keys;
    std::vector<std::string> edits;
    int clicks = 0;
    model.on_key_down = [&](int code) { keys.push_back({code, model.text()}); };
    model.on_change = [&] { edits.push_back(model.text()); };
    model.on_click = [&] { ++clicks; };
    auto& list = shown<QComboBox>(model);
    EXPECT_EQ(list.currentText(), "0~100");

    type_over(list, "77");
    press_key(list, Qt::Key_Return);
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(list.lineEdit(), &leave);

    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].code, '7');
    EXPECT_EQ(keys[0].text_before, "0~100");
    EXPECT_EQ(keys[1].text_before, "7");
    EXPECT_EQ(keys[2].code, key_enter);
    EXPECT_EQ(keys[2].text_before, "77");
    EXPECT_EQ(edits, (std::vector<std::string>{"7", "77"}));
    EXPECT_EQ(clicks, 0) << "typed text that matches an entry is not a choice";
    EXPECT_EQ(model.list_index(), -1);
    EXPECT_EQ(list.count(), 101) << "Enter adds no entry";
    EXPECT_EQ(list.currentText(), "77");
}

TEST(SessionBinding, DisconnectStaysUsableWhileThePanelsAreLocked) {
    ConsoleSession s;
    Form1& f = s.console.f;
    auto* disconnect = s.window.widget_of(f.btn_discon);
    auto* connect = s.window.widget_of(f.btn_con);
    f.con_interface.set_enabled(true);
    EXPECT_TRUE(disconnect->isEnabled());

    lock_panels(s.console);
    QApplication::processEvents();
    EXPECT_FALSE(static_cast<FrameBox*>(s.window.widget_of(f.con_interface))->shown_enabled());
    EXPECT_FALSE(connect->isEnabled());
    EXPECT_TRUE(disconnect->isEnabled());
    EXPECT_FALSE(s.window.widget_of(f.btn_sys_search)->isEnabled());
    EXPECT_TRUE(s.window.widget_of(f.opt_io)->isEnabled()) << "page buttons stay usable";

    unlock_panels(s.console);
    EXPECT_TRUE(connect->isEnabled());
    EXPECT_TRUE(disconnect->isEnabled());
}

TEST(SessionBinding, AfterStartUpOnlySearchMacIsUsableInItsFrame) {
    ConsoleSession s;
    Form1& f = s.console.f;
    for (const Control* control : f.controls()) {
        if (control->parent() == &f.sys_setting && s.window.widget_of(*control)->isVisibleTo(&s.window) &&
            control->kind() != Kind::progress_bar) {
            EXPECT_EQ(s.window.widget_of(*control)->isEnabled(), control == &f.btn_sys_search)
                << control->name();
        }
    }
}

} // namespace
} // namespace wc::uitest
