// fuzz_console: an operator and up to four misbehaving boxes, decoded from one
// byte program, drive the whole console core on the deterministic platform of
// the tests, each box being the simulated box. After every top-level action,
// once everything it set going is over, the window must be one an operator can
// rely on; anything else aborts with what was done and what is wrong.
//
// The first byte says how many boxes are listed; then, operation after operation:
//   an operator action at top level: a control, and what is done to it;
//   an operator action that lands some time into the waits of what follows;
//   how a box connects from now on (at once, late, refused, never) and speaks
//     from its next connection: silent, or in a dialect of wallsim (line end,
//     echo, greeting, prompt, delay, split, joined, byte by byte);
//   the link of a box dropped, or bytes arriving unasked;
//   the answer to the next Yes/No question;
//   what the next search finds.
// A wait that nothing will ever end gets the operator's Disconnect, which is
// how an operator leaves a box that stopped answering; no wait may outlive
// it. Events reach the console only while no handler runs: no handler ever
// runs inside another.

#include "app/app.h"
#include "byte_program.h"
#include "link/traffic_log.h"
#include "rig.h"
#include "sim/box.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace wc;

constexpr int max_boxes = 4;
constexpr int connect_ms = 20;
constexpr int slow_ms = 20'000; // past the 15 s connect time-out
constexpr std::int64_t delay_unit_ms = 100;
constexpr std::int64_t idle_limit_ms = 24LL * 3600 * 1000;
constexpr std::size_t longest_text = 24;

struct Counter {
    const char* name;
    std::uint8_t Form1::*value;
};

// Every exchange's step counter and busy byte, 0 once its action is over.
// osd_info_step is not among them: the connect's OSD query leaves it at 2 (at
// 1 when Disconnect ended the query), and only that query looks at it.
constexpr Counter counters[] = {
    {"status_step", &Form1::status_step},         {"factory_step", &Form1::factory_step},
    {"wall_send_step", &Form1::wall_send_step},   {"hotkey_step", &Form1::hotkey_step},
    {"wall_reset_step", &Form1::wall_reset_step}, {"bezel_read_step", &Form1::bezel_read_step},
    {"bezel_set_step", &Form1::bezel_set_step},   {"recall_step", &Form1::recall_step},
    {"img_read_step", &Form1::img_read_step},     {"img_reset_step", &Form1::img_reset_step},
    {"pic_reset_busy", &Form1::pic_reset_busy},   {"io_read_step", &Form1::io_read_step},
    {"io_reset_step", &Form1::io_reset_step},     {"ipget_step", &Form1::ipget_step},
    {"ipset_step", &Form1::ipset_step},           {"ipmode_step", &Form1::ipmode_step},
};

std::string shown(std::string_view text) {
    return "\"" + visible_bytes(text) + "\"";
}

class Session {
    struct Action {
        Control* control;
        std::string what;
        std::function<void()> act;
        // For the trail: an action on an unusable control does nothing.
        void operator()(std::vector<std::string>& trail, const std::string& when) const {
            trail.push_back(when + what + (control->operable() ? "" : " (not usable)"));
            act();
        }
    };

    fuzz::ByteProgram& m_in;
    std::array<sim::Box, max_boxes> m_boxes; // before the rig: its boxes answer through them
    std::array<test::BoxScript, max_boxes> m_scripts;
    test::Rig m_rig{wc::install_all};
    test::FakePlatform& m_p = m_rig.p;
    Form1& m_f = m_rig.f;
    int m_box_count = 1 + m_in.below(max_boxes);
    std::vector<Control*> m_controls; // those an operator acts on
    std::vector<std::string> m_trail{std::to_string(m_box_count) + " boxes listed"};
    long m_events = 0;            // events that reached the console
    long m_disconnect_event = -2; // the event of the last Disconnect that on_stall pressed

public:
    explicit Session(fuzz::ByteProgram& in) : m_in(in) {
        // As a search leaves it: the boxes listed, the first one chosen, offline.
        m_rig.list_boxes(m_box_count);
        m_f.cbo_ipaddr.set_list_index(0);
        for (int k = 0; k < m_box_count; ++k) {
            m_scripts[k].respond = test::sim_responder(m_boxes[k], 0, "");
            m_scripts[k].speaks = sim::Faults{};
            m_p.add_box(test::Rig::address(k), m_scripts[k]);
        }
        m_p.set_scanner(true);
        scanner_finds(m_box_count);
        for (Control* control : m_f.controls()) {
            const Kind kind = control->kind();
            if (kind != Kind::frame && kind != Kind::label && kind != Kind::progress_bar) {
                m_controls.push_back(control);
            }
        }
        m_p.when_stalled = [this] { on_stall(); };
        m_p.before_event = [this] {
            ++m_events;
            if (!m_rig.c.idle()) {
                fail("an event reached the console while a handler ran");
            }
        };
        m_p.while_message_shown = [this](const test::Message& m) {
            m_trail.push_back("  message " + shown(m.text));
        };
    }

