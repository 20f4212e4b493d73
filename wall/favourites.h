#pragma once

// The five favourite slots that every box keeps of its wall settings.

#include "console/console.h"

#include <string>

namespace wc {

void install_favourites(Console& c);

Task<> btn_save_Click(Console& c, int slot);
Task<> btn_recall_Click(Console& c, int slot);

// The recall's answer (RFAV) and the manual layout's acknowledgement (MNC).
void parse_fav_reply(Console& c, const Reply& reply);

} // namespace wc
