// The Qt platform's own services: message boxes with the window's title, their
// icon and the operator's answer; single-shot timers; the scanner started as a
// process beside the program or, installed, from libexec, its end seen by
// polling through the yield.

#include "operator.h"
#include "ui/qt_platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace wc {
namespace {

class QtPlatformTest : public ::testing::Test, PlatformEvents {
protected:
    QtPlatformTest() { platform.attach(this); }
    ~QtPlatformTest() override { platform.attach(nullptr); }
    void data_arrival(int) override {}
    void timer_fired(TimerId timer) override {
        timers.push_back(timer);
        fired_at[timer] = std::chrono::steady_clock::now();
    }

    // Yields as a waiting handler does, until the condition holds or the test times out.
    bool yield_until(const std::function<bool()>& done) {
        QTimer limit;
        limit.setSingleShot(true);
        limit.start(std::chrono::seconds(WALL_TEST_TIMEOUT_S));
        while (!done() && limit.isActive()) {
            platform.yield();
        }
        return done();
    }

    // A stand-in scanner at `path` that writes MAC.txt into its working directory.
    static void write_scanner(const QString& path) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile scanner(path);
        ASSERT_TRUE(scanner.open(QIODevice::WriteOnly));
        scanner.write("#!/bin/sh\nprintf 'a\\r\\n\\r\\nb' > MAC.txt\n");
        scanner.close();
        scanner.setPermissions(scanner.permissions() | QFileDevice::ExeOwner);
    }

    QTemporaryDir dir;
    // The console's folder: a build folder once the scanner is put beside it,
    // bin of an installed tree once it is put in libexec.
    const QString bin = dir.path() + "/bin";
    const QString user_data = dir.path() + "/home/.local/share/wallconsole";
    std::vector<TimerId> timers;
    std::map<TimerId, std::chrono::steady_clock::time_point> fired_at;
    QtPlatform platform{{{}, bin, user_data}};
};

TEST_F(QtPlatformTest, MessageBoxesCarryTheWindowsTitleTheirIconAndTheOperatorsAnswer) {
    QWidget window;
    window.setWindowTitle("v1.15    FW: v1.15");
    platform.set_window(&window);
    e2e::Operator hands(window);
    const std::tuple<MsgIcon, MsgButtons, QMessageBox::Icon, MsgAnswer> cases[] = {
        {MsgIcon::critical, MsgButtons::ok, QMessageBox::Critical, MsgAnswer::ok},
        {MsgIcon::question, MsgButtons::yes_no, QMessageBox::Question, MsgAnswer::yes},
        {MsgIcon::question, MsgButtons::yes_no, QMessageBox::Question, MsgAnswer::no},
    };
    for (auto [icon, buttons, shown, answer] : cases) {
        SCOPED_TRACE(static_cast<int>(shown));
        if (answer == MsgAnswer::no) {
            hands.answer_no();
        }
        hands.on_message = [&](QWidget& box) {
            EXPECT_EQ(box.windowTitle(), "v1.15    FW: v1.15");
            EXPECT_EQ(static_cast<QMessageBox&>(box).icon(), shown);
            EXPECT_EQ(static_cast<QMessageBox&>(box).standardButtons(),
                      buttons == MsgButtons::ok ? QMessageBox::Ok : QMessageBox::Yes | QMessageBox::No);
        };
        EXPECT_EQ(platform.message_box("Reset All IP ?", icon, buttons), answer);
    }
    EXPECT_EQ(hands.messages().size(), qsizetype(std::size(cases)));
}

TEST_F(QtPlatformTest, TimersFireOnceThroughTheYieldUnlessStopped) {
    platform.timer_start(TimerId::connect_timeout, 20);
    platform.timer_start(TimerId::relink_delay, 40);
    platform.timer_stop(TimerId::connect_timeout);
    ASSERT_TRUE(yield_until([&] { return !timers.empty(); }));
    platform.timer_start(TimerId::connect_timeout, 30);
    ASSERT_TRUE(yield_until([&] { return timers.size() == 2; }));
    EXPECT_EQ(timers, (std::vector<TimerId>{TimerId::relink_delay, TimerId::connect_timeout}));
}

// Coarse timers snap whole-second intervals to the wall clock's second, so a
// timer started just after a second begins would end early: start them at
// every tenth of a second.
TEST_F(QtPlatformTest, NoTimerEndsEarlyWhereverInASecondItStarts) {
    using namespace std::chrono;
    constexpr milliseconds interval{1000};
    std::map<TimerId, steady_clock::time_point> started;
    for (int round = 0; round < 5; ++round) {
        timers.clear();
        const TimerId ids[] = {TimerId::connect_timeout, TimerId::relink_delay};
        for (int k = 0; k < 2; ++k) {
            const auto phase = milliseconds(10 + 100 * (2 * round + k));
            const auto into_second =
                duration_cast<milliseconds>(system_clock::now().time_since_epoch()) % seconds(1);
            QTimer::singleShot((phase - into_second + seconds(1)) % seconds(1), Qt::PreciseTimer,
                               [&, id = ids[k]] {
                                   started[id] = steady_clock::now();
                                   platform.timer_start(id, static_cast<int>(interval.count()));
                               });
        }
        ASSERT_TRUE(yield_until([&] { return timers.size() == 2; }));
        for (TimerId id : ids) {
            EXPECT_GE(fired_at[id] - started[id], interval) << "round " << round;
        }
    }
}

TEST_F(QtPlatformTest, StartsTheScannerBesideTheProgramAndSeesItEnd) {
    EXPECT_FALSE(platform.start_scanner("KRAV_TILESCOPE.exe")) << "missing";
    write_scanner(bin + "/KRAV_TILESCOPE.exe");

    ASSERT_TRUE(platform.start_scanner("KRAV_TILESCOPE.exe"));
    EXPECT_TRUE(yield_until([&] { return !platform.scanner_running(); }));
    EXPECT_EQ(platform.read_lines("MAC.txt"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(QFile::exists(bin + "/MAC.txt")) << "ran in the program's folder";
    EXPECT_EQ(platform.read_lines("IP.txt"), std::nullopt);
    EXPECT_FALSE(QFile::exists(user_data)) << "the build folder keeps its files";
}

// Installed, nothing but the programs is in bin: the scanner is a helper in
// libexec, and the files go to the user's own folder, made on the first search.
TEST_F(QtPlatformTest, InstalledStartsTheScannerFromLibexecAndKeepsItsFilesInTheUsersFolder) {
    write_scanner(dir.path() + "/libexec/wallconsole/KRAV_TILESCOPE.exe");
    ASSERT_TRUE(QDir().mkpath(bin));

    ASSERT_TRUE(platform.start_scanner("KRAV_TILESCOPE.exe"));
    EXPECT_TRUE(yield_until([&] { return !platform.scanner_running(); }));
    EXPECT_EQ(platform.read_lines("MAC.txt"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(QFile::exists(user_data + "/MAC.txt")) << "ran in the user's folder";
    EXPECT_TRUE(QDir(bin).isEmpty());
}

} // namespace
} // namespace wc
