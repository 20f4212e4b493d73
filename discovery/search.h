#pragma once

// "Search MAC": run the scanner, then build the device list, the address
// table and the ID list from its two output files.

#include "console/console.h"

namespace wc {

void install_discovery(Console& c);

Task<> btn_sys_search_Click(Console& c);

// Fills host_ip and its first three octets; false when the address has no
// three dots or an octet outside 0 to 255, so no /24 network can be taken from it.
bool read_host_ip(Console& c);

// One ID entry per listed box: " 0", " 1", ...
void fill_id_list(Console& c);

} // namespace wc
