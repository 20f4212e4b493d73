// fuzz_console: an operator and up to four misbehaving boxes, decoded from one
// byte program, drive the whole console core on the deterministic platform of
// the tests, each box being the simulated box. After every top-level action,
// once everything it set going is over, the window must be one an operator can
// rely on; anything else aborts with what was done and what is wrong.
//
// The first byte says how many boxes are listed; then, operation after operation:
//   an operator action at top level: a control, and what is done to it;
//   an operator action that lands some time into the waits of what follows;
//   how a box answers from now on: normally, not at all, after garbage, split
//     in two, twice, joined with its next answer, or late;
//   the link of a box: dropped, connects refused, never completed or slow,
//     back to normal, or bytes arriving unasked;
//   the answer to the next Yes/No question;
//   what the next search finds.
// A wait that nothing will ever end gets the operator's Disconnect, which is
// how an operator leaves a box that stopped answering; no wait may outlive
// it. Events reach the console only while no handler runs: no handler ever
// runs inside another.

#include "app/app.h"
#include "byte_program.h"
#include "rig.h"
#include "sim/box.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace wc;
using test::BoxScript;
using test::Chunk;

constexpr int max_boxes = 4;
constexpr int reply_ms = 10;
constexpr int split_gap_ms = 50;
constexpr int joined_wait_ms = 200; // a joined answer without a partner leaves alone after this
constexpr int connect_ms = 20;
constexpr int slow_ms = 20'000; // past the 15 s connect time-out
constexpr std::int64_t delay_unit_ms = 100;
constexpr std::int64_t idle_limit_ms = 24LL * 3600 * 1000;
constexpr std::size_t longest_text = 24;

enum class Answering : std::uint8_t {
    normally,
    not_at_all,
    after_garbage,
    split,
    twice,
    joined,
    late,
    count
};

struct SimulatedBox {
    sim::Box box;
    Answering answering = Answering::normally;
    std::string garbage;
    std::size_t split_at = 1;
    std::string held; // a joined answer waiting for its partner
    BoxScript script;
};

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
    std::string out = "\"";
    for (char c : text) {
        if (c >= ' ' && c <= '~' && c != '"' && c != '\\') {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            out += escaped;
        }
    }
    return out + "\"";
}

class Session {
public:
    explicit Session(fuzz::ByteProgram& in);
    void run();
    void print_trail() const;

private:
    struct Action {
        Control* control;
        std::string what;
        std::function<void()> act;
        // What happened, for the trail: an action on an unusable control does nothing.
        std::string done() const { return control->operable() ? what : what + " (not usable)"; }
    };

    void step();
    Action operator_action();
    Action control_action(Control& control);
    std::vector<Chunk> answer(int box, const std::string& line);
    void set_answering();
    void link_event();
    void search_finds();
    void scanner_finds(int found);
    void on_stall();
    void check_window(const std::string& after);
    [[noreturn]] void fail(const std::string& what);

    fuzz::ByteProgram& m_in;
    std::array<SimulatedBox, max_boxes> m_boxes; // before the rig: its boxes answer through them
    test::Rig m_rig{wc::install_all};
    test::FakePlatform& m_p = m_rig.p;
    Form1& m_f = m_rig.f;
    int m_box_count = 1;
    std::vector<Control*> m_controls; // those an operator acts on
    std::vector<std::string> m_trail;
    long m_events = 0;            // events that reached the console
    long m_disconnect_event = -2; // the event of the last Disconnect that on_stall pressed
};

