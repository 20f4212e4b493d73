#include "wall/layout.h"

#include "console/link.h"
#include "link/actions.h"
#include "link/protocol.h"
#include "link/settings.h"

#include <array>
#include <string>

namespace wc {

namespace {

constexpr const Action& layout = named_action("layout");
constexpr const Action& hotkey = named_action("hotkey");
constexpr const Action& wall_reset = named_action("wall-reset");
constexpr int most_screens = layout.hi;

void take_chosen(const ComboBox& list, std::uint8_t& value) {
    // Entry k - 1 holds k; no selection gives 0, which Send refuses.
    value = static_cast<std::uint8_t>(list.list_index() + 1);
}

// Change comes with every edit, so a half-typed number is taken and then
// replaced or refused as typing goes on. A fraction is rounded, which may give
// 0 or 16: Send refuses those.
Task<> take_typed(Console& c, const ComboBox& list, std::uint8_t& value) {
    std::optional<double> typed = numeric_value(list.text());
    if (!typed || *typed <= 0 || *typed >= most_screens + 1) {
        co_await c.message("Please type 1 ~ 15!", MsgIcon::exclamation);
        co_return;
    }
    value = static_cast<std::uint8_t>(round_half_even(*typed));
}

bool on_wall(std::uint8_t screens) {
    return screens >= layout.lo && screens <= most_screens;
}

} // namespace

void install_layout(Console& c) {
    Form1& f = c.f;
    c.install(ParserSlot::wall, parse_wall_reply);
    f.cbo_tv_row.on_click = c.handler([&c] { cbo_tv_row_Click(c); });
    f.cbo_tv_col.on_click = c.handler([&c] { cbo_tv_col_Click(c); });
    f.cbo_tv_row.on_change = c.handler([&c] { return cbo_tv_row_Change(c); });
    f.cbo_tv_col.on_change = c.handler([&c] { return cbo_tv_col_Change(c); });
    f.btn_tvwall_send.on_click = c.handler([&c] { return btn_tvwall_send_Click(c); });
    f.btn_tvwall_reset.on_click = c.handler([&c] { return btn_tvwall_reset_Click(c); });
    for (auto& [index, button] : f.btn_tv_fs) {
        button->on_click = c.handler([&c, index = index] { return btn_tv_fs_Click(c, index); });
    }
}

void cbo_tv_row_Click(Console& c) {
    take_chosen(c.f.cbo_tv_row, c.f.tv_row_value);
}

void cbo_tv_col_Click(Console& c) {
    take_chosen(c.f.cbo_tv_col, c.f.tv_col_value);
}

Task<> cbo_tv_row_Change(Console& c) {
    return take_typed(c, c.f.cbo_tv_row, c.f.tv_row_value);
}

Task<> cbo_tv_col_Change(Console& c) {
    return take_typed(c, c.f.cbo_tv_col, c.f.tv_col_value);
}

Task<> btn_tvwall_send_Click(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    if (!on_wall(f.tv_row_value) || !on_wall(f.tv_col_value)) {
        co_await c.message("Please choose the correct values !", MsgIcon::exclamation);
        co_return;
    }
    const std::string line = action_text(layout, std::array<int, 2>{f.tv_row_value, f.tv_col_value});
    f.wall_send_step = 1;
    send_chosen(c, f.chk_tv_allip[0].ticked(), line);
    f.wall_send_step = 0;
}

Task<> btn_tv_fs_Click(Console& c, int index) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    f.hotkey_step = 1;
    send_all(c, action_text(hotkey, std::array{index}));
    f.hotkey_step = 0;
    f.status_step = 0;
}

Task<> btn_tvwall_reset_Click(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    f.wall_reset_step = 1;
    // The window shows the bezel values that a wall reset leaves on the box.
    f.cbo_val_H[1].set_list_index(named_setting("bezel.h").factory);
    f.cbo_val_V[1].set_list_index(named_setting("bezel.v").factory);
    send_all(c, wall_reset.word);
    f.wall_reset_step = 0;
    f.status_step = 0;
}

void parse_wall_reply(Console& c, const Reply& reply) {
    Form1& f = c.f;
    if (reply.key() == wall_reset.ack && f.wall_reset_step == 1) {
        f.wall_reset_step = 2;
    } else if (reply.key() == hotkey.ack && f.hotkey_step == 1) {
        f.hotkey_step = 2;
    }
}

} // namespace wc
