// An operator's press while another exchange waits for its box is answered:
// it starts at once and sends what it sends, each exchange takes the answers
// to its own lines, and the one that shares a step counter with the other
// follows the counter's rules.

#include "app/app.h"
#include "app/connect.h"
#include "rig.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// The simulated box, answering slowly and never to the words given.
Responder answering(sim::Box& box, std::set<std::string> silent, int delay_ms) {
    return [&box, silent = std::move(silent), delay_ms](const std::string& line) {
        std::vector<Chunk> replies = sim_responder(box, delay_ms)(line);
        return silent.contains(std::string(sim::command_word(line))) ? std::vector<Chunk>{} : replies;
    };
}

struct Meanwhile : ::testing::Test {
    sim::Box box;
    Rig r{install_all};
    void online(std::set<std::string> silent, int delay_ms = 10) {
        r.online(1, answering(box, std::move(silent), delay_ms));
    }
};

// Get IP pressed while a read-back, a factory reset or the re-link delay
// waits: its lines go out at once and its answers fill the network frame.
TEST_F(Meanwhile, GetIpDuringAnotherWaitAsksAtOnceAndShowsTheAddresses) {
    const std::pair<const char*, std::function<void(Form1&)>> waits[] = {
        {"RBRI 1",
         [](Form1& f) {
             f.opt_image.user_click();
             f.btn_img_rst[5].user_click();
         }},
        {"RRES",
         [](Form1& f) {
             f.opt_io.user_click();
             f.btn_io_rst[0].user_click();
         }},
        {"SDEF", [](Form1& f) { f.btn_sys_fac_rst.user_click(); }},
        {"SREL", [](Form1& f) { f.btn_ip_relink.user_click(); }},
    };
    for (const auto& [first, act] : waits) {
        SCOPED_TRACE(first);
        Rig rig{install_all};
        sim::Box slow;
        rig.online(1, answering(slow, {"SDEF"}, 600));
        const auto seen =
            rig.meanwhile([&, act = act] { act(rig.f); }, 500, [&] { rig.f.btn_ip_get.user_click(); });
        ASSERT_GE(seen.lines.size(), 3u);
        EXPECT_THAT(std::vector(seen.lines.begin(), seen.lines.begin() + 2), ElementsAre(first, "RIPM"));
        EXPECT_NE(std::find(seen.lines.begin(), seen.lines.end(), "RLINK"), seen.lines.end());
        EXPECT_EQ(rig.f.txt_ip.text(), "192.168.001.100");
    }
}

// "Power ON" to a box that never answers SPOW, then Refresh: the refresh runs
// whole, its status read takes the status step, and ends the Power wait.
TEST_F(Meanwhile, ARefreshDuringAPowerWaitRunsWholeAndEndsThePowerWait) {
    online({"SPOW"});
    r.c.start(refresh_all(r.c));
    r.finish();
    ASSERT_TRUE(r.f.power_ctl[1].visible());
    const auto seen =
        r.meanwhile([&] { r.f.power_ctl[1].user_click(); }, 500, [&] { r.f.btn_sys_refresh.user_click(); });
    EXPECT_THAT(seen.lines,
                ElementsAre("SPOW 0", "RPOW", "RMDN", "RBEZ", "RVER", "RIPM", "RLINK", "RBH ", "RBV ", "RRES",
                            "ROSDD", "ROSDT", "ROSDH", "ROSDV", "ROSDG", "RMUTE"));
    EXPECT_THAT(seen.messages, ElementsAre("Refresh completed !"));
    EXPECT_TRUE(r.f.power_ctl[1].enabled());
    EXPECT_TRUE(r.f.link_up);
}

// After a Connect whose OSD information never comes, a read goes out at once.
TEST_F(Meanwhile, AReadDuringConnectsOsdWaitAsksAtOnce) {
    r.list_boxes(1);
    r.script_box(0, answering(box, {"SOSDI"}, 10));
    r.f.cbo_ipaddr.user_choose(0);
    const auto seen =
        r.meanwhile([&] { r.f.btn_con.user_click(); }, 500, [&] { r.f.btn_ip_get.user_click(); });
    EXPECT_THAT(seen.lines, ElementsAre("SOSDI", "RIPM", "RLINK"));
    EXPECT_EQ(r.f.txt_ip.text(), "192.168.001.100");
    EXPECT_THAT(seen.messages, ElementsAre("Ethernet is disconnected !")); // the refresh's own check
}

} // namespace
} // namespace wc::test
