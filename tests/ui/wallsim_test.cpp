// The console on the Qt platform against wallsim boxes over real TCP on
// loopback: connect and the full refresh, a set from every page reaching the
// box, Disconnect during a wait (which costs no CPU meanwhile), a box that
// drops its connection, and closing the window while a handler waits.

#include "message_watcher.h"
#include "operator_input.h"
#include "qt_print.h"
#include "qt_wait.h"
#include "ui/console_session.h"
#include "ui/frame_box.h"
#include "wallsim_runner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace wc::uitest {
namespace {

class OnWallsim : public ::testing::Test {
protected:
    // Boxes at 127.0.0.1, 127.0.0.2, ...; `box_options` apply to the first.
    void start(const QStringList& box_options = {}, int boxes = 2) {
        QStringList args = box_options;
        for (int k = 0; k < boxes; ++k) {
            args << QString("127.0.0.%1:0").arg(k + 1);
        }
        sim = std::make_unique<WallsimRunner>(args, boxes);
        const WallsimRunner* runner = sim.get();
        session = std::make_unique<ConsoleSession>(QtPlatform::Options{
            [runner](const std::string& host, int port) { return runner->port_of(host, port); }, {}});
        session->window.show();
        // Every text the reply box shows, even when the next arrival blanks it at once.
        QObject::connect(&shown<QLineEdit>(f().TextInfo), &QLineEdit::textChanged,
                         [this](const QString& text) { replies << text; });
        list_boxes();
    }

    // What Search MAC leaves behind when it finds the simulated boxes.
    void list_boxes() {
        Form1& form = f();
        const auto& boxes = sim->boxes();
        form.ip_list.assign(boxes.size() + 1, "");
        for (std::size_t k = 0; k < boxes.size(); ++k) {
            form.cbo_ipaddr.add_item(boxes[k].mac);
            form.ip_list[k] = boxes[k].address;
            form.cbo_model.add_item(" " + std::to_string(k));
        }
        form.ip_count = static_cast<std::uint8_t>(boxes.size());
        form.cbo_ipaddr.set_list_index(0);
        form.con_interface.set_enabled(true);
    }

    Form1& f() { return session->console.f; }
    QWidget& widget(const Control& control) { return *session->window.widget_of(control); }
    template <class W> W& shown(const Control& control) { return *qobject_cast<W*>(&widget(control)); }
    void click(const Control& control) { shown<QAbstractButton>(control).click(); }

    void expect_offline_look() {
        EXPECT_EQ(widget(f().btn_discon).palette().color(QPalette::Button), QColor(255, 0, 0));
        EXPECT_FALSE(shown<FrameBox>(f().frame_control[0]).shown_enabled());
        EXPECT_FALSE(shown<FrameBox>(f().net_config).shown_enabled());
        EXPECT_EQ(session->window.windowTitle(), "v1.15");
    }

    void save_screenshot(const QString& what) {
        QDir().mkpath(SCREENSHOT_DIR);
        session->window.grab().save(QString(SCREENSHOT_DIR "/") + what + ".png");
    }

