// The console as an operator meets it on a real network: the real window and
// scanner, real wallsim boxes on a private namespace network, the PC on two
// networks. What needs more than loopback is checked here (the search, every
// box reached, switching boxes); the window's own behaviour is the ui tests'.
// The steps build on each other and run in order.

#include "demo/operator.h"
#include "sim/box_state.h"
#include "test_network.h"
#include "ui/console_session.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace wc::test {
namespace {

using demo::Operator;

std::unique_ptr<TestNetwork> g_net;
constexpr int box_count = 3;
constexpr int skipped = 77;

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_session = std::make_unique<ConsoleSession>();
        s_session->window.show();
        s_op = std::make_unique<Operator>(s_session->window);
    }
    static void TearDownTestSuite() {
        s_op.reset();
        s_session.reset();
    }
    void SetUp() override { op().forget_messages(); }

    static Operator& op() { return *s_op; }
    static TestNetwork& net() { return *g_net; }
    template <class W> static W* w(const char* name) { return qobject_cast<W*>(op().widget(name)); }
    static bool says(const QString& message) {
        return op().wait_for_message(message) &&
               op().wait_until([] { return s_session->console.running() == 0; });
    }
    // Waits until every box in `boxes` has `key` at `value` in its state.
    static bool boxes_have(std::initializer_list<int> boxes, const char* key, const std::string& value) {
        return op().wait_until([&] {
            return std::all_of(boxes.begin(), boxes.end(),
                               [&](int box) { return net().state_of(box, key) == value; });
        });
    }

    static std::unique_ptr<ConsoleSession> s_session;
    static std::unique_ptr<Operator> s_op;
};

std::unique_ptr<ConsoleSession> EndToEnd::s_session;
std::unique_ptr<Operator> EndToEnd::s_op;

// The box on the PC's second network is found by the scanner and left out.
TEST_F(EndToEnd, SearchListsExactlyTheBoxesOfThePcNetwork) {
    op().click("btn_sys_search");
    ASSERT_TRUE(says("Search MAC completed !")) << op().messages().join(" | ").toStdString();
    auto* list = w<QComboBox>("cbo_ipaddr");
    ASSERT_EQ(list->count(), box_count);
    for (int k = 1; k <= box_count; ++k) {
        EXPECT_EQ(list->itemText(k - 1).toStdString(), TestNetwork::mac(k));
    }
    EXPECT_EQ(s_session->console.f.ip_list[0], "192.168.1.20");
}

TEST_F(EndToEnd, ConnectReadsTheSelectedBoxAndAllIpSetsReachEveryBox) {
    op().click("btn_con");
    ASSERT_TRUE(says("Refresh completed !")) << op().messages().join(" | ").toStdString();
    EXPECT_EQ(s_session->window.windowTitle().toStdString(),
              std::string(version_caption) + "    FW: v" + sim::BoxState{}.firmware);
    EXPECT_EQ(w<QLineEdit>("txt_ip")->text().toStdString(), "192.168.001.100");
    op().click("btn_tv_fs_8"); // "3x4", always to every box
    EXPECT_TRUE(boxes_have({1, 2, 3}, "hot_key", "8"));
    op().click("opt_image");
    op().click("Chk_img_0");
    op().choose("cbo_image_bri_2", 33);
    EXPECT_TRUE(boxes_have({1, 2, 3}, "brightness.2", "33"));
    op().click("Chk_img_0");
    op().choose("cbo_image_con_3", 75); // now the selected box only
    EXPECT_TRUE(boxes_have({1}, "contrast.3", "75"));
    EXPECT_EQ(net().state_of(2, "contrast.3"), "50");
}

TEST_F(EndToEnd, SwitchingBoxesReconnectsAndReadsTheNewBox) {
    op().choose("cbo_ipaddr", 1);
    ASSERT_TRUE(says("Refresh completed !")) << op().messages().join(" | ").toStdString();
    EXPECT_EQ(op().messages().front().toStdString(),
              "Do you want to refresh the parameters for this MAC device ?");
    EXPECT_EQ(w<QComboBox>("cbo_image_bri_2")->currentText().toStdString(), "33");
    EXPECT_EQ(net().state_of(2, "count.SOSDI"), "1");
}

} // namespace
} // namespace wc::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    using namespace wc::test;
    if (const std::string unavailable = TestNetwork::unavailable_reason(); !unavailable.empty()) {
        // CTest shows the run as skipped, with the reason in its output.
        std::fprintf(stderr, "end-to-end test skipped: %s\n", unavailable.c_str());
        return skipped;
    }
    g_net = std::make_unique<TestNetwork>("e2e" + std::to_string(getpid()), box_count);
    g_net->enter_pc();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    const int result = RUN_ALL_TESTS();
    g_net.reset();
    return result;
}
