#include "wallctl/box_result.h"

#include <algorithm>
#include <array>

namespace wallctl {

std::string_view change_name(Change change) {
    static constexpr std::array<std::string_view, 6> names{"not sent", "unchanged", "would change",
                                                           "sent",     "verified",  "failed"};
    return names[static_cast<std::size_t>(change)];
}

const wc::Value* find_value(const std::vector<SettingValue>& settings, const wc::Setting& row) {
    const auto found =
        std::find_if(settings.begin(), settings.end(), [&](const SettingValue& s) { return s.row == &row; });
    return found == settings.end() ? nullptr : &found->value;
}

int exit_status(const std::vector<BoxResult>& results) {
    return std::all_of(results.begin(), results.end(), [](const BoxResult& r) { return r.ok; }) ? 0 : 2;
}

} // namespace wallctl