Session::Session(fuzz::ByteProgram& in) : m_in(in) {
    m_box_count = 1 + m_in.below(max_boxes);
    // As a search leaves it: the boxes listed, the first one chosen, offline.
    m_rig.list_boxes(m_box_count);
    m_f.cbo_ipaddr.set_list_index(0);
    for (int k = 0; k < m_box_count; ++k) {
        m_boxes[static_cast<std::size_t>(k)].script =
            BoxScript{true, true, connect_ms, [this, k](const std::string& line) { return answer(k, line); }};
        m_p.add_box(test::Rig::address(k), m_boxes[static_cast<std::size_t>(k)].script);
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
    m_p.while_message_shown = [this](const test::Message& message) {
        m_trail.push_back("  message: " + shown(message.text));
    };
    m_trail.push_back(std::to_string(m_box_count) + " boxes listed");
}

void Session::run() {
    check_window("start-up");
    try {
        while (!m_in.done()) {
            step();
        }
    } catch (const test::Stalled& stalled) {
        fail(stalled.what());
    }
}

void Session::step() {
    switch (m_in.below(8)) {
    case 0:
    case 1:
    case 2: {
        const Action action = operator_action();
        m_trail.push_back("operator: " + action.done());
        action.act();
        m_p.run_while([] { return true; }, m_p.now() + idle_limit_ms);
        check_window(action.what);
        break;
    }
    case 3: {
        const std::int64_t delay = m_in.byte() * delay_unit_ms;
        Action action = operator_action();
        m_trail.push_back("operator, " + std::to_string(delay) + " ms into what follows: " + action.what);
        m_p.at(delay, [this, action = std::move(action)] {
            m_trail.push_back("  at " + std::to_string(m_p.now()) + " ms: " + action.done());
            action.act();
        });
        break;
    }
    case 4:
        set_answering();
        break;
    case 5:
        link_event();
        break;
    case 6: {
        const bool yes = m_in.below(2) == 0;
        m_trail.push_back(std::string("the next question is answered ") + (yes ? "Yes" : "No"));
        m_p.answer(yes ? MsgAnswer::yes : MsgAnswer::no);
        break;
    }
    default:
        search_finds();
        break;
    }
}

Session::Action Session::operator_action() {
    return control_action(
        *m_controls[static_cast<std::size_t>(m_in.below(static_cast<int>(m_controls.size())))]);
}

Session::Action Session::control_action(Control& control) {
    const std::string name = control.name();
    switch (control.kind()) {
    case Kind::button:
        return {&control, name + " click", [&control] { static_cast<Button&>(control).user_click(); }};
    case Kind::check_box:
        return {&control, name + " click", [&control] { static_cast<CheckBox&>(control).user_click(); }};
    case Kind::option_button:
        return {&control, name + " click", [&control] { static_cast<OptionButton&>(control).user_click(); }};
    case Kind::text_box: {
        std::string text = m_in.text(longest_text);
        return {&control, name + " type " + shown(text),
                [&control, text] { static_cast<TextBox&>(control).user_type(text); }};
    }
    default:
        break;
    }
    auto& list = static_cast<ComboBox&>(control);
    switch (m_in.below(3)) {
    case 0: {
        const int pick = m_in.byte();
        return {&control, name + " choose entry " + std::to_string(pick) + " (modulo the entries)",
                [&list, pick] {
                    if (list.list_count() > 0) {
                        list.user_choose(pick % list.list_count());
                    }
                }};
    }
    case 1: {
        std::string text = m_in.text(longest_text);
        return {&control, name + " edit " + shown(text), [&list, text] { list.user_edit(text); }};
    }
    default: {
        const std::uint8_t code = m_in.byte();
        const int key = code < 128 ? key_enter : code;
        return {&control, name + " key " + std::to_string(key), [&list, key] { list.user_key(key); }};
    }
    }
}

std::vector<Chunk> Session::answer(int box, const std::string& line) {
    SimulatedBox& b = m_boxes[static_cast<std::size_t>(box)];
    std::vector<Chunk> replies;
    for (std::string& text : b.box.handle_line(line)) {
        text += "\r\n";
        switch (b.answering) {
        case Answering::normally:
        case Answering::count:
            replies.push_back({std::move(text), reply_ms});
            break;
        case Answering::not_at_all:
            break;
        case Answering::after_garbage:
            replies.push_back({b.garbage, reply_ms});
            replies.push_back({std::move(text), reply_ms});
            break;
        case Answering::split: {
            const std::size_t at = std::min(b.split_at, text.size() - 1);
            replies.push_back({text.substr(0, at), reply_ms});
            replies.push_back({text.substr(at), split_gap_ms});
            break;
        }
        case Answering::twice:
            replies.push_back({text, reply_ms});
            replies.push_back({std::move(text), reply_ms});
            break;
        case Answering::joined:
            if (b.held.empty()) {
                b.held = std::move(text);
                m_p.at(joined_wait_ms, [this, box] {
                    std::string& held = m_boxes[static_cast<std::size_t>(box)].held;
                    if (!held.empty()) {
                        m_p.arrive(box, std::exchange(held, {}));
                    }
                });
            } else {
                replies.push_back({std::exchange(b.held, {}) + text, reply_ms});
            }
            break;
        case Answering::late:
            replies.push_back({std::move(text), slow_ms});
            break;
        }
    }
    return replies;
}

void Session::set_answering() {
    const int box = m_in.below(m_box_count);
    SimulatedBox& b = m_boxes[static_cast<std::size_t>(box)];
    b.answering = static_cast<Answering>(m_in.below(static_cast<int>(Answering::count)));
    static const char* const names[] = {"normally", "not at all",      "after garbage", "split",
                                        "twice",    "joined in pairs", "late"};
    std::string what = names[static_cast<std::size_t>(b.answering)];
    if (b.answering == Answering::after_garbage) {
        // Garbage is never empty: the platform delivers no empty chunks.
        b.garbage = m_in.text(longest_text) + "\x7F";
        what += " " + shown(b.garbage);
    } else if (b.answering == Answering::split) {
        b.split_at = 1 + static_cast<std::size_t>(m_in.below(16));
        what += " after " + std::to_string(b.split_at) + " characters";
    }
    m_trail.push_back("box " + std::to_string(box) + " answers " + what);
}

void Session::link_event() {
    const int box = m_in.below(m_box_count);
    BoxScript& script = m_boxes[static_cast<std::size_t>(box)].script;
    const std::string which = "box " + std::to_string(box) + ": ";
    const std::int64_t delay = m_in.byte() * delay_unit_ms;
    switch (m_in.below(6)) {
    case 0:
        m_trail.push_back(which + "drops its link in " + std::to_string(delay) + " ms");
        m_p.drop(box, delay);
        return;
    case 1: {
        std::string text = m_in.text(longest_text) + "\r\n";
        m_trail.push_back(which + "sends " + shown(text) + " unasked in " + std::to_string(delay) + " ms");
        m_p.arrive(box, std::move(text), delay);
        return;
    }
    case 2:
        m_trail.push_back(which + "refuses connections");
        script.accepts = false;
        break;
    case 3:
        m_trail.push_back(which + "never completes a connection");
        script.answers = false;
        break;
    case 4:
        m_trail.push_back(which + "connects late");
        script.connect_ms = slow_ms;
        break;
    default:
        m_trail.push_back(which + "connects normally");
        script.accepts = true;
        script.answers = true;
        script.connect_ms = connect_ms;
        break;
    }
    m_p.add_box(test::Rig::address(box), script);
}

void Session::search_finds() {
    const bool present = m_in.below(4) != 0;
    const int found = m_in.below(m_box_count + 1);
    m_trail.push_back(present ? "the next search finds " + std::to_string(found) + " boxes"
                              : "the scanner cannot be started");
    m_p.set_scanner(present);
    scanner_finds(found);
}

// The scanner's files list the first `found` boxes.
void Session::scanner_finds(int found) {
    std::vector<std::string> macs;
    std::vector<std::string> ips;
    for (int k = 0; k < found; ++k) {
        macs.push_back("00:11:22:33:44:" + std::to_string(10 + k));
        ips.push_back("192.168.001.0" + std::to_string(20 + k));
    }
    m_p.set_file("MAC.txt", macs);
    m_p.set_file("IP.txt", ips);
}

void Session::on_stall() {
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
    m_trail.push_back("  at " + std::to_string(m_p.now()) + " ms the window waits for nothing: Disconnect");
    m_p.at(0, [this] {
        m_f.btn_discon.user_click();
        m_disconnect_event = m_events;
    });
}

void Session::check_window(const std::string& after) {
    std::vector<std::string> wrong;
    auto expect = [&wrong](bool holds, const std::string& what) {
        if (!holds) {
            wrong.push_back(what);
        }
    };
    for (const Counter& counter : counters) {
        const int value = m_f.*counter.value;
        expect(value == 0, std::string(counter.name) + " is " + std::to_string(value));
    }
    expect(m_rig.c.running() == 0, "a handler still waits");
    expect(!m_f.panels_locked, "the panels are locked");
    expect(!m_f.ProgressBar1.visible(), "ProgressBar1 is shown");
    expect(!m_f.ProgressBar2.visible(), "ProgressBar2 is shown");
    expect(!m_f.lbl_con[2].visible(), "\"Connecting...\" is shown");
    expect(!m_f.Timer1.enabled(), "Timer1 runs with no connect waiting");
    expect(m_f.btn_sys_search.operable(), "Search MAC is not usable");
    expect(m_f.btn_con.operable() == m_f.btn_discon.operable(),
           "only one of Connect and Disconnect is usable");
    expect(m_f.cbo_ipaddr.list_count() == 0 || m_f.btn_con.operable(),
           "boxes are listed but Connect is not usable");
    const bool online = m_f.link_up;
    expect(m_f.discon_flag == (online ? 0 : 1),
           "link_up is " + std::to_string(online) + " with discon_flag " + std::to_string(m_f.discon_flag));
    expect(!online || m_f.btn_discon.operable(), "online without a usable Disconnect");
    expect(m_f.net_config.enabled() == online, "Network Configuration does not show the link");
    for (const Frame& page : m_f.frame_control) {
        expect(page.enabled() == online, "page " + std::to_string(page.index()) + " does not show the link");
    }
    expect(m_f.btn_con.back_color() == (online ? color::green : color::button_face), "Connect's colour");
    expect(m_f.btn_discon.back_color() == (online ? color::button_face : color::red), "Disconnect's colour");
    if (!wrong.empty()) {
        std::string what = "after " + after + ":";
        for (const std::string& w : wrong) {
            what += "\n  " + w;
        }
        fail(what);
    }
}

void Session::print_trail() const {
    for (const std::string& line : m_trail) {
        std::fprintf(stderr, "  %s\n", line.c_str());
    }
}

void Session::fail(const std::string& what) {
    std::fprintf(stderr, "fuzz_console: %s\nwhat happened:\n", what.c_str());
    print_trail();
    std::abort();
}

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
