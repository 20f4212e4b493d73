// The console on the Qt platform against wallsim boxes over real TCP on
// loopback: connect and the full refresh, a set from every page reaching the
// box, a box that drops its connection, presses while another exchange
// waits, Disconnect during a wait, and closing the window while a handler
// waits. How often a refresh repaints is scripts/bench's.

#include "demo/operator.h"
#include "sim/box_state.h"
#include "sim/state_file.h"
#include "ui/console_session.h"
#include "ui/frame_box.h"
#include "wallsim.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace wc {
namespace {

class OnWallsim : public ::testing::Test {
protected:
    // Boxes at 127.0.0.1 and 127.0.0.2; options before them apply to the first.
    void start(std::vector<std::string> args = {}) {
        args.insert(args.end(), {"--state-dir", dir.path().toStdString(), "127.0.0.1:0", "127.0.0.2:0"});
        wallsim = std::make_unique<sim::testing::WallsimProcess>(args, 2);
        const auto& boxes = wallsim->boxes();
        ASSERT_EQ(boxes.size(), 2u);
        // Port 23 of 127.0.0.N is the port box N listens on.
        session = std::make_unique<ConsoleSession>(QtPlatform::Options{
            [&boxes](const std::string& host, int) { return boxes.at(host.back() - '1').port; }});
        hands = std::make_unique<demo::Operator>(session->window);
        session->window.show();
        // Every text the reply box shows, even when the next arrival blanks it at once.
        QObject::connect(&shown<QLineEdit>(f().TextInfo), &QLineEdit::textChanged,
                         [this](const QString& text) { replies << text; });
        // What Search MAC leaves behind when it finds the boxes.
        f().ip_list = {boxes[0].address, boxes[1].address, ""};
        f().ip_count = 2;
        for (std::size_t k = 0; k < 2; ++k) {
            f().cbo_ipaddr.add_item(boxes[k].mac);
            f().cbo_model.add_item(std::string(" ").append(std::to_string(k)));
        }
        f().cbo_ipaddr.set_list_index(0);
        f().con_interface.set_enabled(true);
    }

    // The settings the box holds now, as its state file says.
    std::map<std::string, std::string, std::less<>> state(std::size_t box) const {
        const auto& b = wallsim->boxes().at(box);
        QFile file(dir.path() + "/" + QString::fromStdString(sim::state_file_name(b.address, b.port)));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return sim::parse_state(file.readAll().toStdString());
    }

    // Whether box 0 has been sent the command: the console waits for its answer from then on.
    bool received(const std::string& word) const {
        const auto now = state(0);
        const auto count = now.find("count." + word);
        return count != now.end() && count->second != "0";
    }

    Form1& f() { return session->console.f; }
    // The title once a box of this firmware is read: the console's version, then the box's.
    static QString title_with(const std::string& firmware) {
        return QString::fromStdString(std::string(version_caption) + "    FW: v" + firmware);
    }
    template <class W = QWidget> W& shown(const Control& control) {
        return *qobject_cast<W*>(session->window.widget_of(control));
    }
    void click(const Control& control) { shown<QAbstractButton>(control).click(); }
    // Clicks, then waits as the operator does until what the click started has ended.
    void press(const Control& control) {
        click(control);
        ASSERT_TRUE(hands->wait_until([this] { return session->console.running() == 0; }));
    }
    QString text_of(const Control& list) { return shown<QComboBox>(list).currentText(); }
    void choose(const Control& list, int position) { // as the list's popup does
        shown<QComboBox>(list).setCurrentIndex(position);
        emit shown<QComboBox>(list).activated(position);
    }

