#pragma once

// Which boxes a command is for: "ADDR[:PORT]" from -b and from a boxes file
// (one a line, "#" starts a comment, blank lines ignored).

#include "link/protocol.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wallctl {

struct BoxAddress {
    std::string address; // dotted IPv4, as given
    std::uint16_t port = wc::box_port;

    std::string text() const { return address + ":" + std::to_string(port); }
    bool operator==(const BoxAddress&) const = default;
};

// A dotted IPv4 address (four octets 0..255), then optionally ":" and a port
// 1..65535; the port is 23 when none is given.
std::optional<BoxAddress> parse_box_address(std::string_view text);

// The boxes of a boxes file's text; on a bad line, nothing, with the reason
// ("line 3: ...") in `error`.
std::optional<std::vector<BoxAddress>> parse_boxes_file(std::string_view text, std::string& error);

// The boxes of a boxes file ("-" for standard input); nothing, with the reason
// in `error`, when it cannot be read, has a bad line or lists no box.
std::optional<std::vector<BoxAddress>> read_boxes_file(const std::filesystem::path& path, std::string& error);

} // namespace wallctl
