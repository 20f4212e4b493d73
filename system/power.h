#pragma once

// Switching the box's power and returning it to its factory settings.

#include "console/console.h"

namespace wc {

void install_power(Console& c);

void power_ctl_Click(Console& c, int index);
void btn_sys_fac_rst_Click(Console& c);

} // namespace wc
