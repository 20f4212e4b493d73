#pragma once

// wallsim's server, on one thread: a listening socket per box and any number of
// clients per box (all of one box share its state), until SIGINT or SIGTERM.

#include "sim/options.h"

#include <ostream>

namespace sim {

// Binds every box's address and prints "listening ADDRESS PORT MAC" for each (a
// refusing box too: its port is bound but not listening), then serves until
// SIGINT or SIGTERM. Returns the exit status: 0 once stopped, 1 when an address
// cannot be bound (said on stderr).
int serve(Options options, std::ostream& out);

} // namespace sim
