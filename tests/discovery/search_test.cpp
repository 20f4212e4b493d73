#include "link/link.h"
#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Lines = std::optional<std::vector<std::string>>;

const std::string mac_a = "00:11:22:33:44:0A";
const std::string mac_b = "00:11:22:33:44:0B";
const std::string mac_c = "00:11:22:33:44:0C";

// The scanner runs 500 ms and writes the files as it ends; a file given as
// nothing is not written. Then "Search MAC" is pressed and everything runs.
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

TEST(Search, KeepsTheBoxesOfThePcsNetworkInOrder) {
    Rig r;
    search(r, std::vector<std::string>{mac_a + " trailing", mac_b, mac_c},
           std::vector<std::string>{"192.168.001.020", "010.000.000.007", "192.168.001.021"});
    EXPECT_EQ(r.p.now(), 500); // the files are read once the scanner has ended
    EXPECT_THAT(r.f.cbo_ipaddr.items(), ElementsAre(mac_a, mac_c));
    EXPECT_EQ(r.f.cbo_ipaddr.list_index(), 0);
    EXPECT_EQ(r.f.ip_list[0], "192.168.1.20");
    EXPECT_EQ(r.f.ip_list[1], "192.168.1.21");
    EXPECT_THAT(r.f.cbo_model.items(), ElementsAre(" 0", " 1"));
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Search MAC completed !", MsgIcon::information, MsgButtons::ok}));
    EXPECT_TRUE(r.f.btn_con.operable());
    EXPECT_TRUE(r.p.connects().empty()); // selecting entry 0 offline touches no socket
}

TEST(Search, WhileConnectedGoesOfflineFirst) {
    Rig r;
    r.list_boxes(3);
    r.go_online(1);
    search(r, std::vector<std::string>{mac_a}, std::vector<std::string>{"192.168.001.020"});
    EXPECT_FALSE(r.f.link_up);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(r.p.socket_state(k), socket_state::closed);
    }
    EXPECT_THAT(r.f.cbo_ipaddr.items(), ElementsAre(mac_a));
}

TEST(Search, WhatCannotBeReadEndsTheSearchWithTheBoxesAcceptedSoFar) {
    const Lines three_macs = std::vector<std::string>{mac_a, mac_b, mac_c};
    struct Case {
        const char* local_ip;
        bool scanner;
        Lines macs, ips;
        std::string message;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {"192.168.1.5", false, three_macs, in_network(3), "Cannot start KRAV_TILESCOPE.exe !", {}},
        {"192.168.1.5", true, {}, in_network(3), "Cannot read MAC.txt !", {}},
        {"192.168.1.5", true, three_macs, {}, "Cannot read IP.txt !", {}},
        {"192.168.1.5",
         true,
         std::vector<std::string>{mac_a},
         in_network(2),
         "IP.txt has more lines than MAC.txt !",
         {mac_a}},
        {"192.168.1.5",
         true,
         three_macs,
         std::vector<std::string>{"192.168.001.100", "192.168.001.256", "192.168.001.102"},
         "IP.txt line 2 is not an IP address: 192.168.001.256",
         {mac_a}},
        {"192.168.1",
         true,
         three_macs,
         in_network(3),
         "The PC's IP address \"192.168.1\" is not valid !",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Rig r;
        r.p.set_local_ip(c.local_ip);
        search(r, c.macs, c.ips, c.scanner);
        EXPECT_THAT(r.p.messages(), ElementsAre(Message{c.message, MsgIcon::exclamation, MsgButtons::ok}));
        EXPECT_THAT(r.f.cbo_ipaddr.items(), ElementsAreArray(c.listed));
        EXPECT_EQ(r.f.cbo_model.list_count(), static_cast<int>(c.listed.size()));
        EXPECT_EQ(r.f.con_interface.enabled(), !c.listed.empty());
        if (!c.listed.empty()) {
            EXPECT_EQ(r.f.ip_list[0], "192.168.1.100");
        }
    }
}

TEST(Search, TenBoxesAtMostEachWithItsAddress) {
    Rig r;
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

TEST(Search, MacLinesWithoutAnIpLineStayListedWithoutAnAddress) {
    Rig r;
    search(r, std::vector<std::string>{mac_a, mac_b}, in_network(1));
    EXPECT_THAT(r.f.cbo_ipaddr.items(), ElementsAre(mac_a, mac_b));
    EXPECT_EQ(r.f.ip_list[1], "");
}

TEST(Search, NoBoxInTheNetworkKeepsTheIdListAndTheFrame) {
    Rig r;
    r.list_boxes(2);
    r.f.con_interface.set_enabled(false);
    search(r, std::vector<std::string>{mac_a}, std::vector<std::string>{"192.168.002.020"});
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Not Find MAC !", MsgIcon::exclamation, MsgButtons::ok}));
    EXPECT_EQ(r.f.cbo_ipaddr.list_count(), 0);
    EXPECT_EQ(r.f.cbo_model.list_count(), 2);
    EXPECT_FALSE(r.f.con_interface.enabled());
}

} // namespace
} // namespace wc::test
