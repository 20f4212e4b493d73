#pragma once

// The scanner's command line: none to sweep, or a question answered without
// touching the network. Anything else is refused before the sweep starts.

#include <string_view>
#include <vector>

namespace scanner {

enum class Invocation { sweep, help, version, bad_usage };

Invocation invocation(const std::vector<std::string_view>& args);

std::string_view usage();

} // namespace scanner
