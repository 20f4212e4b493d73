#pragma once

// Reading the sixteen picture values back from the selected box, and the
// row and whole-picture resets.

#include "console/console.h"

#include <string>

namespace wc {

void install_picture_readback(Console& c);

// 0 to 3: reset one row; 4 "Picture Reset"; 5 "Refresh".
Task<> btn_img_rst_Click(Console& c, int index);
Task<> picture_readback(Console& c);

// BRIV/CONV/SATV/HUEV at characters 8 to 11 while img_read_step awaits them.
void parse_picture_reply(Console& c, const Reply& reply);
// IMRE while a row reset runs.
void parse_picture_reset_reply(Console& c, const Reply& reply);

} // namespace wc
