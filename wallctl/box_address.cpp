#include "wallctl/box_address.h"

#include "link/settings.h"
#include "wallctl/text_file.h"

#include <charconv>

namespace wallctl {

namespace {

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view{}
                                           : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::optional<BoxAddress> parse_box_address(std::string_view text) {
    const std::size_t colon = text.find(':');
    const auto address = wc::dotted_address(text.substr(0, colon));
    if (!address) {
        return std::nullopt;
    }
    BoxAddress box{*address};
    if (colon != std::string_view::npos) {
        const std::string_view port = text.substr(colon + 1);
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (ec != std::errc{} || end != port.data() + port.size() || value < 1 || value > 65535) {
            return std::nullopt;
        }
        box.port = static_cast<std::uint16_t>(value);
    }
    return box;
}

std::optional<std::vector<BoxAddress>> parse_boxes_file(std::string_view text, std::string& error) {
    std::vector<BoxAddress> boxes;
    std::size_t number = 0;
    for (const std::string_view line : text_lines(text)) {
        ++number;
        const std::string_view entry = trimmed(line.substr(0, line.find('#')));
        if (entry.empty()) {
            continue;
        }
        const auto box = parse_box_address(entry);
        if (!box) {
            error = "line " + std::to_string(number) + ": \"" + std::string(entry) + "\" is no ADDR[:PORT]";
            return std::nullopt;
        }
        boxes.push_back(*box);
    }
    return boxes;
}

std::optional<std::vector<BoxAddress>> read_boxes_file(const std::filesystem::path& path,
                                                       std::string& error) {
    const auto text = read_text(path, error);
    if (!text) {
        return std::nullopt;
    }
    const std::string name = path == "-" ? "standard input" : path.string();
    auto boxes = parse_boxes_file(*text, error);
    if (!boxes) {
        error = name + ", " + error;
    } else if (boxes->empty()) {
        error = name + " lists no boxes";
        boxes.reset();
    }
    return boxes;
}

} // namespace wallctl
