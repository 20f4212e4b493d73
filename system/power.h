#pragma once

// Switching the box's power and returning it to its factory settings.

#include "console/console.h"

namespace wc {

void install_power(Console& c);

Task<> power_ctl_Click(Console& c, int index);
Task<> btn_sys_fac_rst_Click(Console& c);

} // namespace wc
