#pragma once

// Power state, ID number, bezel switch and firmware version of the selected box.

#include "console/console.h"

#include <string>

namespace wc {

void install_status(Console& c);

Task<> status_readback(Console& c);
void parse_status_reply(Console& c, const Reply& reply);
Task<> cbo_model_Click(Console& c);

} // namespace wc