    QTemporaryDir dir;
    QStringList replies;
    std::unique_ptr<sim::testing::WallsimProcess> wallsim;
    std::unique_ptr<ConsoleSession> session;
    std::unique_ptr<demo::Operator> hands;
};

// The box frames its replies as some firmware does: "\n" behind each, an
// echo of every command, a greeting and a prompt.
TEST_F(OnWallsim, ConnectShowsTheBoxSetsFromEveryPageReachItAndItsDropIsSeen) {
    start({"--line-end", "lf", "--echo", "--banner", "Welcome to wall box 1", "--prompt", "> "});
    {
        sim::testing::Client preset(wallsim->boxes()[0].port);
        preset.send("SRES 5\r\nSBH 33\r\nSBV 44\r\nSOSDT 20\r\nSMUTE 1\r\nSBEZ 1\r\nRPOW\r\n");
        // The answer to the last line says every line before it has been taken.
        for (std::string reply = "-"; !reply.empty() && !reply.starts_with("POWE");) {
            reply = preset.reply();
        }
    }

    press(f().btn_con);

    EXPECT_EQ(hands->messages(), QStringList{"Refresh completed !"});
    EXPECT_EQ(session->window.windowTitle(), title_with(sim::BoxState{}.firmware));
    EXPECT_EQ(shown(f().btn_con).palette().color(QPalette::Button), QColor(0, 255, 0));
    EXPECT_TRUE(shown(f().power_ctl[1]).isVisible()) << "the box is on";
    EXPECT_EQ(shown<QLineEdit>(f().txt_ip).text(), "192.168.001.100");
    // Each page, opened for the first time after the refresh, shows what was read.
    click(f().opt_io);
    EXPECT_EQ(text_of(f().cbo_reso), "1024x768@60");
    EXPECT_EQ(text_of(f().cbo_osd_time), "20");
    EXPECT_TRUE(shown<QAbstractButton>(f().opt_mute[1]).isChecked());
    click(f().opt_tv2);
    EXPECT_EQ(text_of(f().cbo_val_H[1]) + text_of(f().cbo_val_V[1]), " 33 44");
    EXPECT_TRUE(shown<QAbstractButton>(f().opt_bezel[1]).isChecked());

    click(f().opt_tv1);
    press(f().btn_tv_fs[1]); // "2x2"
    click(f().opt_tv2);
    choose(f().cbo_val_H[1], 25);
    press(f().btn_H_Bezel_send);
    click(f().opt_tv3);
    press(f().btn_save[2]);
    click(f().opt_io);
    choose(f().cbo_reso, 7); // the operator answers Yes to "change the resolution?"
    ASSERT_TRUE(hands->wait_until([this] { return session->console.running() == 0; }));
    click(f().opt_image);
    auto& brightness = shown<QComboBox>(f().cbo_image_bri[2]);
    brightness.lineEdit()->selectAll();
    QTest::keyClicks(&brightness, "77");
    QTest::keyClick(&brightness, Qt::Key_Return);
    // A full refresh has answers to wait for, so every line before it has been taken.
    press(f().btn_sys_refresh);

    const std::pair<const char*, const char*> expected[] = {
        {"hot_key", "1"},       {"rows", "2"},      {"columns", "2"},    {"bezel_h", "25"},
        {"fav2.bezel_h", "25"}, {"fav2.rows", "2"}, {"resolution", "7"}, {"brightness.2", "77"}};
    const auto first = state(0), second = state(1);
    for (auto [key, value] : expected) {
        EXPECT_EQ(first.at(key), value) << key;
    }
    EXPECT_EQ(second.at("hot_key"), "1") << "the layout hot keys go to every box";
    EXPECT_EQ(second.at("resolution"), "20") << "the other settings only to the selected one";
    EXPECT_EQ(hands->messages().count("Refresh completed !"), 2);
    EXPECT_EQ(text_of(f().cbo_reso), "720p60");

    // A box that drops its connection is found down by the next action.
    wallsim->stop();
    ASSERT_TRUE(
        hands->wait_until([&] { return session->platform.socket_state(0) != SocketState::connected; }));
    click(f().opt_io);
    press(f().btn_io_rst[0]);
    EXPECT_EQ(hands->messages().back(), "Ethernet is disconnected !");
    EXPECT_TRUE(hands->wait_until([&] { return !shown<FrameBox>(f().frame_control[0]).shown_enabled(); }))
        << "offline, by the next repaint";
}

// A press while another exchange waits for a slow or silent box is answered.
TEST_F(OnWallsim, APressWhileAnotherExchangeWaitsIsAnsweredThroughTheWindow) {
    start({"--delay", "100", "--silent", "SPOW", "--silent", "SDEF"});
    press(f().btn_con);
    // "Power ON" never answered, then Refresh: the refresh runs whole and ends the Power wait.
    click(f().power_ctl[1]);
    press(f().btn_sys_refresh);
    EXPECT_EQ(hands->messages().back(), "Refresh completed !");
    EXPECT_TRUE(shown(f().power_ctl[1]).isEnabled());
    // Get IP while the picture Refresh waits: its lines go out at once.
    click(f().opt_image);
    click(f().btn_img_rst[5]);
    press(f().btn_ip_get);
    EXPECT_EQ(state(0).at("count.RIPM"), "3") << "Connect's and the Refresh's reads, and Get IP";
    EXPECT_EQ(state(0).at("count.RHUE"), "4") << "the picture Refresh ran to its end";
    // A factory reset the box never acknowledges, ended by Disconnect, says it is done.
    click(f().btn_sys_fac_rst);
    ASSERT_TRUE(hands->wait_until([&] { return received("SDEF"); }));
    press(f().btn_discon);
    EXPECT_EQ(hands->messages().back(), "Reset completed ! Please reconnect the ethernet !");
}

TEST_F(OnWallsim, DisconnectEndsAWaitForASilentBoxAndLeavesTheWindowOffline) {
    start({"--silent", "RBH"});
    click(f().btn_con);
    // The bezel read waits for an answer that never comes, with the panels locked.
    ASSERT_TRUE(hands->wait_until([&] { return received("RBH") && !shown(f().btn_con).isEnabled(); }));
    EXPECT_TRUE(shown(f().btn_discon).isEnabled()) << "the panels are locked, Disconnect is not";
    press(f().btn_discon);

    EXPECT_FALSE(hands->messages().contains("Refresh completed !"));
    EXPECT_EQ(shown(f().btn_discon).palette().color(QPalette::Button), QColor(255, 0, 0)) << "offline";
    EXPECT_TRUE(hands->wait_until([&] { return !shown<FrameBox>(f().frame_control[0]).shown_enabled(); }));
    EXPECT_TRUE(shown<FrameBox>(f().con_interface).shown_enabled()) << "unlocked again";
    EXPECT_EQ(session->window.windowTitle(), version_caption.data());
}

TEST_F(OnWallsim, ClosingTheWindowWhileAHandlerWaitsQuitsCleanly) {
    start({"--silent", "SOSDI"});
    QTimer::singleShot(0, [&] { click(f().btn_con); });
    hands->when([&] { return received("SOSDI"); }, [&] { session->window.close(); });
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(std::chrono::seconds(WALL_TEST_TIMEOUT_S));

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(session->console.running(), 0u) << "every handler ended before the event loop did";
    EXPECT_EQ(session->platform.socket_state(0), SocketState::closed);
    EXPECT_FALSE(hands->messages().contains("Refresh completed !"));
}

} // namespace
} // namespace wc