    void run() {
        check_window("start-up");
        try {
            while (!m_in.done()) {
                step();
            }
        } catch (const test::Stalled& stalled) {
            fail(stalled.what());
        }
    }

    void step() {
        const int op = m_in.below(8);
        if (op < 3) {
            const Action action = operator_action();
            action(m_trail, "operator: ");
            m_p.run_while([] { return true; }, m_p.now() + idle_limit_ms);
            check_window(action.what);
        } else if (op == 3) {
            const std::int64_t delay = m_in.byte() * delay_unit_ms;
            Action action = operator_action();
            m_trail.push_back("operator, " + std::to_string(delay) + " ms into what follows: " + action.what);
            m_p.at(delay, [this, action = std::move(action)] {
                action(m_trail, "  at " + std::to_string(m_p.now()) + " ms: ");
            });
        } else if (op == 4) {
            set_box();
        } else if (op == 5) {
            const int box = m_in.below(m_box_count);
            const std::int64_t delay = m_in.byte() * delay_unit_ms;
            const std::string text = m_in.text(longest_text);
            m_trail.push_back("box " + std::to_string(box) +
                              (text.empty() ? " drops its link" : " sends " + shown(text)) + " in " +
                              std::to_string(delay) + " ms");
            if (text.empty()) {
                m_p.drop(box, delay);
            } else {
                m_p.arrive(box, text, delay);
            }
        } else if (op == 6) {
            const bool yes = m_in.below(2) == 0;
            m_trail.push_back(std::string("the next question is answered ") + (yes ? "Yes" : "No"));
            m_p.answer(yes ? MsgAnswer::yes : MsgAnswer::no);
        } else {
            const bool present = m_in.below(4) != 0;
            const int found = m_in.below(m_box_count + 1);
            m_trail.push_back(present ? "the next search finds " + std::to_string(found) + " boxes"
                                      : "the scanner cannot be started");
            m_p.set_scanner(present);
            scanner_finds(found);
        }
    }

    Action operator_action() {
        Control& control =
            *m_controls[static_cast<std::size_t>(m_in.below(static_cast<int>(m_controls.size())))];
        const std::string name = control.name();
        switch (control.kind()) {
        case Kind::button:
            return {&control, name + " click", [&control] { static_cast<Button&>(control).user_click(); }};
        case Kind::check_box:
            return {&control, name + " click", [&control] { static_cast<CheckBox&>(control).user_click(); }};
        case Kind::option_button:
            return {&control, name + " click",
                    [&control] { static_cast<OptionButton&>(control).user_click(); }};
        case Kind::text_box: {
            std::string text = m_in.text(longest_text);
            return {&control, name + " type " + shown(text),
                    [&control, text] { static_cast<TextBox&>(control).user_type(text); }};
        }
        default:
            break;
        }
        auto& list = static_cast<ComboBox&>(control);
        const int how = m_in.below(3);
        if (how == 0) {
            const int pick = m_in.byte();
            return {&control, name + " choose entry " + std::to_string(pick) + " (modulo the entries)",
                    [&list, pick] {
                        if (list.list_count() > 0) {
                            list.user_choose(pick % list.list_count());
                        }
                    }};
        }
        if (how == 1) {
            std::string text = m_in.text(longest_text);
            return {&control, name + " edit " + shown(text), [&list, text] { list.user_edit(text); }};
        }
        const std::uint8_t code = m_in.byte();
        const int key = code < 128 ? key_enter : code;
        return {&control, name + " key " + std::to_string(key), [&list, key] { list.user_key(key); }};
    }

