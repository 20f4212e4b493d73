#include "console/link.h"
#include "console/look.h"
#include "io/io.h"
#include "link/actions.h"
#include "link/protocol.h"
#include "link/settings.h"

#include <cstdint>

namespace wc {

namespace {

struct Step {
    const Setting* setting;    // its read line and reply key; a list starts at its lowest value
    ComboBox* (*list)(Form1&); // none for mute, which chooses an option
};

// Step k (from 1) is awaited while io_read_step is k; its reply moves it to k + 1.
const Step steps[] = {
    {&named_setting("resolution"), [](Form1& f) { return &f.cbo_reso; }},
    {&named_setting("osd.display"), [](Form1& f) { return &f.cbo_info_play; }},
    {&named_setting("osd.timeout"), [](Form1& f) { return &f.cbo_osd_time; }},
    {&named_setting("osd.h"), [](Form1& f) { return &f.cbo_osd[0]; }},
    {&named_setting("osd.v"), [](Form1& f) { return &f.cbo_osd[1]; }},
    {&named_setting("osd.gain"), [](Form1& f) { return &f.cbo_osd_gain; }},
    {&named_setting("mute"), nullptr},
};
constexpr const Action& osd_reset = named_action("osd-reset");
constexpr const Action& osd_info = named_action("osd-info");
constexpr std::uint8_t step_count = static_cast<std::uint8_t>(std::size(steps));

void show_value(Form1& f, const Step& step, const Reply& reply) {
    if (step.list == nullptr) {
        f.opt_mute[reply.value() == 1 ? 1 : 0].choose();
        return;
    }
    // A value the list has no entry for keeps the shown one.
    ComboBox& list = *step.list(f);
    const int position = reply.value() - step.setting->lo;
    if (position >= 0 && position < list.list_count()) {
        list.set_list_index(position);
    }
}

void show_factory_value(Form1& f, const Step& step) {
    if (step.list == nullptr) {
        f.opt_mute[step.setting->factory].choose();
        return;
    }
    step.list(f)->set_list_index(step.setting->factory - step.setting->lo);
}

Task<> reset_osd(Console& c) {
    Form1& f = c.f;
    const bool all =
        co_await c.message("Reset All IP ?", MsgIcon::question, MsgButtons::yes_no) == MsgAnswer::yes;
    f.io_reset_step = 1;
    // The page shows what the reset leaves on the box: everything but the resolution at its factory value.
    for (const Step& step : steps) {
        if (step.setting != &named_setting("resolution")) {
            show_factory_value(f, step);
        }
    }
    send_chosen(c, all, osd_reset.word);
    f.io_reset_step = 0;
}

} // namespace

Task<> io_readback(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    const Disabled refresh(f.btn_io_rst[0]);
    const Exchange read(c, f.io_read_step, 1);
    for (std::uint8_t k = 0; k < step_count; ++k) {
        send_one(c, steps[k].setting->read);
        co_await wait_reply(c, f.io_read_step, static_cast<std::uint8_t>(k + 2));
    }
}

void parse_io_reply(Console& c, const Reply& reply) {
    Form1& f = c.f;
    if (f.io_read_step >= 1 && f.io_read_step <= step_count) {
        const Step& step = steps[f.io_read_step - 1];
        if (reply.key() == step.setting->key) {
            show_value(f, step, reply);
            ++f.io_read_step;
            return;
        }
    }
    if (reply.key() == osd_info.ack && f.osd_info_step == 1) {
        f.osd_info_step = 2;
    }
}

void parse_osd_reset_reply(Console& c, const Reply& reply) {
    if (reply.key() == osd_reset.ack && c.f.io_reset_step == 1) {
        c.f.io_reset_step = 2;
    }
}

Task<> btn_io_rst_Click(Console& c, int index) {
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    switch (index) {
    case 0:
        co_await io_readback(c);
        break;
    case 1:
        co_await reset_osd(c);
        break;
    case 2:
        // Every listed box shows its OSD information, whatever the "ALL IP" boxes say.
        send_all(c, osd_info.word);
        break;
    default:
        break;
    }
}

} // namespace wc
