#include "wallctl/box_result.h"

#include <algorithm>

namespace wallctl {

int exit_status(const std::vector<BoxResult>& results) {
    return std::all_of(results.begin(), results.end(), [](const BoxResult& r) { return r.ok; }) ? 0 : 2;
}

} // namespace wallctl
