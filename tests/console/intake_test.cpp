#include "console/link.h"
#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

// Records what each parser slot saw, to check the fan-out itself.
std::vector<std::pair<int, std::string>> seen;

template <int Slot> void record(Console&, std::string chunk) {
    seen.emplace_back(Slot, std::move(chunk));
}

template <int Slot> void record_and_spoil(Console&, std::string chunk) {
    seen.emplace_back(Slot, chunk);
    chunk.assign("spoilt"); // a parser's own copy: later parsers must not see this
}

struct Intake : ::testing::Test {
    Rig r{};
    void SetUp() override {
        seen.clear();
        r.list_boxes(3);
        r.go_online(0);
    }
};

TEST_F(Intake, EveryInstalledParserGetsItsOwnCopyOfEachReplyInTheFixedOrder) {
    r.c.parsers = {};
    r.c.install(ParserSlot::bezel_ack, record<10>);
    r.c.install(ParserSlot::status, record_and_spoil<0>);
    r.c.install(ParserSlot::fav, record<4>); // the places between are skipped
    r.p.arrive(0, "POWE001\r\n");
    r.p.run_until_idle();
    EXPECT_EQ(seen,
              (std::vector<std::pair<int, std::string>>{{0, "POWE001"}, {4, "POWE001"}, {10, "POWE001"}}));
    EXPECT_EQ(r.f.TextInfo.text(), "POWE001\r\n");
}

TEST_F(Intake, DataFromABoxNotSelectedStaysUnreadAndClearsTheReplyBox) {
    r.c.parsers = {};
    r.c.install(ParserSlot::status, record<0>);
    r.f.TextInfo.set_text("old");
    r.p.arrive(2, "POWE000\r\n");
    r.p.run_until_idle();
    EXPECT_EQ(r.f.TextInfo.text(), "");
    EXPECT_EQ(r.p.pending(2), "POWE000\r\n");
    EXPECT_TRUE(seen.empty());
}

TEST_F(Intake, NothingSelectedReadsNothing) {
    r.f.cbo_ipaddr.set_list_index(-1);
    r.f.TextInfo.set_text("old");
    r.c.data_arrival(0);
    EXPECT_EQ(r.f.TextInfo.text(), "");
}

} // namespace
} // namespace wc::test
