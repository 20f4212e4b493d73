// A box that answers every command correctly but also repeats replies, joins
// them, splits their keys and mixes in replies of other keys and garbage must
// leave no handler waiting once its last expected reply has come, and must
// leave the window showing what a clean box leaves it showing.

#include "app/app.h"
#include "rig.h"
#include "sim/box.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace wc::test {
namespace {

enum class Noise { none, duplicated, joined, split_key, stray_and_garbage };
const char* const noise_names[] = {"none", "duplicated", "joined", "split key", "stray and garbage"};

// The simulated box's replies to each line, reshaped by the noise.
Responder noisy(sim::Box& box, Noise noise) {
    return [&box, noise](const std::string& line) {
        std::vector<Reply> out;
        std::string joined = "HOTK\r\n"; // a reply of an exchange that is not running
        for (const std::string& reply : box.handle_line(line)) {
            if (noise == Noise::joined) {
                joined += reply;
                continue;
            }
            if (noise == Noise::stray_and_garbage) {
                out.push_back({"\x01z?~\r\nHOTK\r\n"});
            }
            if (noise == Noise::split_key) {
                out.push_back({reply.substr(0, 2)});
                out.push_back({reply.substr(2), 5});
            } else {
                out.push_back({reply, noise == Noise::stray_and_garbage ? 1 : 10});
            }
            if (noise == Noise::duplicated) {
                out.push_back({reply, 1});
            } else if (noise == Noise::stray_and_garbage) {
                out.push_back({"#\r\n", 1});
            }
        }
        if (noise == Noise::joined) {
            out.push_back({joined});
        }
        return out;
    };
}

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

Outcome run(Noise noise, const std::function<void(Rig&)>& action) {
    Rig r{install_all};
    sim::Box box("02:57:41:4C:4C:01");
    set_apart(box);
    r.list_boxes(1);
    r.script_box(0, noisy(box, noise));
    r.f.cbo_ipaddr.user_choose(0);
    r.f.btn_con.user_click();
    action(r);
    r.p.run_until_idle();
    // Every counter these actions set is back at rest.
    for (std::uint8_t step : {r.f.status_step, r.f.bezel_read_step, r.f.bezel_set_step, r.f.recall_step,
                              r.f.img_read_step, r.f.io_read_step, r.f.ipget_step, r.f.ipset_step}) {
        EXPECT_EQ(step, 0);
    }
    EXPECT_FALSE(r.f.panels_locked);
    return {look(r.f), r.p.message_texts()};
}

TEST(NoisyBox, EveryExchangeEndsAndShowsWhatACleanBoxShows) {
    const std::pair<const char*, std::function<void(Rig&)>> actions[] = {
        // Every read of the refresh: Get IP and the I/O read-back among them.
        {"connect and refresh", [](Rig&) {}},
        {"set ip",
         [](Rig& r) {
             r.f.txt_ip.user_type("192.168.1.20");
             r.f.btn_ip_set.user_click();
         }},
        {"picture read-back", [](Rig& r) { r.f.btn_img_rst[5].user_click(); }},
        {"bezel send",
         [](Rig& r) {
             r.f.opt_tv2.user_click();
             r.f.cbo_val_H[1].user_choose(40);
             r.f.btn_H_Bezel_send.user_click();
         }},
        {"favourite recall",
         [](Rig& r) {
             r.f.opt_tv3.user_click();
             r.f.btn_recall[2].user_click();
         }},
        {"power off and on",
         [](Rig& r) {
             r.f.power_ctl[1].user_click();
             r.f.power_ctl[2].user_click();
         }},
    };
    for (const auto& [what, action] : actions) {
        SCOPED_TRACE(what);
        const Outcome clean = run(Noise::none, action);
        for (Noise noise : {Noise::duplicated, Noise::joined, Noise::split_key, Noise::stray_and_garbage}) {
            SCOPED_TRACE(noise_names[static_cast<int>(noise)]);
            const Outcome noisy_run = run(noise, action);
            EXPECT_EQ(noisy_run.look, clean.look);
            EXPECT_EQ(noisy_run.messages, clean.messages);
        }
    }
}

} // namespace
} // namespace wc::test
