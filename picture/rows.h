#pragma once

// The four rows of the "Image Adjust" page. A row's index is also its
// "ALL IP" box Chk_img(row), its reset button btn_img_rst(row) and, plus one,
// the setting number of its reset command.

#include "form/form.h"

#include <array>
#include <string_view>

namespace wc {

inline constexpr int picture_outputs = 4; // lists 1 to 4 are outputs A to D

struct PictureRow {
    ControlArray<ComboBox> Form1::*lists;
    std::string_view set_word;  // followed by the output and the value
    std::string_view query;     // followed by the output
    std::string_view reply_key; // at characters 8 to 11 of the answer
};

const std::array<PictureRow, 4>& picture_rows();

} // namespace wc
