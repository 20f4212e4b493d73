#pragma once

// The fix for a mistyped name: the command or setting that the user most
// likely meant, for "did you mean" in a usage error.

#include <optional>
#include <span>
#include <string_view>

namespace wallctl {

// The one name that begins with `typed`, or else the nearest one by edit distance
// (a swap of two neighbouring letters counting as one edit), when it lies
// within a third of the typed length; nothing when no name is that close.
std::optional<std::string_view> closest_name(std::string_view typed, std::span<const std::string_view> names);

} // namespace wallctl
