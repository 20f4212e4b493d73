#include "picture/rows.h"

namespace wc {

const std::array<PictureRow, 4>& picture_rows() {
    static const std::array<PictureRow, 4> rows{{
        {&Form1::cbo_image_bri, "SBRI", "RBRI", "BRIV"},
        {&Form1::cbo_image_con, "SCON", "RCON", "CONV"},
        {&Form1::cbo_image_sat, "SSAT", "RSAT", "SATV"},
        {&Form1::cbo_image_hue, "SHUE", "RHUE", "HUEV"},
    }};
    return rows;
}

} // namespace wc
