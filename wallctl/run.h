#pragma once

// Carries out a checked request: serves the boxes, prints the results, and
// gives the exit status: 0 every box did what was asked; 1 bad usage or a bad
// file; 2 any box failed; 3 diff found differences; 128 plus the signal's
// number (130, 143) when a signal stopped the run; for a failed write to
// stdout, what write_stdout gives (text_file.h).

#include "wallctl/request.h"

#include <functional>
#include <string>

namespace wallctl {

// Asks a yes/no question; true for yes.
using Ask = std::function<bool(const std::string& question)>;

int run(const Request& request, const Ask& ask);

} // namespace wallctl