    MessageWatcher messages;
    QStringList replies;
    std::unique_ptr<WallsimRunner> sim;
    std::unique_ptr<ConsoleSession> session;
};

TEST_F(OnWallsim, ConnectEndsWithTheWindowShowingTheBoxsState) {
    start();
    sim->preset(0, {"SRES 5", "SBH 33", "SBV 44", "SOSDT 20", "SMUTE 1", "SBEZ 1"});

    click(f().btn_con);

    ASSERT_EQ(messages.texts(), QStringList{"Refresh completed !"});
    EXPECT_EQ(messages.seen()[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(messages.seen()[0].title, "v1.15    FW: v1.15") << "message boxes carry the window's title";
    EXPECT_EQ(session->window.windowTitle(), "v1.15    FW: v1.15");
    EXPECT_EQ(widget(f().btn_con).palette().color(QPalette::Button), QColor(0, 255, 0));
    EXPECT_TRUE(shown<FrameBox>(f().frame_control[0]).shown_enabled());
    EXPECT_TRUE(widget(f().btn_tv_fs[0]).isEnabled());
    EXPECT_FALSE(widget(f().ProgressBar1).isVisible());
    EXPECT_TRUE(widget(f().power_ctl[1]).isVisible()) << "the box is on";
    EXPECT_EQ(shown<QComboBox>(f().cbo_reso).currentText(), "1024x768@60");
    EXPECT_EQ(shown<QComboBox>(f().cbo_val_H[1]).currentText(), " 33");
    EXPECT_EQ(shown<QComboBox>(f().cbo_val_V[1]).currentText(), " 44");
    EXPECT_EQ(shown<QComboBox>(f().cbo_osd_time).currentText(), "20");
    EXPECT_EQ(shown<QComboBox>(f().cbo_osd[0]).currentText(), "5");
    EXPECT_TRUE(shown<QRadioButton>(f().opt_mute[1]).isChecked());
    EXPECT_TRUE(shown<QRadioButton>(f().opt_bezel[1]).isChecked());
    EXPECT_EQ(shown<QLineEdit>(f().txt_ip).text(), "192.168.001.100");
    EXPECT_EQ(shown<QComboBox>(f().cbo_model).currentText(), " 0");
    save_screenshot("connected_96dpi");
}

TEST_F(OnWallsim, ASetFromEveryPageReachesTheBox) {
    start();
    click(f().btn_con);
    messages.answer(QMessageBox::Yes); // the resolution question

    click(f().opt_tv1);
    click(f().btn_tv_fs[1]); // "2x2"
    // The operator waits for the box's answer before going on; a faster
    // hand would have the next answer arrive glued to this one.
    ASSERT_TRUE(run_until([&] { return replies.contains("HOTK\r\n"); }));

    click(f().opt_tv2);
    choose(shown<QComboBox>(f().cbo_val_H[1]), 25);
    click(f().btn_H_Bezel_send);

    click(f().opt_tv3);
    click(f().btn_save[2]);

    click(f().opt_io);
    choose(shown<QComboBox>(f().cbo_reso), 7);

    click(f().opt_image);
    auto& brightness_b = shown<QComboBox>(f().cbo_image_bri[2]);
    type_over(brightness_b, "77");
    press_key(brightness_b, Qt::Key_Return);

    // A full refresh has answers to wait for, so every line before it has been taken.
    click(f().btn_sys_refresh);
    const auto box = sim->state(0);
    EXPECT_EQ(box.at("hot_key"), "1");
    EXPECT_EQ(box.at("rows"), "2");
    EXPECT_EQ(box.at("columns"), "2");
    EXPECT_EQ(box.at("bezel_h"), "25");
    EXPECT_EQ(box.at("fav2.bezel_h"), "25");
    EXPECT_EQ(box.at("fav2.rows"), "2");
    EXPECT_EQ(box.at("resolution"), "7");
    EXPECT_EQ(box.at("brightness.2"), "77");
    EXPECT_EQ(sim->state(1).at("hot_key"), "1") << "the layout hot keys go to every box";
    EXPECT_EQ(sim->state(1).at("resolution"), "20") << "the other settings only to the selected one";
    EXPECT_TRUE(messages.texts().contains("Are you sure you want to change the resolution to 720p60 ?"));
    EXPECT_EQ(messages.texts().count("Refresh completed !"), 2);
    EXPECT_EQ(shown<QComboBox>(f().cbo_reso).currentText(), "720p60");
}

TEST_F(OnWallsim, DisconnectEndsAWaitForASilentBoxThatCostNoCpuMeanwhile) {
    start({"--silent", "RBH"});
    double cpu_at_start = 0;
    qint64 waited_ms = 0;
    double cpu_used = 0;
    bool disconnect_usable = false;
    QElapsedTimer clock;
    // The bezel read waits for an answer that never comes.
    Trigger waiting([&] { return f().bezel_read_step == 1; },
                    [&] {
                        disconnect_usable =
                            widget(f().btn_discon).isEnabled() && !widget(f().btn_con).isEnabled();
                        cpu_at_start = process_cpu_seconds();
                        clock.start();
                        QTimer::singleShot(2000, Qt::PreciseTimer, [&] {
                            waited_ms = clock.elapsed();
                            cpu_used = process_cpu_seconds() - cpu_at_start;
                            click(f().btn_discon);
                        });
                    });

    click(f().btn_con);

    ASSERT_TRUE(waiting.fired());
    EXPECT_TRUE(disconnect_usable) << "the panels are locked, Disconnect is not";
    RecordProperty("waited_ms", static_cast<int>(waited_ms));
    RecordProperty("cpu_us", static_cast<int>(cpu_used * 1e6));
    EXPECT_GE(waited_ms, 2000);
    EXPECT_LT(cpu_used, 0.05 * static_cast<double>(waited_ms) / 1000.0)
        << cpu_used << " s of CPU in " << waited_ms << " ms of waiting";
    EXPECT_FALSE(messages.texts().contains("Refresh completed !"));
    expect_offline_look();
    EXPECT_FALSE(widget(f().ProgressBar1).isVisible());
    EXPECT_TRUE(shown<FrameBox>(f().con_interface).shown_enabled()) << "unlocked again";
    EXPECT_EQ(f().bezel_read_step, 0);
}

TEST_F(OnWallsim, ABoxThatDropsItsConnectionIsFoundDownByTheNextAction) {
    start();
    click(f().btn_con);
    sim->stop();
    ASSERT_TRUE(run_until([&] { return session->platform.socket_state(0) != socket_state::connected; }));

    click(f().opt_io);
    click(f().btn_io_rst[0]);

    ASSERT_EQ(messages.texts().back(), "Ethernet is disconnected !");
    EXPECT_EQ(messages.seen().back().icon, QMessageBox::Critical);
    expect_offline_look();
}

TEST_F(OnWallsim, ClosingTheWindowWhileAHandlerWaitsQuitsCleanly) {
    start({"--silent", "SOSDI"});
    bool handler_returned = false;
    QTimer::singleShot(0, [&] {
        click(f().btn_con);
        handler_returned = true;
    });
    Trigger close_while_waiting([&] { return f().osd_info_step == 1; }, [&] { session->window.close(); });
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(test_timeout());

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(close_while_waiting.fired());
    EXPECT_TRUE(handler_returned) << "the event loop ended only after the handler unwound";
    EXPECT_TRUE(session->platform.closing());
    EXPECT_EQ(f().discon_flag, 1);
    EXPECT_EQ(session->platform.socket_state(0), socket_state::closed);
    EXPECT_FALSE(messages.texts().contains("Refresh completed !"));
}

TEST_F(OnWallsim, ClosingTheWindowUnderAnOpenMessageQuitsCleanly) {
    start();
    messages.answer(QMessageBox::Yes);
    messages.hold_next();
    bool handler_returned = false;
    QTimer::singleShot(0, [&] {
        click(f().btn_con); // "Refresh completed !" stays open: nobody answers it
        handler_returned = true;
    });
    Trigger close_under_message([&] { return !messages.seen().empty(); }, [&] { session->window.close(); });
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(test_timeout());

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(handler_returned);
    EXPECT_EQ(messages.texts(), QStringList{"Refresh completed !"});
}

} // namespace
} // namespace wc::uitest
