#pragma once

// Bezel correction: the horizontal and vertical values, the switch, and the
// two read-backs that the full refresh and the favourite recall run.

#include "console/console.h"

#include <string>

namespace wc {

void install_bezel(Console& c);

// Reads the two values of the selected box into cbo_val_H(1) and cbo_val_V(1).
Task<> bezel_value_readback(Console& c);
// Reads the switch state, then the two values; ProgressBar1 shows 40 while the
// switch is read and 60 while the values are.
Task<> bezel_readback(Console& c);

// Refused without a word while a wall reset, a bezel read or a status exchange
// runs: their answers carry the keys this Send awaits.
Task<> btn_H_Bezel_send_Click(Console& c);
Task<> opt_bezel_Click(Console& c, int index);

// Values and the switch read back (BHV/BVV/BEZE while bezel_read_step awaits them).
void parse_bezel_reply(Console& c, const Reply& reply);
// Acknowledgements of SBH/SBV (the same keys, while bezel_set_step awaits them).
void parse_bezel_ack(Console& c, const Reply& reply);

} // namespace wc
