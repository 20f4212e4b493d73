// fuzz_scan_files: the way from the PC's interfaces and neighbour table to the
// console's device list. The scanner's parsers take any text, its sweep any
// interface list; what the scanner writes into MAC.txt and IP.txt must come
// back through the console's search as the boxes of the PC's network, in
// order, ten at most; and any MAC.txt and IP.txt at all must leave the search
// with a list it can connect to.
//
// Input: a byte that picks the way. Scanner to console: the PC's interfaces
// (a count byte, then a flags byte and four address bytes each), a byte for
// how many sweep targets answer, then the text of the neighbour table. Files
// of any content: the PC's address and a scan port as texts (a length byte
// each), then MAC.txt, a zero byte, and IP.txt.

#include "arp_table.h"
#include "byte_program.h"
#include "discovery/scan_files.h"
#include "discovery/search.h"
#include "output_lines.h"
#include "rig.h"
#include "scan_port.h"
#include "sweep_targets.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <net/if.h>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using scanner::Ipv4;

constexpr std::size_t most_interfaces = 6;
constexpr int most_answering = 24; // more than the ten the console lists
constexpr Ipv4 network_mask = 0xFFFFFF00u;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "fuzz_scan_files: %s\n", what.c_str());
    std::abort();
}

void expect(bool holds, const char* what) {
    if (!holds) {
        fail(what);
    }
}

// A text file's lines as the console's platform reads them: split at "\n",
// one "\r" before it dropped, no line after a final line end.
std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string line(text.substr(0, end));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

std::array<long, 4> octets_of(Ipv4 address) {
    return {static_cast<long>(address >> 24), static_cast<long>((address >> 16) & 0xFF),
            static_cast<long>((address >> 8) & 0xFF), static_cast<long>(address & 0xFF)};
}

std::string dotted(Ipv4 address) {
    return wc::dotted(octets_of(address));
}

