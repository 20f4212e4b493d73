#include "picture/settings.h"

#include "console/link.h"
#include "link/protocol.h"
#include "picture/rows.h"

#include <string>

namespace wc {

namespace {

// Values written by a read-back or a reset raise Click too; they came from
// the box or are being sent by the reset itself, so they are not sent back.
bool lists_being_written(const Form1& f) {
    return f.img_reset_step != 0 || f.img_read_step != 0 || f.pic_reset_busy != 0;
}

} // namespace

void install_picture_settings(Console& c) {
    const auto& rows = picture_rows();
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        for (auto& [output, list] : c.f.*rows[static_cast<std::size_t>(row)].lists) {
            list->on_click = c.event([&c, row, output = output] { cbo_image_Click(c, row, output); });
            list->on_key_down =
                c.event([&c, row, output = output](int key) { cbo_image_KeyDown(c, row, output, key); });
        }
    }
}

void cbo_image_Click(Console& c, int row, int output) {
    Form1& f = c.f;
    if (!check_link(c)) {
        return;
    }
    if (lists_being_written(f)) {
        return;
    }
    const PictureRow& r = picture_rows()[static_cast<std::size_t>(row)];
    const int position = (f.*r.lists)[output].list_index();
    send_chosen(c, f.Chk_img[row].ticked(), set_line(setting_on(r, output), position));
}

void cbo_image_KeyDown(Console& c, int row, int output, int key) {
    Form1& f = c.f;
    // Every key is checked, not only Enter, so a dead link shows at once.
    if (!check_link(c)) {
        return;
    }
    if (key != key_enter) {
        return;
    }
    const PictureRow& r = picture_rows()[static_cast<std::size_t>(row)];
    const std::string typed = (f.*r.lists)[output].text();
    std::optional<double> value = numeric_value(typed);
    // The bounds are exclusive, so fractions such as 100.5 or -0.5 pass.
    if (!value || *value <= -1 || *value >= 101) {
        c.message("Please type 0 ~ 100", MsgIcon::exclamation);
        return;
    }
    // Typed text goes to the selected box only, exactly as typed.
    send_one(c, set_line(setting_on(r, output), typed));
}

} // namespace wc
