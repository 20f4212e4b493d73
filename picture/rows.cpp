#include "picture/rows.h"

namespace wc {

const std::array<PictureRow, 4>& picture_rows() {
    static const std::array<PictureRow, 4> rows{{
        {&Form1::cbo_image_bri, picture_setting("brightness")},
        {&Form1::cbo_image_con, picture_setting("contrast")},
        {&Form1::cbo_image_sat, picture_setting("saturation")},
        {&Form1::cbo_image_hue, picture_setting("hue")},
    }};
    return rows;
}

const Setting& setting_on(const PictureRow& row, int output) {
    return row.outputs[static_cast<std::size_t>(output - 1)];
}

} // namespace wc
