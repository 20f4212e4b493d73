#pragma once

// The command line, checked in full before anything is sent:
//   wallctl [-b ADDR[:PORT]]... [--boxes FILE] [--timeout MS] [--deadline MS] [--json] [-v] COMMAND [ARGS]
// Bad usage, a bad boxes or snapshot file, an unknown setting or a value out
// of range end the run with exit status 1 and nothing on the wire; every
// message starts with "wallctl:" and, where it can, says what was meant.

#include "wallctl/request.h"

#include <optional>
#include <string>

namespace wallctl {

struct Parsed {
    std::optional<Request> request; // when there is something to do
    int exit_status = 0;            // otherwise: 0 after --help, 1 for bad usage
    std::string out;                // for stdout (the help)
    std::string err;                // for stderr (what was wrong)
};

Parsed parse_arguments(int argc, const char* const* argv);

// What values a setting takes, for help and messages: "0..100", "on|off".
std::string describe_values(const wc::Setting& row);

} // namespace wallctl
