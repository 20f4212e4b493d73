#include "arp_table.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <string>

namespace scanner {
namespace {

// ATF_COM from <net/if_arp.h>: the hardware address has been learned.
constexpr unsigned complete_flag = 0x2;

std::vector<std::string_view> fields_of(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (true) {
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string_view::npos) {
            return fields;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", pos), line.size());
        fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Exactly "xx:xx:xx:xx:xx:xx", as the kernel writes it.
bool parse_mac(std::string_view text, Mac& mac) {
    if (text.size() != 17) {
        return false;
    }
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const int high = hex_digit(text[3 * i]);
        const int low = hex_digit(text[3 * i + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[3 * i + 2] != ':')) {
            return false;
        }
        mac[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}

} // namespace

std::map<Ipv4, Mac> parse_arp_table(std::string_view text) {
    std::map<Ipv4, Mac> neighbours;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::vector<std::string_view> fields = fields_of(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));

        // IP address, HW type, Flags, HW address, Mask, Device; the heading fails the
        // address parse below and so drops out like any other malformed line.
        if (fields.size() < 4) {
            continue;
        }
        in_addr address{};
        Mac mac{};
        const std::string ip_text(fields[0]);
        const std::string flags_text(fields[2]);
        char* flags_end = nullptr;
        const unsigned long flags = std::strtoul(flags_text.c_str(), &flags_end, 16);
        if (inet_pton(AF_INET, ip_text.c_str(), &address) != 1 || *flags_end != '\0' ||
            (flags & complete_flag) == 0 || !parse_mac(fields[3], mac) || mac == Mac{}) {
            continue;
        }
        // The same address may be listed on two interfaces; the first is as good as any.
        neighbours.emplace(ntohl(address.s_addr), mac);
    }
    return neighbours;
}

std::vector<FoundBox> attach_macs(const std::vector<Ipv4>& responders,
                                  const std::map<Ipv4, Mac>& neighbours) {
    std::vector<FoundBox> boxes;
    boxes.reserve(responders.size());
    for (const Ipv4 address : responders) {
        const auto known = neighbours.find(address);
        boxes.push_back({address, known == neighbours.end() ? Mac{} : known->second});
    }
    return boxes;
}

} // namespace scanner
