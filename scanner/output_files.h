#pragma once

#include <filesystem>
#include <string_view>

namespace scanner {

// Writes `content` to a temporary file beside `target` and renames it over
// `target`, so a reader sees either the old file or the whole new one.
// Throws std::system_error on failure.
void write_file_atomically(const std::filesystem::path& target, std::string_view content);

} // namespace scanner
