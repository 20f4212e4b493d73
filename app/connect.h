#pragma once

// From a device list to a live console: Connect, switching boxes while
// connected, and the full refresh that reads the selected box's whole state.

#include "console/console.h"

namespace wc {

void install_connect(Console& c);

// Connect and a box switch take the link over: every other handler ends where it waits.
Task<> btn_con_Click(Console& c);
Task<> cbo_ipaddr_Click(Console& c);
Task<> btn_sys_refresh_Click(Console& c);

// Status, network, bezel values and I/O, in that order, with the panels
// locked and ProgressBar1 at 0, 30, 60, 85 and 100.
Task<> refresh_all(Console& c);

} // namespace wc