    // How a box connects and speaks from its next connection, as a wallsim box
    // with these options does. Bits 1-2: the line end (CR LF, LF, CR, none);
    // 4 echo, 8 byte by byte, 16 joined, 32 silent, 64 refused, 128 never
    // connected. A split byte of 128 or more makes it connect late.
    void set_box() {
        const int box = m_in.below(m_box_count);
        test::BoxScript& script = m_scripts[box];
        const std::uint8_t bits = m_in.byte();
        const std::uint8_t split = m_in.byte();
        sim::Faults& speaks = *script.speaks;
        speaks.line_end = static_cast<sim::LineEnd>(bits & 3);
        speaks.echo = (bits & 4) != 0;
        speaks.bytewise = (bits & 8) != 0;
        speaks.join = (bits & 16) != 0;
        speaks.split = split % 16;
        speaks.delay = std::chrono::milliseconds(m_in.byte() * delay_unit_ms);
        speaks.banner = m_in.text(longest_text);
        speaks.prompt = m_in.text(longest_text);
        const bool silent = (bits & 32) != 0;
        script.respond = silent ? test::Responder{} : test::sim_responder(m_boxes[box], 0, "");
        script.accepts = (bits & 64) == 0;
        script.answers = (bits & 128) == 0;
        script.connect_ms = split < 128 ? connect_ms : slow_ms;
        m_p.add_box(test::Rig::address(box), script);
        m_trail.push_back("box " + std::to_string(box) + " from its next connection: bits " +
                          std::to_string(bits) + ", split " + std::to_string(split) + ", delay " +
                          std::to_string(speaks.delay.count()) + " ms, banner " + shown(speaks.banner) +
                          ", prompt " + shown(speaks.prompt));
    }

    // The scanner's files list the first `found` boxes.
    void scanner_finds(int found) {
        std::vector<std::string> macs;
        std::vector<std::string> ips;
        for (int k = 0; k < found; ++k) {
            macs.push_back("00:11:22:33:44:" + std::to_string(10 + k));
            ips.push_back("192.168.001.0" + std::to_string(20 + k));
        }
        m_p.set_file("MAC.txt", macs);
        m_p.set_file("IP.txt", ips);
    }

    void on_stall() {
        if (m_rig.c.running() == 0) {
            return;
        }
        // Nothing but the Disconnect happened since it was pressed: it ended no wait.
        if (m_events == m_disconnect_event) {
            fail("a wait went on after Disconnect, with nothing left to end it");
        }
        if (!m_f.btn_discon.operable()) {
            fail("a wait had nothing left to end it, and Disconnect was not usable");
        }
        m_trail.push_back("  at " + std::to_string(m_p.now()) +
                          " ms the window waits for nothing: Disconnect");
        m_p.at(0, [this] {
            m_f.btn_discon.user_click();
            m_disconnect_event = m_events;
        });
    }

    void check_window(const std::string& after) {
        std::string wrong;
        auto expect = [&wrong](bool holds, const std::string& what) {
            if (!holds) {
                wrong += "\n  " + what;
            }
        };
        for (const Counter& counter : counters) {
            expect(m_f.*counter.value == 0,
                   std::string(counter.name) + " is " + std::to_string(m_f.*counter.value));
        }
        expect(m_rig.c.running() == 0, "a handler still waits");
        expect(!m_f.panels_locked, "the panels are locked");
        expect(!m_f.ProgressBar1.visible() && !m_f.ProgressBar2.visible(), "a progress bar is shown");
        expect(!m_f.lbl_con[2].visible(), "\"Connecting...\" is shown");
        expect(!m_f.Timer1.enabled(), "Timer1 runs with no connect waiting");
        expect(m_f.btn_sys_search.operable(), "Search MAC is not usable");
        expect(m_f.btn_con.operable() == m_f.btn_discon.operable(),
               "only one of Connect and Disconnect is usable");
        expect(m_f.cbo_ipaddr.list_count() == 0 || m_f.btn_con.operable(),
               "boxes are listed but Connect is not usable");
        const bool online = m_f.link_up;
        expect(m_f.discon_flag == (online ? 0 : 1), "link_up is " + std::to_string(online) +
                                                        " with discon_flag " +
                                                        std::to_string(m_f.discon_flag));
        expect(m_f.net_config.enabled() == online, "Network Configuration does not show the link");
        for (const Frame& page : m_f.frame_control) {
            expect(page.enabled() == online,
                   "page " + std::to_string(page.index()) + " does not show the link");
        }
        expect(m_f.btn_con.back_color() == (online ? color::green : color::button_face), "Connect's colour");
        expect(m_f.btn_discon.back_color() == (online ? color::button_face : color::red),
               "Disconnect's colour");
        if (!wrong.empty()) {
            fail("after " + after + ":" + wrong);
        }
    }

    void print_trail() const {
        for (const std::string& line : m_trail) {
            std::fprintf(stderr, "  %s\n", line.c_str());
        }
    }

    [[noreturn]] void fail(const std::string& what) {
        std::fprintf(stderr, "fuzz_console: %s\nwhat happened:\n", what.c_str());
        print_trail();
        std::abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteProgram in(data, size);
    Session session(in);
    session.run();
    // WALL_FUZZ_TRACE=1 shows what an input does, to read a reproducer or a seed.
    static const bool trace = std::getenv("WALL_FUZZ_TRACE") != nullptr;
    if (trace) {
        session.print_trail();
    }
    return 0;
}
