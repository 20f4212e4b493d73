// The Qt platform's own services: message boxes with the window's title, their
// icon and the operator's answer, reported once answered; single-shot timers;
// the scanner started as a process beside the program or, installed, from
// libexec, and its end reported.

#include "demo/operator.h"
#include "ui/qt_platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
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
    void timer_fired(TimerId timer) override { timers.push_back(timer); }
    void link_changed(int) override {}
    void scanner_ended() override { ++scanners_ended; }
    void message_answered(int id, MsgAnswer answer) override { answers[id] = answer; }

    // A stand-in scanner at `path` that writes MAC.txt into its working directory.
    static void write_scanner(const QString& path) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile scanner(path);
        ASSERT_TRUE(scanner.open(QIODevice::WriteOnly));
        scanner.write("#!/bin/sh\nprintf 'a\\r\\n\\r\\nb' > MAC.txt\n");
        scanner.close();
        scanner.setPermissions(scanner.permissions() | QFileDevice::ExeOwner);
    }

    static bool wait_until(const std::function<bool()>& done) {
        return QTest::qWaitFor(done, WALL_TEST_TIMEOUT_S * 1000);
    }
    // The scanner's end is reported, and then it no longer runs.
    bool wait_for_scanner() {
        return wait_until([&] { return scanners_ended > 0; }) && !platform.scanner_running();
    }

    QTemporaryDir dir;
    // The console's folder: a build folder once the scanner is put beside it,
    // bin of an installed tree once it is put in libexec.
    const QString bin = dir.path() + "/bin";
    const QString user_data = dir.path() + "/home/.local/share/wallconsole";
    std::vector<TimerId> timers;
    int scanners_ended = 0;
    std::map<int, MsgAnswer> answers;
    QtPlatform platform{{{}, bin, user_data}};
};

TEST_F(QtPlatformTest, MessageBoxesCarryTheWindowsTitleTheirIconAndTheOperatorsAnswer) {
    QWidget window;
    window.setWindowTitle("Wall console title");
    platform.set_window(&window);
    demo::Operator hands(window);
    const std::tuple<MsgIcon, MsgButtons, QMessageBox::Icon, MsgAnswer> cases[] = {
        {MsgIcon::critical, MsgButtons::ok, QMessageBox::Critical, MsgAnswer::ok},
        {MsgIcon::question, MsgButtons::yes_no, QMessageBox::Question, MsgAnswer::yes},
        {MsgIcon::question, MsgButtons::yes_no, QMessageBox::Question, MsgAnswer::no},
    };
    int id = 0;
    for (auto [icon, buttons, shown, answer] : cases) {
        SCOPED_TRACE(static_cast<int>(shown));
        if (answer == MsgAnswer::no) {
            hands.answer_no();
        }
        hands.on_message = [&](QWidget& box) {
            EXPECT_EQ(box.windowTitle(), "Wall console title");
            EXPECT_EQ(static_cast<QMessageBox&>(box).icon(), shown);
            EXPECT_EQ(static_cast<QMessageBox&>(box).standardButtons(),
                      buttons == MsgButtons::ok ? QMessageBox::Ok : QMessageBox::Yes | QMessageBox::No);
        };
        platform.message_box(++id, "Reset All IP ?", icon, buttons);
        EXPECT_FALSE(answers.contains(id)) << "shown, not answered yet";
        ASSERT_TRUE(hands.wait_until([&] { return answers.contains(id); }));
        EXPECT_EQ(answers[id], answer);
    }
    EXPECT_EQ(hands.messages().size(), qsizetype(std::size(cases)));
    // Closing, the platform shows no box: it answers at once, never Yes.
    platform.shut_down();
    platform.message_box(++id, "Reset All IP ?", MsgIcon::question, MsgButtons::yes_no);
    EXPECT_EQ(answers[id], MsgAnswer::no);
}

TEST_F(QtPlatformTest, TimersFireOnceUnlessStopped) {
    platform.timer_start(TimerId::connect_timeout, 20);
    platform.timer_start(TimerId::relink_delay, 40);
    platform.timer_stop(TimerId::connect_timeout);
    ASSERT_TRUE(wait_until([&] { return !timers.empty(); }));
    platform.timer_start(TimerId::connect_timeout, 30);
    ASSERT_TRUE(wait_until([&] { return timers.size() == 2; }));
    EXPECT_EQ(timers, (std::vector<TimerId>{TimerId::relink_delay, TimerId::connect_timeout}));
}

// In a build folder the scanner stands beside the program and its files stay
// there. Installed, nothing but the programs is in bin: the scanner is a helper
// in libexec, and the files go to the user's own folder, made on the first search.
TEST_F(QtPlatformTest, StartsTheScannerWhereItIsAndReadsItsFilesWhereItWroteThem) {
    EXPECT_FALSE(platform.start_scanner("KRAV_TILESCOPE.exe")) << "missing";
    const std::pair<QString, QString> places[] = {
        {bin + "/KRAV_TILESCOPE.exe", bin},
        {dir.path() + "/libexec/wallconsole/KRAV_TILESCOPE.exe", user_data},
    };
    for (const auto& [scanner, files] : places) {
        SCOPED_TRACE(scanner.toStdString());
        QDir(bin).removeRecursively(); // what the last place left
        QDir().mkpath(bin);
        write_scanner(scanner);
        scanners_ended = 0;
        ASSERT_TRUE(platform.start_scanner("KRAV_TILESCOPE.exe"));
        EXPECT_TRUE(wait_for_scanner());
        EXPECT_EQ(platform.read_lines("MAC.txt"), (std::vector<std::string>{"a", "", "b"}));
        EXPECT_TRUE(QFile::exists(files + "/MAC.txt"));
        EXPECT_EQ(platform.read_lines("IP.txt"), std::nullopt);
    }
}

} // namespace
} // namespace wc
