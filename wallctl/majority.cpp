#include "wallctl/majority.h"

#include <algorithm>

namespace wallctl {

bool compared(const wc::Setting& row) {
    return row.name != "ip" && row.name != "id";
}

Majority::Majority(std::span<const wc::Setting* const> rows,
                   std::span<const std::vector<SettingValue>* const> boxes) {
    for (const wc::Setting* row : rows) {
        std::vector<std::pair<const wc::Value*, std::size_t>>
            counts; // each value held, and by how many boxes
        for (const std::vector<SettingValue>* settings : boxes) {
            const wc::Value* value = find_value(*settings, *row);
            if (value == nullptr) {
                continue;
            }
            const auto known =
                std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return *c.first == *value; });
            if (known == counts.end()) {
                counts.emplace_back(value, 1);
            } else {
                ++known->second;
            }
        }
        std::sort(counts.begin(), counts.end(),
                  [](const auto& a, const auto& b) { return a.second > b.second; });
        const bool clear = !counts.empty() && (counts.size() == 1 || counts[0].second > counts[1].second);
        m_verdicts.push_back({row, clear && compared(*row) ? std::optional(*counts[0].first) : std::nullopt});
    }
}

const Majority::Verdict* Majority::find(const wc::Setting& row) const {
    const auto found =
        std::find_if(m_verdicts.begin(), m_verdicts.end(), [&](const Verdict& v) { return v.row == &row; });
    return found == m_verdicts.end() ? nullptr : &*found;
}

const wc::Value* Majority::value(const wc::Setting& row) const {
    const Verdict* verdict = find(row);
    return verdict != nullptr && verdict->value ? &*verdict->value : nullptr;
}

bool Majority::differs(const wc::Setting& row, const wc::Value* value) const {
    const wc::Value* majority = this->value(row);
    return value != nullptr && compared(row) && (majority == nullptr || *value != *majority);
}

} // namespace wallctl
