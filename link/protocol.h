#pragma once

// Command lines out, and the numbers in them: as the console writes them, as
// the box reads them, as an operator types them.

#include <optional>
#include <string>
#include <string_view>

namespace wc {

inline constexpr int box_port = 23;
inline constexpr std::string_view line_end = "\r\n";

// Characters from..from+count-1 (1-based) of text, cut short at its end: a
// text shorter than a field gives a shorter (or empty) field, never an error.
std::string_view chars(std::string_view text, std::size_t from, std::size_t count);

// The whole text as a decimal number within lo..hi: plain digits (leading
// zeros allowed), no sign, no blank, no fraction. How a box reads a number in
// a command, and how scripts write one.
std::optional<int> number_in(std::string_view text, int lo, int hi);

// The number at the start of text: leading blanks, an optional sign, digits
// and an optional fraction; reading stops at the first character that does not
// belong to it, and no digits at all read as 0.
double leading_number(std::string_view text);

// The nearest whole number, a half going to the even neighbour.
long round_half_even(double value);

// leading_number rounded to a whole number.
long whole_value(std::string_view text);

// The value of text when the whole of it reads as a number: blanks around an
// optionally signed decimal number with an optional fraction and exponent.
std::optional<double> numeric_value(std::string_view text);

// A number as plain decimal text with a leading blank for its sign: " 5".
std::string sign_blank(long value);

// The bytes that go on the wire for a command: one byte per character,
// printable ASCII as it is, anything else (line breaks, control characters,
// characters beyond ASCII) as "?", so that operator text can never add a
// line or a second command. Text is taken as UTF-8.
std::string wire_text(std::string_view command);

} // namespace wc
