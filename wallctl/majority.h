#pragma once

// The wall's majority: for each setting, the value that more boxes hold than
// any other, and which boxes' values differ from it. The as-built report marks
// those values and watch counts them per box. Every box has an address and an
// ID of its own, so those two are never compared.

#include "wallctl/box_result.h"

#include <optional>
#include <span>
#include <vector>

namespace wallctl {

// Whether the boxes of a wall are meant to agree on the setting: all but the address and the ID.
bool compared(const wc::Setting& row);

class Majority {
public:
    // Over the settings that each box has read; a box that read none counts for nothing.
    Majority(std::span<const wc::Setting* const> rows,
             std::span<const std::vector<SettingValue>* const> boxes);

    // The value more boxes hold than any other; nullptr for a setting not
    // compared, where the values held most often tie, and where no box read it.
    const wc::Value* value(const wc::Setting& row) const;

    // Whether the box's value stands out: it was read, the setting is compared,
    // and it is not the majority's; where the values held most often tie, each does.
    bool differs(const wc::Setting& row, const wc::Value* value) const;

private:
    struct Verdict {
        const wc::Setting* row;
        std::optional<wc::Value> value;
    };
    const Verdict* find(const wc::Setting& row) const;

    std::vector<Verdict> m_verdicts;
};

} // namespace wallctl
