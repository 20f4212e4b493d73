// Boxes frame their replies as their firmware likes: whatever line ends,
// echoes, greetings, prompts, noise and chunks a box uses, every exchange
// ends once its last reply has come, and the window shows what it shows
// with a box that ends every reply in "\r\n".

#include "app/app.h"
#include "rig.h"
#include "sim/box.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace wc::test {
namespace {

using namespace std::chrono_literals;

struct Dialect {
    const char* name;
    sim::Faults speaks;
};

sim::Faults speaking(const std::function<void(sim::Faults&)>& set) {
    sim::Faults faults;
    faults.delay = 10ms;
    set(faults);
    return faults;
}

const Dialect dialects[] = {
    {"LF", speaking([](sim::Faults& f) { f.line_end = sim::LineEnd::lf; })},
    {"CR", speaking([](sim::Faults& f) { f.line_end = sim::LineEnd::cr; })},
    {"no line end", speaking([](sim::Faults& f) { f.line_end = sim::LineEnd::none; })},
    {"echo", speaking([](sim::Faults& f) { f.echo = true; })},
    {"greeting and prompt", speaking([](sim::Faults& f) {
         f.banner = "Welcome to wall box 1 (firmware 2.07)";
         f.prompt = "> ";
     })},
    // A stray reply of an exchange that is not running, and garbage, after every reply.
    {"noise", speaking([](sim::Faults& f) { f.prompt = "\x01z?~\r\nHOTK\r\n# "; })},
    {"byte by byte", speaking([](sim::Faults& f) { f.bytewise = true; })},
    {"joined", speaking([](sim::Faults& f) { f.join = true; })},
    {"split", speaking([](sim::Faults& f) { f.split = 2; })},
    // An acknowledgement whole before its line end: what it ends runs while the box still speaks.
    {"split behind the key", speaking([](sim::Faults& f) { f.split = 4; })},
};

// Everything the window shows of the box and of its own state.
std::vector<std::string> look(const Form1& f) {
    std::vector<std::string> shown;
    for (const Control* control : f.controls()) {
        std::string line = control->name();
        for (const std::string_view part : {std::string_view(" "), std::string_view(control->caption()),
                                            std::string_view(control->visible() ? " shown" : ""),
                                            std::string_view(control->shown_enabled() ? " usable" : "")}) {
            line += part;
        }
        if (const auto* list = dynamic_cast<const ComboBox*>(control)) {
            line.append(" [").append(list->text()).append("]");
        } else if (const auto* text = dynamic_cast<const TextBox*>(control);
                   text && control->name() != "TextInfo") {
            line.append(" [").append(text->text()).append("]");
        } else if (const auto* option = dynamic_cast<const OptionButton*>(control)) {
            line.append(option->value() ? " chosen" : "");
        } else if (const auto* check = dynamic_cast<const CheckBox*>(control)) {
            line.append(check->ticked() ? " ticked" : "");
        }
        shown.push_back(line);
    }
    return shown;
}

struct Outcome {
    std::vector<std::string> look;
    std::vector<std::string> messages;
};

// A box whose every setting differs from the factory's and from its neighbours'.
void set_apart(sim::Box& box) {
    for (const char* line :
         {"SPOW 1",    "SMDN 7",    "SBEZ 1",    "SBH 12",    "SBV 34",    "SRES 11",          "SOSDD 1",
          "SOSDT 20",  "SOSDH 3",   "SOSDV 9",   "SOSDG 6",   "SMUTE 1",   "SBRI 1 11",        "SBRI 2 22",
          "SBRI 3 33", "SBRI 4 44", "SCON 2 61", "SSAT 3 72", "SHUE 4 83", "SIPA 192.168.1.20"}) {
        box.handle_line(line);
    }
}

Outcome run(const sim::Faults& speaks, const std::function<void(Rig&)>& action) {
    Rig r{install_all};
    sim::Box boxes[2] = {sim::Box("02:57:41:4C:4C:01"), sim::Box("02:57:41:4C:4C:02")};
    r.list_boxes(2);
    for (int k = 0; k < 2; ++k) {
        set_apart(boxes[k]);
        r.p.add_box(Rig::address(k), BoxScript{.respond = sim_responder(boxes[k], 0, ""), .speaks = speaks});
    }
    r.f.cbo_ipaddr.user_choose(0);
    r.f.btn_con.user_click();
    r.finish();
    action(r);
    r.finish();
    EXPECT_FALSE(r.f.panels_locked);
    return {look(r.f), r.p.message_texts()};
}

TEST(Dialects, EveryExchangeEndsAndShowsWhatABoxEndingItsRepliesInCrLfShows) {
    const std::pair<const char*, std::function<void(Rig&)>> actions[] = {
        {"connect and refresh", [](Rig&) {}},
        {"set ip",
         [](Rig& r) {
             r.f.txt_ip.user_type("192.168.1.20");
             r.f.btn_ip_set.user_click();
         }},
        {"bezel send",
         [](Rig& r) {
             r.f.opt_tv2.user_click();
             r.f.cbo_val_H[1].user_choose(40);
             r.f.btn_H_Bezel_send.user_click();
         }},
        {"factory reset", [](Rig& r) { r.f.btn_sys_fac_rst.user_click(); }},
        {"power off and on",
         [](Rig& r) {
             r.f.power_ctl[1].user_click();
             r.f.power_ctl[2].user_click();
         }},
    };
    for (const auto& [what, action] : actions) {
        SCOPED_TRACE(what);
        const Outcome crlf = run(speaking([](sim::Faults&) {}), action);
        for (const Dialect& dialect : dialects) {
            SCOPED_TRACE(dialect.name);
            const Outcome other = run(dialect.speaks, action);
            EXPECT_EQ(other.look, crlf.look);
            EXPECT_EQ(other.messages, crlf.messages);
        }
    }
}

} // namespace
} // namespace wc::test
