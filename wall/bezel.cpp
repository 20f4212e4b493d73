#include "wall/bezel.h"

#include "console/link.h"
#include "link/protocol.h"
#include "link/settings.h"

#include <string>

namespace wc {

namespace {

// Read and write steps: 1 awaits the horizontal value, 5 the vertical one, 9 both arrived.
constexpr std::uint8_t awaits_h = 1;
constexpr std::uint8_t awaits_v = 5;
constexpr std::uint8_t both_done = 9;
// The switch read's steps, on bezel_read_step too.
constexpr std::uint8_t awaits_switch = 2;
constexpr std::uint8_t switch_done = 3;

constexpr const Setting& bezel_switch = named_setting("bezel");
constexpr const Setting& bezel_h = named_setting("bezel.h");
constexpr const Setting& bezel_v = named_setting("bezel.v");

bool all_ip(const Form1& f) {
    return f.Check1[2].ticked();
}

// A value the list has no entry for (above 255) leaves the selection as it
// was; the read still moves on.
void show_value(ComboBox& list, const Reply& reply) {
    if (reply.value() < list.list_count()) {
        list.set_list_index(reply.value());
    }
}

// The switch state is read on the bezel's own step, not on status_step: a
// hot key, the wall reset and Power hand status_step back to 0 (that ends a
// Power wait), which would leave this read's BEZE answer to nobody.
Task<> read_switch(Console& c, bool to_all) {
    Form1& f = c.f;
    const Exchange read(c, f.bezel_read_step, awaits_switch);
    send_chosen(c, to_all, bezel_switch.read);
    co_await wait_reply(c, f.bezel_read_step, switch_done);
}

} // namespace

void install_bezel(Console& c) {
    Form1& f = c.f;
    c.install(ParserSlot::bezel, parse_bezel_reply);
    c.install(ParserSlot::bezel_ack, parse_bezel_ack);
    f.btn_H_Bezel_send.on_click = c.handler([&c] { return btn_H_Bezel_send_Click(c); });
    f.btn_tvwall_refresh.on_click = c.handler([&c] { return bezel_value_readback(c); });
    for (auto& [index, option] : f.opt_bezel) {
        option->on_click = c.handler([&c, index = index] { return opt_bezel_Click(c, index); });
    }
}

Task<> bezel_value_readback(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    const Exchange read(c, f.bezel_read_step, awaits_h);
    send_one(c, bezel_h.read);
    co_await wait_reply(c, f.bezel_read_step, awaits_v);
    send_one(c, bezel_v.read);
    co_await wait_reply(c, f.bezel_read_step, both_done);
}

Task<> bezel_readback(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    f.ProgressBar1.set_value(40);
    co_await read_switch(c, false);
    f.ProgressBar1.set_value(60);
    co_await bezel_value_readback(c);
}

Task<> btn_H_Bezel_send_Click(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    if (f.wall_reset_step != 0 || f.bezel_read_step != 0 || f.status_step != 0) {
        co_return;
    }
    {
        const Exchange set(c, f.bezel_set_step, awaits_h);
        send_chosen(c, all_ip(f), set_line(bezel_h, f.cbo_val_H[1].list_index()));
        co_await wait_reply(c, f.bezel_set_step, awaits_v);
        send_chosen(c, all_ip(f), set_line(bezel_v, f.cbo_val_V[1].list_index()));
        co_await wait_reply(c, f.bezel_set_step, both_done);
    }
    co_await read_switch(c, all_ip(f));
}

Task<> opt_bezel_Click(Console& c, int index) {
    Form1& f = c.f;
    const bool by_code = c.raised_by_code();
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    // A BEZE answer shows the box's own switch: nothing goes back.
    if (!by_code) {
        send_chosen(c, all_ip(f), set_line(bezel_switch, index));
    }
}

void parse_bezel_reply(Console& c, const Reply& reply) {
    Form1& f = c.f;
    if (reply.key() == bezel_switch.key && f.bezel_read_step == awaits_switch) {
        f.opt_bezel[switched_on(reply) ? 1 : 0].choose();
        f.bezel_read_step = switch_done;
    } else if (reply.key() == bezel_h.key && f.bezel_read_step == awaits_h) {
        show_value(f.cbo_val_H[1], reply);
        f.bezel_read_step = awaits_v;
    } else if (reply.key() == bezel_v.key && f.bezel_read_step == awaits_v) {
        show_value(f.cbo_val_V[1], reply);
        f.bezel_read_step = both_done;
    }
}

void parse_bezel_ack(Console& c, const Reply& reply) {
    Form1& f = c.f;
    if (reply.key() == bezel_h.set_reply && f.bezel_set_step == awaits_h) {
        f.bezel_set_step = awaits_v;
    } else if (reply.key() == bezel_v.set_reply && f.bezel_set_step == awaits_v) {
        f.bezel_set_step = both_done;
    }
}

} // namespace wc
