#include "picture/readback.h"

#include "console/link.h"
#include "console/look.h"
#include "link/actions.h"
#include "link/protocol.h"
#include "picture/rows.h"

#include <string>

namespace wc {

namespace {

constexpr int refresh_button = 5;
constexpr int picture_reset_button = 4;

// Query k (1 to 16) reads row (k - 1) / 4 of output (k - 1) % 4 + 1.
const PictureRow& row_of(int query) {
    return picture_rows()[static_cast<std::size_t>((query - 1) / picture_outputs)];
}
int output_of(int query) {
    return (query - 1) % picture_outputs + 1;
}
constexpr int query_count = 4 * picture_outputs;
constexpr const Action& setting_reset = named_action("picture-setting-reset");

void reset_row(Form1& f, const PictureRow& row) {
    for (int output = 1; output <= picture_outputs; ++output) {
        (f.*row.lists)[output].set_list_index(setting_on(row, output).factory);
    }
}

} // namespace

void install_picture_readback(Console& c) {
    c.install(ParserSlot::picture, parse_picture_reply);
    c.install(ParserSlot::picture_reset, parse_picture_reset_reply);
    for (auto& [index, button] : c.f.btn_img_rst) {
        button->on_click = c.handler([&c, index = index] { return btn_img_rst_Click(c, index); });
    }
}

Task<> btn_img_rst_Click(Console& c, int index) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    if (index == refresh_button) {
        co_await picture_readback(c);
    } else if (index == picture_reset_button) {
        f.pic_reset_busy = 1;
        for (const PictureRow& row : picture_rows()) {
            reset_row(f, row);
        }
        // The whole picture always goes back on every box, whatever the rows' "ALL IP" say.
        send_all(c, named_action("picture-reset").word);
        f.pic_reset_busy = 0;
    } else {
        f.img_reset_step = 1;
        reset_row(f, picture_rows()[static_cast<std::size_t>(index)]);
        // The number names the setting; the box resets it on all four outputs.
        send_chosen(c, f.Chk_img[index].ticked(), action_text(setting_reset, std::array{index + 1}));
        f.img_reset_step = 0;
    }
}

Task<> picture_readback(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    const Disabled refresh(f.btn_img_rst[refresh_button]);
    const Exchange read(c, f.img_read_step, 1);
    for (int k = 1; k <= query_count; ++k) {
        send_one(c, setting_on(row_of(k), output_of(k)).read);
        co_await wait_reply(c, f.img_read_step, static_cast<std::uint8_t>(k + 1));
    }
}

void parse_picture_reply(Console& c, const Reply& reply) {
    Form1& f = c.f;
    const int step = f.img_read_step;
    if (step < 1 || step > query_count) {
        return;
    }
    // The answer carries no output: which list it fills follows from the step alone.
    const PictureRow& row = row_of(step);
    if (reply.key() != setting_on(row, output_of(step)).key) {
        return;
    }
    // A value without a list position keeps the selection; the step still
    // moves so that the read-back never waits for an answer already given.
    ComboBox& list = (f.*row.lists)[output_of(step)];
    if (reply.value() < list.list_count()) {
        list.set_list_index(reply.value());
    }
    // Moved only now, so the Click raised above still finds the read running.
    f.img_read_step = static_cast<std::uint8_t>(step + 1);
}

void parse_picture_reset_reply(Console& c, const Reply& reply) {
    if (reply.key() == setting_reset.ack && c.f.img_reset_step == 1) {
        c.f.img_reset_step = 2;
    }
}

} // namespace wc
