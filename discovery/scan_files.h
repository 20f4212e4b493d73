#pragma once

// The column rules of the scanner's two output files. MAC.txt holds one MAC
// address per line, IP.txt the matching address as four three-digit groups
// with leading zeros ("192.168.001.020"); both are read at fixed columns, so
// anything the scanner writes behind them is ignored.

#include <array>
#include <string>
#include <string_view>

namespace wc {

// The MAC address of a MAC.txt line: its first 17 characters (six two-digit
// groups with separators), or the whole of a shorter line.
std::string mac_text(std::string_view line);

// The four octets of an IP.txt line, from characters 1-3, 5-7, 9-11 and
// 13-15. Each group reads as a leading number (blanks allowed, no digits give
// 0, a fraction rounded), so a line without leading zeros reads wrongly but
// never fails; the caller checks the range.
std::array<long, 4> ip_octets(std::string_view line);

bool octets_in_range(const std::array<long, 4>& octets);

// The octets as dotted decimal text without leading zeros: "192.168.1.20".
std::string dotted(const std::array<long, 4>& octets);

} // namespace wc
