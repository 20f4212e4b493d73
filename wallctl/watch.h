#pragma once

// wallctl watch: the wall live on the terminal, a row per box, until q. Each
// box keeps one connection; every interval the settings that the table shows
// are read on it (every setting when it connects and when r is pressed), all
// boxes at once. A box that fails is shown down at once and tried again after
// one interval, then after twice as long each time (up to half a minute), so
// a dead box is never flooded and one that comes back shows up by itself. No
// exchange waits longer than the interval, so a box that stops answering is
// shown down within two intervals.

#include "wallctl/request.h"

namespace wallctl {

// Runs until q (exit status 0), a signal (128 plus its number) or an error (1,
// the reason on stderr); the terminal is given back as it was on every way out.
int run_watch(const Request& request);

} // namespace wallctl
