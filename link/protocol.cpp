#include "link/protocol.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace wc {

std::string_view chars(std::string_view text, std::size_t from, std::size_t count) {
    if (from == 0 || from > text.size()) {
        return {};
    }
    return text.substr(from - 1, count);
}

namespace {
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

std::optional<int> number_in(std::string_view text, int lo, int hi) {
    int value = 0;
    if (text.empty() || !std::all_of(text.begin(), text.end(), is_digit) ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc{} || value < lo ||
        value > hi) {
        return std::nullopt;
    }
    return value;
}

namespace {

// Length of the number that starts at pos: sign, digits, fraction.
std::size_t number_length(std::string_view text, std::size_t pos, bool allow_exponent) {
    std::size_t i = pos;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && is_digit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && is_digit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (allow_exponent && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        std::size_t exponent_digits = 0;
        while (j < text.size() && is_digit(text[j])) {
            ++j;
            ++exponent_digits;
        }
        if (exponent_digits > 0) {
            i = j;
        }
    }
    return i - pos;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

double leading_number(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && is_blank(text[pos])) {
        ++pos;
    }
    std::size_t length = number_length(text, pos, false);
    if (length == 0) {
        return 0.0;
    }
    return std::strtod(std::string(text.substr(pos, length)).c_str(), nullptr);
}

long round_half_even(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    // Far beyond any value a list can show; keeps the conversion defined.
    double clamped = std::fmax(-1e9, std::fmin(1e9, value));
    // The default rounding mode takes a half to the even neighbour.
    return static_cast<long>(std::nearbyint(clamped));
}

long whole_value(std::string_view text) {
    return round_half_even(leading_number(text));
}

std::optional<double> numeric_value(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && is_blank(text[begin])) {
        ++begin;
    }
    while (end > begin && is_blank(text[end - 1])) {
        --end;
    }
    std::string_view core = text.substr(begin, end - begin);
    if (core.empty() || number_length(core, 0, true) != core.size()) {
        return std::nullopt;
    }
    double value = std::strtod(std::string(core).c_str(), nullptr);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string sign_blank(long value) {
    std::string text = value < 0 ? "" : " ";
    text += std::to_string(value);
    return text;
}

std::string wire_text(std::string_view command) {
    std::string out;
    out.reserve(command.size());
    for (std::size_t i = 0; i < command.size();) {
        auto byte = static_cast<unsigned char>(command[i]);
        // Skip the continuation bytes of one UTF-8 character: it becomes one byte.
        std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        out.push_back(byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?');
        i += length;
    }
    return out;
}

} // namespace wc
