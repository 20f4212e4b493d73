#pragma once

// The "Network Configuration" frame: the selected box's address type,
// address, mask and gateway, read back and set, and the re-link.

#include "console/console.h"

#include <string>

namespace wc {

void install_network(Console& c);

// The body of "Get IP"; also a step of the full refresh.
Task<> ip_readback(Console& c);
void parse_ip_reply(Console& c, const Reply& reply);

Task<> btn_ip_set_Click(Console& c);
// Sends the type the operator chose; a type that a read-back shows is not sent back.
Task<> cbo_ip_type_Click(Console& c);
// Acknowledgements of the address writes, and of the factory reset ("DEFA").
void parse_ip_ack(Console& c, const Reply& reply);

Task<> btn_ip_relink_Click(Console& c);

} // namespace wc
