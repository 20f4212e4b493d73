#include "link/replies.h"

#include <algorithm>
#include <iterator>

namespace wc {

namespace {

// A reader takes a reply as soon as its layout is whole, so no key may be the
// start of another: "MNC" must never be the first letters of a longer key.
consteval bool no_key_starts_another() {
    for (const ReplyFormat& a : reply_formats) {
        for (const ReplyFormat& b : reply_formats) {
            if (&a != &b && b.key.starts_with(a.key)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(no_key_starts_another());

std::string three_digits(int value) {
    const std::string digits = std::to_string(std::clamp(value, 0, 999));
    return std::string(value_digits - digits.size(), '0') + digits;
}

} // namespace

std::string_view Reply::digits() const {
    switch (layout()) {
    case ReplyLayout::keyed:
    case ReplyLayout::picture:
    case ReplyLayout::firmware:
        return std::string_view(m_text).substr(key_offset(layout()) + key().size(), value_digits);
    case ReplyLayout::ack:
    case ReplyLayout::address:
        break;
    }
    return {};
}

int Reply::value() const {
    int value = 0;
    for (const char digit : digits()) {
        value = value * 10 + (digit - '0');
    }
    return value;
}

std::string_view Reply::field(std::size_t k) const {
    if (layout() != ReplyLayout::address || k >= address_fields) {
        return {};
    }
    return std::string_view(m_text).substr(k * address_field_distance + address_tag_length, value_digits);
}

std::string firmware_version(const Reply& reply) {
    std::string version(reply.digits());
    version.insert(std::min<std::size_t>(1, version.size()), 1, '.');
    return version;
}

std::string keyed_reply(std::string_view key, int value) {
    std::string reply(key);
    reply += three_digits(value);
    return reply;
}

std::string picture_reply(int output, std::string_view key, int value) {
    std::string reply = "OUT ";
    reply += static_cast<char>('A' + std::clamp(output, 1, 26) - 1);
    reply += ": ";
    reply += keyed_reply(key, value);
    return reply;
}

std::string address_reply(const std::array<Octets, 3>& addresses) {
    std::string reply;
    for (std::size_t a = 0; a < addresses.size(); ++a) {
        for (std::size_t k = 0; k < addresses[a].size(); ++k) {
            reply += address_tags[a];
            reply += static_cast<char>('0' + k);
            reply += three_digits(addresses[a][k]);
        }
    }
    return reply;
}

std::string firmware_reply(std::string_view version) {
    std::string reply = "VERS";
    std::remove_copy(version.begin(), version.end(), std::back_inserter(reply), '.');
    return reply;
}

} // namespace wc
