#pragma once

// Brightness, contrast, saturation and hue of each output, sent as they are
// chosen or typed. One Click and one KeyDown handler serve all sixteen lists;
// the row (picture_rows()) says which setting, the output which list.

#include "console/console.h"

namespace wc {

void install_picture_settings(Console& c);

// The operator's choice is sent; a value that a read-back or a reset shows is not sent back.
Task<> cbo_image_Click(Console& c, int row, int output);
Task<> cbo_image_KeyDown(Console& c, int row, int output, int key);

} // namespace wc
