#include "picture/settings.h"

#include "console/link.h"
#include "link/protocol.h"
#include "picture/rows.h"

#include <string>

namespace wc {

void install_picture_settings(Console& c) {
    const auto& rows = picture_rows();
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        for (auto& [output, list] : c.f.*rows[static_cast<std::size_t>(row)].lists) {
            list->on_click =
                c.handler([&c, row, output = output] { return cbo_image_Click(c, row, output); });
            list->on_key_down = c.handler(
                [&c, row, output = output](int key) { return cbo_image_KeyDown(c, row, output, key); });
        }
    }
}

Task<> cbo_image_Click(Console& c, int row, int output) {
    Form1& f = c.f;
    const bool by_code = c.raised_by_code();
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    // Values that a read-back or a reset writes into the lists came from the
    // box or go to it with the reset: they are not sent back.
    if (by_code) {
        co_return;
    }
    const PictureRow& r = picture_rows()[static_cast<std::size_t>(row)];
    const int position = (f.*r.lists)[output].list_index();
    send_chosen(c, f.Chk_img[row].ticked(), set_line(setting_on(r, output), position));
}

Task<> cbo_image_KeyDown(Console& c, int row, int output, int key) {
    Form1& f = c.f;
    // Every key is checked, not only Enter, so a dead link shows at once.
    const bool linked = co_await check_link(c);
    if (!linked || key != key_enter) {
        co_return;
    }
    const PictureRow& r = picture_rows()[static_cast<std::size_t>(row)];
    const std::string typed = (f.*r.lists)[output].text();
    std::optional<double> value = numeric_value(typed);
    // The bounds are exclusive, so fractions such as 100.5 or -0.5 pass.
    if (!value || *value <= -1 || *value >= 101) {
        co_await c.message("Please type 0 ~ 100", MsgIcon::exclamation);
        co_return;
    }
    // Typed text goes to the selected box only, exactly as typed.
    send_one(c, set_line(setting_on(r, output), typed));
}

} // namespace wc
