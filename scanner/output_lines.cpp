#include "output_lines.h"

#include <cstdio>

namespace scanner {

std::string format_mac(const Mac& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

std::string format_ip(Ipv4 address) {
    char text[16];
    std::snprintf(text, sizeof text, "%03u.%03u.%03u.%03u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                  (address >> 8) & 0xFFu, address & 0xFFu);
    return text;
}

OutputTexts output_texts(const std::vector<FoundBox>& boxes) {
    OutputTexts texts;
    for (const FoundBox& box : boxes) {
        texts.mac_text += format_mac(box.mac) + "\r\n";
        texts.ip_text += format_ip(box.address) + "\r\n";
    }
    return texts;
}

} // namespace scanner
