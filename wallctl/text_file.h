#pragma once

// Whole files as text: the boxes file, snapshots, the scanner's MAC.txt and IP.txt.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wallctl {

// The file's bytes; nothing when it cannot be opened or read.
std::optional<std::string> read_text(const std::filesystem::path& path);

// False when the file cannot be written whole.
bool write_text(const std::filesystem::path& path, std::string_view text);

// The lines of a text, without their "\n" or "\r\n"; no empty last line for a final line end.
std::vector<std::string_view> text_lines(std::string_view text);

} // namespace wallctl
