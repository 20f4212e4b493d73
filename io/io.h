#pragma once

// The "I/O Setup" page: output resolution, OSD settings and mute, sent as the
// operator chooses or types them, read back from the box, and reset.

#include "console/console.h"

#include <string>

namespace wc {

void install_io(Console& c);

// The settings of the page, one row each; a choice sends its row's line.
enum class IoSetting { reso, info_play, osd_h, osd_v, osd_time, osd_gain, mute_off, mute_on };

// A list entry or mute option was chosen: the operator's choice is sent; a
// value that a read-back or the reset shows is not sent back.
Task<> io_setting_Click(Console& c, IoSetting setting);
// A key in the edit field of an editable list (the offsets and the gain):
// Enter sends the text as typed once it reads as a value of the list.
Task<> io_setting_KeyDown(Console& c, IoSetting setting, int key);

// Seven queries, each sent once the previous answer arrived.
Task<> io_readback(Console& c);
// Index 0 "Refresh", 1 "Reset", 2 "OSD Info".
Task<> btn_io_rst_Click(Console& c, int index);
void parse_io_reply(Console& c, const Reply& reply);
void parse_osd_reset_reply(Console& c, const Reply& reply);

} // namespace wc
