#pragma once

// From a device list to a live console: Connect, switching boxes while
// connected, and the full refresh that reads the selected box's whole state.

#include "console/console.h"

namespace wc {

void install_connect(Console& c);

void btn_con_Click(Console& c);
void cbo_ipaddr_Click(Console& c);
void btn_sys_refresh_Click(Console& c);

// Status, network, bezel values and I/O, in that order, with the panels
// locked and ProgressBar1 at 0, 30, 60, 85 and 100. Refused without a word
// while another exchange waits on the link (read_may_start).
void refresh_all(Console& c);

} // namespace wc
