#include "link/reply_reader.h"

#include <algorithm>

namespace wc {

namespace {

constexpr std::size_t longest_reply() {
    std::size_t longest = 0;
    for (const ReplyFormat& format : reply_formats) {
        longest = std::max(longest, reply_length(format));
    }
    return longest;
}

bool is_capital(char c) {
    return c >= 'A' && c <= 'Z';
}

bool all_digits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether the twelve address fields stand behind their tags.
bool whole_addresses(std::string_view reply) {
    for (std::size_t k = 0; k < address_fields; ++k) {
        const std::string_view field = reply.substr(k * address_field_distance, address_field_distance);
        if (field.substr(0, address_tags[0].size()) != address_tags[k / 4] ||
            field[address_tags[0].size()] != static_cast<char>('0' + k % 4) ||
            !all_digits(field.substr(address_tag_length))) {
            return false;
        }
    }
    return true;
}

// Whether a whole reply of that format starts at `at` of a line.
bool whole_at(const ReplyFormat& format, std::string_view line, std::size_t at) {
    const std::size_t length = reply_length(format);
    if (line.size() - at < length) {
        return false;
    }
    const std::string_view reply = line.substr(at, length);
    const std::size_t key = key_offset(format.layout);
    if (reply.substr(key, format.key.size()) != format.key) {
        return false;
    }
    switch (format.layout) {
    case ReplyLayout::ack:
        return true;
    case ReplyLayout::keyed:
    case ReplyLayout::picture:
    case ReplyLayout::firmware:
        return all_digits(reply.substr(key + format.key.size()));
    case ReplyLayout::address:
        return whole_addresses(reply);
    }
    return false;
}

// The first whole reply of a line that holds no line end; nullptr when there is none.
const ReplyFormat* first_reply(std::string_view line, bool in_word, std::size_t& at) {
    for (at = 0; at < line.size(); ++at) {
        const bool after_word = at == 0 ? in_word : is_capital(line[at - 1]);
        // Where a reply and a picture value's tag both start, the reply came first.
        for (const bool picture : {false, true}) {
            for (const ReplyFormat& format : reply_formats) {
                if ((format.layout == ReplyLayout::picture) == picture && (picture || !after_word) &&
                    whole_at(format, line, at)) {
                    return &format;
                }
            }
        }
    }
    return nullptr;
}

} // namespace

const std::size_t ReplyReader::most_held = longest_reply() - 1;

std::vector<Reply> ReplyReader::feed(std::string_view chunk) {
    m_held.append(chunk);
    std::vector<Reply> replies;
    std::size_t from = 0; // what stands before has been handed on or skipped
    while (from < m_held.size()) {
        const std::string_view rest = std::string_view(m_held).substr(from);
        const std::size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        std::size_t at = 0;
        if (const ReplyFormat* format = first_reply(line, m_in_word, at)) {
            const std::size_t length = reply_length(*format);
            replies.emplace_back(*format, std::string(line.substr(at, length)));
            from += at + length;
            m_in_word = false;
        } else if (end != std::string_view::npos) {
            from += end + 1;
            m_in_word = false;
        } else {
            // Nothing is whole yet: only the last bytes may still become a reply.
            const std::size_t skipped = line.size() - std::min(line.size(), most_held);
            if (skipped > 0) {
                m_in_word = is_capital(line[skipped - 1]);
            }
            from += skipped;
            break;
        }
    }
    m_held.erase(0, from);
    return replies;
}

} // namespace wc
