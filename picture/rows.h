#pragma once

// The four rows of the "Image Adjust" page. A row's index is also its
// "ALL IP" box Chk_img(row), its reset button btn_img_rst(row) and, plus one,
// the setting number of its reset command.

#include "form/form.h"
#include "link/settings.h"

#include <array>
#include <span>

namespace wc {

// Lists 1 to picture_outputs of a row are outputs A to D.
struct PictureRow {
    ControlArray<ComboBox> Form1::*lists;
    std::span<const Setting, picture_outputs> outputs; // OUT A .. OUT D
};

const std::array<PictureRow, 4>& picture_rows();

// The row's setting on output 1 to 4: its set and read lines, its reply key.
const Setting& setting_on(const PictureRow& row, int output);

} // namespace wc