// The octets of a dotted address without leading zeros, as the console keeps it.
std::optional<std::array<long, 4>> read_dotted(std::string_view text) {
    std::array<long, 4> octets{};
    for (long& octet : octets) {
        const std::size_t end = std::min(text.find('.'), text.size());
        const std::string_view digits = text.substr(0, end);
        if (digits.empty() || digits.size() > 3 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        octet = std::stol(std::string(digits));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    if (!text.empty() || !wc::octets_in_range(octets)) {
        return std::nullopt;
    }
    return octets;
}

std::vector<scanner::InterfaceAddress> read_interfaces(fuzz::ByteProgram& in) {
    std::vector<scanner::InterfaceAddress> local(static_cast<std::size_t>(in.below(most_interfaces + 1)));
    for (scanner::InterfaceAddress& entry : local) {
        const std::uint8_t flags = in.byte();
        entry.flags = ((flags & 1) != 0 ? IFF_UP : 0u) | ((flags & 2) != 0 ? IFF_LOOPBACK : 0u);
        for (int k = 0; k < 4; ++k) {
            entry.address = entry.address << 8 | in.byte();
        }
    }
    return local;
}

// Hosts .1 to .254 of each usable interface's /24 in interface order, each
// network once, ascending within it, none of the PC's own addresses.
void check_sweep(const std::vector<scanner::InterfaceAddress>& local, const std::vector<Ipv4>& targets) {
    std::vector<Ipv4> networks;
    std::set<Ipv4> own;
    for (const scanner::InterfaceAddress& entry : local) {
        own.insert(entry.address);
        const bool usable = (entry.flags & IFF_UP) != 0 && (entry.flags & IFF_LOOPBACK) == 0;
        if (usable &&
            std::find(networks.begin(), networks.end(), entry.address & network_mask) == networks.end()) {
            networks.push_back(entry.address & network_mask);
        }
    }
    std::vector<Ipv4> expected;
    for (const Ipv4 network : networks) {
        for (Ipv4 host = 1; host <= 254; ++host) {
            if (own.count(network | host) == 0) {
                expected.push_back(network | host);
            }
        }
    }
    expect(targets == expected, "the sweep targets are not the hosts of the PC's own networks");
}

// The kernel's text of a neighbour table that holds these completed entries.
std::string kernel_text(const std::map<Ipv4, scanner::Mac>& table) {
    std::string text = "IP address       HW type     Flags       HW address            Mask     Device\n";
    for (const auto& [address, mac] : table) {
        char line[96];
        std::snprintf(line, sizeof line,
                      "%-16s 0x1         0x2         %02x:%02x:%02x:%02x:%02x:%02x     *        eth0\n",
                      dotted(address).c_str(), mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
        text += line;
    }
    return text;
}

struct Search {
    wc::test::Rig rig{wc::install_discovery};
    Search(const std::string& host, std::vector<std::string> macs, std::vector<std::string> ips) {
        rig.p.set_local_ip(host);
        rig.p.set_scanner(true);
        rig.p.set_file("MAC.txt", std::move(macs));
        rig.p.set_file("IP.txt", std::move(ips));
        rig.f.btn_sys_search.user_click();
    }
};

// What the scanner writes reads back through the console's search as the
// boxes of the PC's network, in the scanner's order, the first ten of them.
void scanner_to_console(fuzz::ByteProgram& in) {
    const std::vector<scanner::InterfaceAddress> local = read_interfaces(in);
    const std::vector<Ipv4> targets = scanner::sweep_targets(local);
    check_sweep(local, targets);
    const int answering = in.below(most_answering + 1);
    const std::string_view neighbours = in.rest();

    const auto table = scanner::parse_arp_table(neighbours);
    for (const auto& [address, mac] : table) {
        expect(mac != scanner::Mac{}, "a neighbour without a MAC was taken");
    }
    expect(scanner::parse_arp_table(kernel_text(table)) == table,
           "the kernel's text of the table reads back otherwise");

    // Those of the sweep that answer, then the neighbours the sweep did not reach.
    std::vector<Ipv4> responders(targets.begin(),
                                 targets.begin() + std::min<std::size_t>(answering, targets.size()));
    for (const auto& [address, mac] : table) {
        if (std::find(responders.begin(), responders.end(), address) == responders.end()) {
            responders.push_back(address);
        }
    }
    const std::vector<scanner::FoundBox> boxes = scanner::attach_macs(responders, table);
    const scanner::OutputTexts texts = scanner::output_texts(boxes);
    const std::vector<std::string> macs = lines_of(texts.mac_text);
    const std::vector<std::string> ips = lines_of(texts.ip_text);
    expect(macs.size() == boxes.size() && ips.size() == boxes.size(), "a box is not one line in each file");
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        const auto known = table.find(boxes[k].address);
        expect(boxes[k].mac == (known == table.end() ? scanner::Mac{} : known->second),
               "a box has another's MAC");
        expect(wc::mac_text(macs[k]) == scanner::format_mac(boxes[k].mac),
               "a MAC.txt line reads back otherwise");
        expect(wc::dotted(wc::ip_octets(ips[k])) == dotted(boxes[k].address),
               "an IP.txt line reads back otherwise");
    }

    const Ipv4 pc = local.empty() ? 0xC0A80105 : local.front().address;
    std::vector<std::string> listed;
    std::vector<std::string> addresses;
    bool more = false;
    for (const scanner::FoundBox& box : boxes) {
        if ((box.address & network_mask) == (pc & network_mask)) {
            more = more || listed.size() == wc::socket_count;
            if (listed.size() < wc::socket_count) {
                listed.push_back(scanner::format_mac(box.mac));
                addresses.push_back(dotted(box.address));
            }
        }
    }
    std::vector<std::string> messages;
    if (listed.empty()) {
        messages.push_back("Not Find MAC !");
    } else {
        if (more) {
            messages.push_back("More than 10 MAC found, only the first 10 are listed !");
        }
        messages.push_back("Search MAC completed !");
    }

    Search search(dotted(pc), macs, ips);
    const wc::Form1& f = search.rig.f;
    expect(f.cbo_ipaddr.items() == listed,
           "the console lists other boxes than the scanner found on its network");
    expect(std::equal(addresses.begin(), addresses.end(), f.ip_list.begin()),
           "the console has other addresses than the scanner wrote");
    expect(search.rig.p.message_texts() == messages, "the search ends with other messages");
}

// Any MAC.txt and IP.txt, and any PC address: the search ends with at most ten
// boxes, each accepted address one of the PC's network.
void files_of_any_content(fuzz::ByteProgram& in) {
    const std::string host = in.text(20);
    const std::string port = in.text(8);
    const std::string_view rest = in.rest();
    const std::size_t zero = std::min(rest.find('\0'), rest.size());
    const std::string_view mac_file = rest.substr(0, zero);
    const std::string_view ip_file = rest.substr(std::min(zero + 1, rest.size()));

    // An environment value ends at its first zero byte.
    const std::string port_text(port.c_str());
    const bool digits = !port_text.empty() && std::all_of(port_text.begin(), port_text.end(),
                                                          [](char c) { return c >= '0' && c <= '9'; });
    const unsigned long given = digits ? std::stoul(port_text) : 0; // at most eight digits
    const unsigned long expected = given >= 1 && given <= 65535 ? given : scanner::box_port;
    expect(scanner::scan_port(port_text.c_str()) == expected,
           "the scan port is neither the number given (1 to 65535) nor the boxes' port");

    Search search(host, lines_of(mac_file), lines_of(ip_file));
    const wc::Form1& f = search.rig.f;
    expect(f.cbo_ipaddr.list_count() <= wc::socket_count, "more than ten boxes listed");
    expect(f.ip_count <= f.cbo_ipaddr.list_count(), "more addresses than boxes");
    for (std::size_t k = 0; k < f.ip_count; ++k) {
        const auto octets = read_dotted(f.ip_list[k]);
        expect(octets && wc::dotted(*octets) == f.ip_list[k], "an accepted address is no dotted address");
        expect((*octets)[0] == f.host_octet1 && (*octets)[1] == f.host_octet2 &&
                   (*octets)[2] == f.host_octet3,
               "an accepted address is outside the PC's network");
    }
    expect(!search.rig.p.messages().empty(), "the search ended without a word");
    expect(!f.link_up, "the search left the console online");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteProgram in(data, size);
    if (in.below(2) == 0) {
        scanner_to_console(in);
    } else {
        files_of_any_content(in);
    }
    return 0;
}
