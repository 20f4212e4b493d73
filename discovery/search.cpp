#include "discovery/search.h"

#include "console/link.h"
#include "discovery/scan_files.h"
#include "link/protocol.h"
#include "link/scan_places.h"

#include <optional>
#include <string>

namespace wc {

namespace {

// The boxes whose address was accepted so far are the list; entries behind
// them have no address (yet) and must not be connected to.
void keep_accepted(Form1& f) {
    while (f.cbo_ipaddr.list_count() > f.ip_count) {
        f.cbo_ipaddr.remove_item(f.cbo_ipaddr.list_count() - 1);
    }
}

void offer_list(Console& c) {
    Form1& f = c.f;
    fill_id_list(c);
    f.cbo_ipaddr.set_list_index(0);
    f.con_interface.set_enabled(true);
}

// A search that cannot go on says why and ends with the boxes it has.
Task<> end_search(Console& c, std::string why) {
    keep_accepted(c.f);
    co_await c.message(why, MsgIcon::exclamation);
    if (c.f.cbo_ipaddr.list_count() > 0) {
        offer_list(c);
    }
}

// Reads IP.txt against the MAC entries: the entry of the current line is
// always entry ip_count, because dropped entries move the later ones up.
// Returns the reason when a line cannot be placed.
std::optional<std::string> match_addresses(Console& c, const std::vector<std::string>& lines,
                                           bool& too_many) {
    Form1& f = c.f;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (f.ip_count >= f.cbo_ipaddr.list_count()) {
            return "IP.txt has more lines than MAC.txt !";
        }
        const auto octets = ip_octets(lines[k]);
        if (!octets_in_range(octets)) {
            return "IP.txt line " + std::to_string(k + 1) + " is not an IP address: " + lines[k];
        }
        const bool same_network =
            octets[0] == f.host_octet1 && octets[1] == f.host_octet2 && octets[2] == f.host_octet3;
        // Ten sockets serve ten boxes; a further box of the network is left out.
        if (same_network && f.ip_count < socket_count) {
            f.ip_list[f.ip_count] = dotted(octets);
            ++f.ip_count;
        } else {
            too_many = too_many || same_network;
            f.cbo_ipaddr.remove_item(f.ip_count);
        }
    }
    return std::nullopt;
}

} // namespace

void install_discovery(Console& c) {
    c.f.btn_sys_search.on_click = c.handler([&c] { return btn_sys_search_Click(c); });
}

bool read_host_ip(Console& c) {
    Form1& f = c.f;
    f.host_ip = c.platform.local_ip();
    const std::size_t p1 = f.host_ip.find('.');
    const std::size_t p2 = p1 == std::string::npos ? p1 : f.host_ip.find('.', p1 + 1);
    const std::size_t p3 = p2 == std::string::npos ? p2 : f.host_ip.find('.', p2 + 1);
    if (p3 == std::string::npos) {
        return false;
    }
    const std::string_view ip = f.host_ip;
    const long octets[3] = {whole_value(ip.substr(0, p1)), whole_value(ip.substr(p1 + 1, p2 - p1 - 1)),
                            whole_value(ip.substr(p2 + 1, p3 - p2 - 1))};
    for (long octet : octets) {
        if (octet < 0 || octet > 255) {
            return false;
        }
    }
    f.host_octet1 = static_cast<std::uint8_t>(octets[0]);
    f.host_octet2 = static_cast<std::uint8_t>(octets[1]);
    f.host_octet3 = static_cast<std::uint8_t>(octets[2]);
    return true;
}

void fill_id_list(Console& c) {
    Form1& f = c.f;
    f.cbo_model.clear();
    for (long i = 0; i < f.cbo_ipaddr.list_count(); ++i) {
        f.cbo_model.add_item(sign_blank(i));
    }
}

Task<> btn_sys_search_Click(Console& c) {
    Form1& f = c.f;
    // One scanner runs at a time, and the list it gives is the one search's.
    if (c.platform.scanner_running()) {
        co_await c.message("Search MAC is running !", MsgIcon::exclamation);
        co_return;
    }
    go_offline(c);
    f.ip_count = 0;
    f.cbo_ipaddr.clear();
    f.ip_list.assign(1, "");
    if (!read_host_ip(c)) {
        co_return co_await end_search(c, "The PC's IP address \"" + f.host_ip + "\" is not valid !");
    }
    if (!c.platform.start_scanner(scanner_file)) {
        co_return co_await end_search(c, "Cannot start " + std::string(scanner_file) + " !");
    }
    co_await c.until([&c] { return !c.platform.scanner_running(); });
    const auto macs = c.platform.read_lines("MAC.txt");
    if (!macs) {
        co_return co_await end_search(c, "Cannot read MAC.txt !");
    }
    for (const std::string& line : *macs) {
        f.cbo_ipaddr.add_item(mac_text(line));
    }
    f.ip_list.assign(static_cast<std::size_t>(f.cbo_ipaddr.list_count()) + 1, "");
    const auto ips = c.platform.read_lines("IP.txt");
    if (!ips) {
        co_return co_await end_search(c, "Cannot read IP.txt !");
    }
    bool too_many = false;
    if (auto failure = match_addresses(c, *ips, too_many)) {
        co_return co_await end_search(c, *failure);
    }
    // A box without an address could be chosen but never connected to.
    if (f.ip_count < f.cbo_ipaddr.list_count()) {
        co_return co_await end_search(c, "IP.txt has fewer lines than MAC.txt !");
    }
    if (f.cbo_ipaddr.list_count() == 0) {
        co_await c.message("Not Find MAC !", MsgIcon::exclamation);
        co_return;
    }
    if (too_many) {
        co_await c.message("More than 10 MAC found, only the first 10 are listed !", MsgIcon::exclamation);
    }
    fill_id_list(c);
    co_await c.message("Search MAC completed !", MsgIcon::information);
    f.cbo_ipaddr.set_list_index(0);
    f.con_interface.set_enabled(true);
}

} // namespace wc
