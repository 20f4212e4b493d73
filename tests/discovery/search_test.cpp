#include "discovery/search.h"
#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using L = std::vector<std::string>;
using Lines = std::optional<L>;

const std::string mac_a = "00:11:22:33:44:0A", mac_b = "00:11:22:33:44:0B", mac_c = "00:11:22:33:44:0C";

// The scanner runs 500 ms and writes the files (nothing: not written) as it ends; then Search MAC runs.
void search(Rig& r, Lines macs, Lines ips, bool scanner_present = true) {
    r.p.set_scanner(scanner_present, 500, [&r, macs, ips] {
        for (const auto& [name, lines] : {std::pair{"MAC.txt", macs}, std::pair{"IP.txt", ips}}) {
            if (lines) {
                r.p.set_file(name, *lines);
            }
        }
    });
    r.f.btn_sys_search.user_click();
    r.p.run_until_idle();
}

std::vector<std::string> in_network(int count) {
    std::vector<std::string> ips;
    for (int k = 0; k < count; ++k) {
        ips.push_back("192.168.001." + std::to_string(100 + k));
    }
    return ips;
}

TEST(Search, ListsTheBoxesOfThePcsNetworkInOrderReadingFixedColumns) {
    Rig r{install_discovery};
    r.list_boxes(3);
    r.go_online(1); // a search while connected goes offline first
    const auto start = r.p.now();
    // Column rules: leading blanks, no digits give 0, a fraction is rounded.
    search(r, L{mac_a + " trailing", mac_b, mac_c, "00:11:22:33:44:0D"},
           L{"192.168.  1.020", "010.000.000.007", "192.168.001.abc", "192.168.001.3.5"});
    EXPECT_EQ(r.p.now(), start + 500); // the files are read once the scanner has ended
    EXPECT_THAT(r.f.cbo_ipaddr.items(), ElementsAre(mac_a, mac_c, "00:11:22:33:44:0D"));
    EXPECT_THAT(std::vector(r.f.ip_list.begin(), r.f.ip_list.begin() + 3),
                ElementsAre("192.168.1.20", "192.168.1.0", "192.168.1.4"));
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Search MAC completed !", MsgIcon::information, MsgButtons::ok}));
    EXPECT_FALSE(r.f.link_up);
    EXPECT_EQ(r.p.socket_state(1), SocketState::closed);
    EXPECT_TRUE(r.p.connects().empty()); // selecting entry 0 offline touches no socket
}

TEST(Search, WhatCannotBeReadEndsTheSearchWithTheBoxesAcceptedSoFar) {
    const Lines macs = L{mac_a, mac_b, mac_c}, one_mac = L{mac_a},
                bad_ip = L{"192.168.001.100", "192.168.001.256"};
    struct Case {
        const char* local_ip;
        bool scanner;
        Lines macs, ips;
        std::string message;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {"192.168.1.5", false, macs, in_network(3), "Cannot start KRAV_TILESCOPE.exe !", {}},
        {"192.168.1.5", true, {}, in_network(3), "Cannot read MAC.txt !", {}},
        {"192.168.1.5", true, macs, {}, "Cannot read IP.txt !", {}},
        {"192.168.1.5", true, one_mac, in_network(2), "IP.txt has more lines than MAC.txt !", {mac_a}},
        // A box without an address could be chosen but never connected to.
        {"192.168.1.5", true, macs, in_network(2), "IP.txt has fewer lines than MAC.txt !", {mac_a, mac_b}},
        {"192.168.1.5", true, macs, bad_ip, "IP.txt line 2 is not an IP address: 192.168.001.256", {mac_a}},
        {"192.168.1", true, macs, in_network(3), "The PC's IP address \"192.168.1\" is not valid !", {}},
        {"192.168.1.5", true, one_mac, L{"192.168.002.020"}, "Not Find MAC !", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Rig r{install_discovery};
        r.p.set_local_ip(c.local_ip);
        search(r, c.macs, c.ips, c.scanner);
        EXPECT_THAT(r.p.messages(), ElementsAre(Message{c.message, MsgIcon::exclamation, MsgButtons::ok}));
        EXPECT_THAT(r.f.cbo_ipaddr.items(), ElementsAreArray(c.listed));
        EXPECT_EQ(r.f.cbo_model.list_count(), static_cast<int>(c.listed.size()));
        EXPECT_EQ(r.f.con_interface.enabled(), !c.listed.empty());
    }
}

TEST(Search, TenBoxesAtMostEachWithItsAddress) {
    Rig r{install_discovery};
    std::vector<std::string> macs;
    for (int k = 0; k < 12; ++k) {
        macs.push_back("00:11:22:33:44:" + std::to_string(10 + k));
    }
    // Two boxes of other networks among them: the entries behind each move up.
    auto ips = in_network(12);
    ips.insert(ips.begin() + 3, {"010.000.000.007", "192.168.002.100"});
    macs.insert(macs.begin() + 3, {mac_b, mac_c});
    search(r, macs, ips);
    ASSERT_EQ(r.f.cbo_ipaddr.list_count(), 10);
    EXPECT_EQ(r.f.cbo_ipaddr.items()[3], "00:11:22:33:44:13");
    EXPECT_EQ(r.f.ip_list[9], "192.168.1.109");
    EXPECT_THAT(r.p.message_texts(), ElementsAre("More than 10 MAC found, only the first 10 are listed !",
                                                 "Search MAC completed !"));
}

} // namespace
} // namespace wc::test
