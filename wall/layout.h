#pragma once

// The wall's size: the manual layout, the 24 layout hot keys and the wall reset.

#include "console/console.h"

#include <string>

namespace wc {

void install_layout(Console& c);

void cbo_tv_row_Click(Console& c);
void cbo_tv_col_Click(Console& c);
Task<> cbo_tv_row_Change(Console& c);
Task<> cbo_tv_col_Change(Console& c);
Task<> btn_tvwall_send_Click(Console& c);
Task<> btn_tv_fs_Click(Console& c, int index);
Task<> btn_tvwall_reset_Click(Console& c);

// Acknowledgements of the wall reset (WDEF) and the hot keys (HOTK).
void parse_wall_reply(Console& c, const Reply& reply);

} // namespace wc
