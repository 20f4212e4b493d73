#pragma once

// The box's replies: the one description of each (its key, where its values
// stand and what kind they are), a whole reply as the readers hand it on, and
// the replies written as the box writes them, which the simulated box sends.
// Positions count from 1 at the first character of a reply; every value is
// three digits, zero-padded. Without the line end, which is the box's choice.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace wc {

inline constexpr std::size_t value_digits = 3;

// How a reply lays out its key and its values.
enum class ReplyLayout {
    ack,      // the key alone: "WDEF", "IPA0"
    keyed,    // the key at 1, three digits right behind it: "POWE001", "BHV010"
    picture,  // an output tag at 1-7, the key at 8-11, three digits at 12-14: "OUT C: BRIV050"
    address,  // "IP00" and twelve three-digit fields, each behind its tag (see address_tags)
    firmware, // "VERS", the major digit at 5, the minor digits at 6-7: "VERS115" is 1.15
};

struct ReplyFormat {
    std::string_view key;
    ReplyLayout layout;
};

// Every reply a box sends. No key is the start of another, so a reply is
// whole as soon as its layout is, whatever follows it.
inline constexpr std::array<ReplyFormat, 31> reply_formats{{
    {"POWE", ReplyLayout::keyed},    {"MODN", ReplyLayout::keyed},   {"BEZE", ReplyLayout::keyed},
    {"VERS", ReplyLayout::firmware}, {"BHV", ReplyLayout::keyed},    {"BVV", ReplyLayout::keyed},
    {"IPMD", ReplyLayout::keyed},    {"IP00", ReplyLayout::address}, {"RESO", ReplyLayout::keyed},
    {"OSDD", ReplyLayout::keyed},    {"OSDT", ReplyLayout::keyed},   {"OSDH", ReplyLayout::keyed},
    {"OSDV", ReplyLayout::keyed},    {"OSDG", ReplyLayout::keyed},   {"MUTE", ReplyLayout::keyed},
    {"RFAV", ReplyLayout::keyed},    {"BRIV", ReplyLayout::picture}, {"CONV", ReplyLayout::picture},
    {"SATV", ReplyLayout::picture},  {"HUEV", ReplyLayout::picture}, {"MNC", ReplyLayout::ack},
    {"WDEF", ReplyLayout::ack},      {"HOTK", ReplyLayout::ack},     {"IMRE", ReplyLayout::ack},
    {"OSDI", ReplyLayout::ack},      {"OSDR", ReplyLayout::ack},     {"IPA0", ReplyLayout::ack},
    {"MAA0", ReplyLayout::ack},      {"GAA0", ReplyLayout::ack},     {"RELI", ReplyLayout::ack},
    {"DEFA", ReplyLayout::ack},
}};

// The reply with that key; nullptr when the box sends none.
constexpr const ReplyFormat* find_reply_format(std::string_view key) {
    for (const ReplyFormat& format : reply_formats) {
        if (format.key == key) {
            return &format;
        }
    }
    return nullptr;
}

// A key that is no reply's does not build. Its own loop: GCC 12 does not take
// find_reply_format(key) != nullptr as a constant expression.
consteval bool is_reply_key(std::string_view key) {
    for (const ReplyFormat& format : reply_formats) {
        if (format.key == key) {
            return true;
        }
    }
    return false;
}

// A picture value's key stands behind its output tag ("OUT C: ").
inline constexpr std::size_t picture_tag_length = 7;

// The tags of the twelve address fields: the address (IP00..IP03), the mask
// (MA00..MA03) and the gateway (GA00..GA03); field k stands at 5 + 7k.
inline constexpr std::array<std::string_view, 3> address_tags{"IP0", "MA0", "GA0"};
inline constexpr std::size_t address_fields = 12;
inline constexpr std::size_t address_tag_length = 4; // "IP0" and the field's number
inline constexpr std::size_t address_field_distance = address_tag_length + value_digits;

// Where the key stands, counted from 0.
constexpr std::size_t key_offset(ReplyLayout layout) {
    return layout == ReplyLayout::picture ? picture_tag_length : 0;
}

// How long the whole reply is.
constexpr std::size_t reply_length(const ReplyFormat& format) {
    switch (format.layout) {
    case ReplyLayout::ack:
        return format.key.size();
    case ReplyLayout::keyed:
    case ReplyLayout::firmware:
        return format.key.size() + value_digits;
    case ReplyLayout::picture:
        return picture_tag_length + format.key.size() + value_digits;
    case ReplyLayout::address:
        return address_fields * address_field_distance;
    }
    return 0;
}

// One whole reply, as the box sent it and nothing around it.
class Reply {
public:
    // The text is one whole reply of that format (ReplyReader makes sure).
    Reply(const ReplyFormat& format, std::string text) : m_format(&format), m_text(std::move(text)) {}

    std::string_view key() const { return m_format->key; }
    ReplyLayout layout() const { return m_format->layout; }
    const std::string& text() const { return m_text; }

    // The three digits of a keyed, picture or firmware value; empty for the others.
    std::string_view digits() const;
    // Those digits as a number, 0 to 999; 0 when there are none.
    int value() const;
    // Field k (0 to 11) of the addresses, three digits; empty for the other replies.
    std::string_view field(std::size_t k) const;

    bool operator==(const Reply& other) const { return m_text == other.m_text && key() == other.key(); }

private:
    const ReplyFormat* m_format;
    std::string m_text;
};

// An on/off answer ("POWE001", "BEZE000"): on unless its value is 000.
inline bool switched_on(const Reply& reply) {
    return reply.digits() != "000";
}

// The version in a firmware reply: "VERS115" is "1.15".
std::string firmware_version(const Reply& reply);

using Octets = std::array<int, 4>;

// "POWE" + "001": the key at 1, the value right behind it. A value outside
// 0..999 is clamped, so that the positions never move.
std::string keyed_reply(std::string_view key, int value);

// The value of output 1..4 (OUT A..OUT D).
std::string picture_reply(int output, std::string_view key, int value);

// The address, the mask and the gateway, in this order.
std::string address_reply(const std::array<Octets, 3>& addresses);

// "VERS" and the version's digits: "1.15" (one digit, a dot, two digits) gives "VERS115".
std::string firmware_reply(std::string_view version);

} // namespace wc
