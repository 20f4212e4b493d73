// fuzz_scan_files: the way from the PC's interfaces and neighbour table to the
// console's list of boxes. What the scanner writes for any interfaces, any
// boxes answering its sweep and any neighbour table must come back through the
// console's search as the boxes of the PC's network, in order, ten at most,
// each with its address and its MAC. Any MAC.txt and IP.txt at all, with any
// PC address, must leave the search ended with a message and a list it can
// connect to: every listed box has an address of the PC's network.
//
// Input: a byte that picks the way. Scanner to console: the PC's interfaces
// (a count byte, then a flags byte and four address bytes each), a byte that
// picks the console's address among them, the sweep targets that answer (a
// count byte, the first one's index, and after each the gap to the next),
// then the text of the neighbour table. Files of any
// content: the PC's address as a text (a length byte), then MAC.txt, a zero
// byte, and IP.txt.

#include "arp_table.h"
#include "byte_program.h"
#include "discovery/search.h"
#include "link/settings.h"
#include "output_lines.h"
#include "rig.h"
#include "sweep_targets.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <net/if.h>
#include <string>
#include <vector>

namespace {

constexpr std::size_t most_interfaces = 6;

void expect(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz_scan_files: %s\n", what);
        std::abort();
    }
}

// A text file's lines as the console reads them: each ends at "\n", a "\r" before it dropped.
std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t end; !text.empty(); text.remove_prefix(std::min(end + 1, text.size()))) {
        end = std::min(text.find('\n'), text.size());
        lines.emplace_back(text.substr(0, end - (end > 0 && text[end - 1] == '\r' ? 1 : 0)));
    }
    return lines;
}

// As the console keeps an address: without leading zeros.
std::string dotted(scanner::Ipv4 address) {
    return wc::dotted_address(scanner::format_ip(address)).value_or("");
}

// The search run to its end on files of these lines, from a PC of this address.
struct Search {
    wc::test::Rig rig{wc::install_discovery};
    Search(std::string host, std::vector<std::string> macs, std::vector<std::string> ips) {
        rig.p.set_local_ip(std::move(host));
        rig.p.set_scanner(true);
        rig.p.set_file("MAC.txt", std::move(macs));
        rig.p.set_file("IP.txt", std::move(ips));
        rig.f.btn_sys_search.user_click();
        rig.p.run_until_idle();
        expect(rig.c.running() == 0 && !rig.p.messages().empty(), "the search did not end with a message");
        expect(rig.f.cbo_ipaddr.list_count() <= wc::socket_count, "more than ten boxes listed");
        expect(!rig.f.link_up, "the search left the console online");
    }
};

void scanner_to_console(fuzz::ByteProgram& in) {
    std::vector<scanner::InterfaceAddress> local(static_cast<std::size_t>(in.below(most_interfaces + 1)));
    for (scanner::InterfaceAddress& entry : local) {
        const std::uint8_t flags = in.byte();
        entry.flags = ((flags & 1) != 0 ? IFF_UP : 0u) | ((flags & 2) != 0 ? IFF_LOOPBACK : 0u);
        for (int k = 0; k < 4; ++k) {
            entry.address = entry.address << 8 | in.byte();
        }
    }
    const scanner::Ipv4 pc =
        local.empty() ? 0xC0A80105
                      : local[static_cast<std::size_t>(in.below(static_cast<int>(local.size())))].address;
    const std::vector<scanner::Ipv4> targets = scanner::sweep_targets(local);
    std::vector<scanner::Ipv4> responders;
    for (std::size_t count = in.byte(), at = in.byte(); count > 0 && at < targets.size(); --count) {
        responders.push_back(targets[at]);
        at += 1 + in.byte();
    }
    const auto boxes = scanner::attach_macs(responders, scanner::parse_arp_table(in.rest()));
    const scanner::OutputTexts texts = scanner::output_texts(boxes);

    Search search(dotted(pc), lines_of(texts.mac_text), lines_of(texts.ip_text));
    std::vector<std::string> listed;
    std::vector<std::string> addresses;
    for (const scanner::FoundBox& box : boxes) {
        if ((box.address >> 8) == (pc >> 8) && listed.size() < wc::socket_count) {
            listed.push_back(scanner::format_mac(box.mac));
            addresses.push_back(dotted(box.address));
        }
    }
    const wc::Form1& f = search.rig.f;
    expect(f.cbo_ipaddr.items() == listed, "the console lists other boxes than the PC's network has");
    expect(std::equal(addresses.begin(), addresses.end(), f.ip_list.begin()), "a box has another address");
    expect(listed.empty() || search.rig.p.messages().back().icon == wc::MsgIcon::information,
           "the search takes the scanner's files for bad ones");
}

void files_of_any_content(fuzz::ByteProgram& in) {
    std::string host = in.text(20);
    const std::string_view files = in.rest();
    const std::size_t zero = std::min(files.find('\0'), files.size());
    Search search(std::move(host), lines_of(files.substr(0, zero)),
                  lines_of(files.substr(std::min(zero + 1, files.size()))));
    const wc::Form1& f = search.rig.f;
    expect(f.ip_count == static_cast<std::size_t>(f.cbo_ipaddr.list_count()),
           "a box is listed without an address");
    for (std::size_t k = 0; k < f.ip_count; ++k) {
        const auto octets = wc::address_octets(f.ip_list[k]);
        expect(octets && (*octets)[0] == f.host_octet1 && (*octets)[1] == f.host_octet2 &&
                   (*octets)[2] == f.host_octet3,
               "a listed address is outside the PC's network");
    }
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
