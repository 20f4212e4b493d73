#include "link/settings.h"

#include "link/protocol.h"

#include <algorithm>
#include <utility>

namespace wc {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_letters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lower(x) == lower(y); });
}

std::string dotted(const Octets& octets) {
    std::string text;
    for (const int octet : octets) {
        if (!text.empty()) {
            text += '.';
        }
        text += std::to_string(octet);
    }
    return text;
}

// Every reply the catalogue awaits is one the readers know.
consteval bool keys_are_replies() {
    for (const Setting& row : settings) {
        if (!is_reply_key(row.key) || (!row.set_reply.empty() && !is_reply_key(row.set_reply))) {
            return false;
        }
    }
    return is_reply_key(relink_notice);
}
static_assert(keys_are_replies());

std::optional<Value> decode_address(const Setting& row, const Reply& reply) {
    Octets octets{};
    const std::size_t first = static_cast<std::size_t>(row.field) * octets.size();
    for (std::size_t k = 0; k < octets.size(); ++k) {
        const auto octet = number_in(reply.field(first + k), 0, 255);
        if (!octet) {
            return std::nullopt;
        }
        octets[k] = *octet;
    }
    return dotted(octets);
}

} // namespace

std::optional<Octets> address_octets(std::string_view text) {
    Octets octets{};
    for (std::size_t k = 0; k < octets.size(); ++k) {
        const std::size_t end = std::min(text.find('.'), text.size());
        const bool last = k + 1 == octets.size();
        const auto octet = end <= value_digits ? number_in(text.substr(0, end), 0, 255) : std::nullopt;
        // Exactly four octets: the last one ends the text, the others end at a dot.
        if (!octet || last != (end == text.size())) {
            return std::nullopt;
        }
        octets[k] = *octet;
        text.remove_prefix(last ? end : end + 1);
    }
    return octets;
}

std::optional<std::string> dotted_address(std::string_view text) {
    const auto octets = address_octets(text);
    return octets ? std::optional(dotted(*octets)) : std::nullopt;
}

const Setting* find_setting(std::string_view name) {
    return find_named(settings, name);
}

std::span<const std::string_view> value_names(ValueNames names) {
    switch (names) {
    case ValueNames::on_off:
        return switch_names;
    case ValueNames::address_type:
        return address_type_names;
    case ValueNames::resolution:
        return resolution_names;
    case ValueNames::none:
        break;
    }
    return {};
}

bool is_plain_number(const Setting& row) {
    return (row.layout() == ReplyLayout::keyed || row.layout() == ReplyLayout::picture) &&
           row.names == ValueNames::none;
}

bool answers(const Setting& row, const Reply& reply) {
    return reply.key() == row.key;
}

std::optional<Value> decode(const Setting& row, const Reply& reply) {
    if (!answers(row, reply)) {
        return std::nullopt;
    }
    switch (reply.layout()) {
    case ReplyLayout::keyed:
    case ReplyLayout::picture:
        if (reply.value() >= row.lo && reply.value() <= row.hi) {
            return reply.value();
        }
        return std::nullopt;
    case ReplyLayout::address:
        return decode_address(row, reply);
    case ReplyLayout::firmware:
        return firmware_version(reply);
    case ReplyLayout::ack:
        break;
    }
    return std::nullopt;
}

std::optional<Value> parse_value(const Setting& row, std::string_view text) {
    if (row.set.empty()) {
        return std::nullopt;
    }
    if (row.layout() == ReplyLayout::address) {
        if (auto address = dotted_address(text)) {
            return std::move(*address);
        }
        return std::nullopt;
    }
    const auto names = value_names(row.names);
    if (names.empty()) {
        if (const auto value = number_in(text, row.lo, row.hi)) {
            return *value;
        }
        return std::nullopt;
    }
    const auto name =
        std::find_if(names.begin(), names.end(), [&](std::string_view n) { return same_letters(n, text); });
    if (name == names.end()) {
        return std::nullopt;
    }
    return static_cast<int>(name - names.begin());
}

std::string value_text(const Setting& row, const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    const int number = std::get<int>(value);
    const auto names = value_names(row.names);
    if (names.empty() || number < 0 || static_cast<std::size_t>(number) >= names.size()) {
        return std::to_string(number);
    }
    std::string name(names[static_cast<std::size_t>(number)]);
    // "ON" and "DHCP" are words and read as words in scripts; a resolution is
    // a name that keeps its letters ("1080I50" is not "1080i50").
    if (row.names != ValueNames::resolution) {
        std::transform(name.begin(), name.end(), name.begin(), lower);
    }
    return name;
}

std::string set_line(const Setting& row, const Value& value) {
    const auto* text = std::get_if<std::string>(&value);
    return std::string(row.set) + " " + (text != nullptr ? *text : std::to_string(std::get<int>(value)));
}

} // namespace wc
