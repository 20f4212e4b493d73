// The Qt platform on its own: files beside the program, the scanner process,
// timers, message boxes, the yield, the shut-down, and real sockets against a
// server of the test's own on loopback.

#include "message_watcher.h"
#include "qt_print.h"
#include "qt_wait.h"
#include "ui/console_session.h"
#include "ui/qt_platform.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace wc::uitest {
namespace {

struct Recorder final : PlatformEvents {
    std::vector<int> arrivals;
    std::vector<TimerId> timers;
    std::function<void(int)> on_arrival;
    void data_arrival(int socket) override {
        arrivals.push_back(socket);
        if (on_arrival) {
            on_arrival(socket);
        }
    }
    void timer_fired(TimerId timer) override { timers.push_back(timer); }
};

class QtPlatformTest : public ::testing::Test {
protected:
    QtPlatformTest() { platform.attach(&events); }
    ~QtPlatformTest() override { platform.attach(nullptr); }

    void write_file(const QString& name, const QByteArray& bytes, bool executable = false) {
        QFile file(dir.path() + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        if (executable) {
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        }
    }

    // Yields as a waiting handler does, until the condition holds.
    void yield_until(const std::function<bool()>& done) {
        const QDeadlineTimer deadline(test_timeout());
        QTimer wake;
        wake.start(test_timeout());
        while (!done()) {
            ASSERT_FALSE(deadline.hasExpired());
            platform.yield();
        }
    }

    QTemporaryDir dir;
    Recorder events;
    int server_port = 0;
    QtPlatform platform{{[this](const std::string&, int) { return server_port; }, dir.path()}};
};

TEST_F(QtPlatformTest, ReadsTheLinesOfAFileBesideTheProgram) {
    const std::pair<QByteArray, std::vector<std::string>> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},         {"a\nb", {"a", "b"}}, {"", {}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}}, {"x\ry\n", {"x\ry"}},
    };
    for (const auto& [bytes, lines] : cases) {
        write_file("MAC.txt", bytes);
        EXPECT_EQ(platform.read_lines("MAC.txt"), lines) << bytes.toStdString();
    }
    EXPECT_EQ(platform.read_lines("IP.txt"), std::nullopt);
}

TEST_F(QtPlatformTest, StartsTheScannerFromTheProgramsDirectoryAndSeesItEndThroughTheYield) {
    EXPECT_FALSE(platform.start_scanner("KRAV_TILESCOPE.exe")) << "missing";
    write_file("KRAV_TILESCOPE.exe", "#!/bin/sh\necho found > MAC.txt\n");
    EXPECT_FALSE(platform.start_scanner("KRAV_TILESCOPE.exe")) << "not executable";

    write_file("KRAV_TILESCOPE.exe", "#!/bin/sh\necho found > MAC.txt\n", true);
    ASSERT_TRUE(platform.start_scanner("KRAV_TILESCOPE.exe"));
    yield_until([&] { return !platform.scanner_running(); });
    EXPECT_EQ(platform.read_lines("MAC.txt"), (std::vector<std::string>{"found"}))
        << "ran in its own directory";
}

TEST_F(QtPlatformTest, TimersFireOnceThroughTheYieldUnlessStopped) {
    platform.timer_start(TimerId::connect_timeout, 20);
    platform.timer_start(TimerId::relink_delay, 40);
    platform.timer_stop(TimerId::connect_timeout);
    yield_until([&] { return !events.timers.empty(); });
    platform.timer_start(TimerId::connect_timeout, 30);
    yield_until([&] { return events.timers.size() == 2; });
    EXPECT_EQ(events.timers, (std::vector<TimerId>{TimerId::relink_delay, TimerId::connect_timeout}));
}

TEST_F(QtPlatformTest, YieldBlocksUntilTheNextEventInsteadOfSpinning) {
    bool fired = false;
    QTimer::singleShot(300, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    int yields = 0;
    while (!fired) {
        platform.yield();
        ++yields;
    }
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LE(yields, 5) << "a yield that returns without an event spins";
}

TEST_F(QtPlatformTest, MessageBoxesCarryTheWindowsTitleTheirIconAndTheOperatorsAnswer) {
    QWidget window;
    window.setWindowTitle("v1.15    FW: v1.15");
    platform.set_window(&window);
    MessageWatcher watcher;
    struct Case {
        MsgIcon icon;
        MsgButtons buttons;
        QMessageBox::StandardButton pressed;
        QMessageBox::Icon shown;
        MsgAnswer answer;
    };
    const Case cases[] = {
        {MsgIcon::critical, MsgButtons::ok, QMessageBox::Ok, QMessageBox::Critical, MsgAnswer::ok},
        {MsgIcon::exclamation, MsgButtons::ok, QMessageBox::Ok, QMessageBox::Warning, MsgAnswer::ok},
        {MsgIcon::information, MsgButtons::ok, QMessageBox::Ok, QMessageBox::Information, MsgAnswer::ok},
        {MsgIcon::none, MsgButtons::ok, QMessageBox::Ok, QMessageBox::NoIcon, MsgAnswer::ok},
        {MsgIcon::question, MsgButtons::yes_no, QMessageBox::Yes, QMessageBox::Question, MsgAnswer::yes},
        {MsgIcon::question, MsgButtons::yes_no, QMessageBox::No, QMessageBox::Question, MsgAnswer::no},
    };
    for (const Case& c : cases) {
        if (c.buttons == MsgButtons::yes_no) {
            watcher.answer(c.pressed);
        }
        EXPECT_EQ(platform.message_box("Reset All IP ?", c.icon, c.buttons), c.answer);
        const SeenMessage& seen = watcher.seen().back();
        EXPECT_EQ(seen.title, "v1.15    FW: v1.15");
        EXPECT_EQ(seen.text, "Reset All IP ?");
        EXPECT_EQ(seen.icon, c.shown);
        EXPECT_EQ(seen.buttons, c.buttons == MsgButtons::ok ? QMessageBox::StandardButtons(QMessageBox::Ok)
                                                            : QMessageBox::Yes | QMessageBox::No);
    }
    EXPECT_EQ(watcher.seen().size(), std::size(cases));
}

TEST_F(QtPlatformTest, ShutDownLetsEveryWaitUnwind) {
    MessageWatcher watcher;
    watcher.hold_next();
    Trigger close_when_shown([&] { return !watcher.seen().empty(); }, [&] { platform.shut_down(); });
    platform.timer_start(TimerId::relink_delay, 600'000);
    EXPECT_EQ(platform.message_box("Reset All IP ?", MsgIcon::question, MsgButtons::yes_no), MsgAnswer::no)
        << "an open question is dismissed, never answered Yes";
    EXPECT_TRUE(platform.closing());

    yield_until([&] { return !events.timers.empty(); });
    EXPECT_EQ(events.timers, std::vector<TimerId>{TimerId::relink_delay}) << "a running timer fires at once";
    EXPECT_EQ(platform.message_box("Refresh completed !", MsgIcon::none, MsgButtons::ok), MsgAnswer::ok);
    EXPECT_EQ(watcher.seen().size(), 1u) << "no further box is shown";
    EXPECT_FALSE(platform.start_scanner("KRAV_TILESCOPE.exe"));
    EXPECT_FALSE(platform.scanner_running());

    QTimer safety;
    safety.start(test_timeout());
    QElapsedTimer clock;
    clock.start();
    platform.yield();
    EXPECT_LT(clock.elapsed(), 5000) << "a yield with nothing to do returns";
}

TEST_F(QtPlatformTest, SocketsConnectReceiveSendAndSeeTheBoxGo) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    server_port = server.serverPort();
    EXPECT_EQ(platform.socket_state(0), socket_state::closed);
    platform.socket_connect(0, "127.0.0.1", 23);
    EXPECT_NE(platform.socket_state(0), socket_state::connected) << "the connect returns at once";
    yield_until([&] { return platform.socket_state(0) == socket_state::connected; });
    ASSERT_TRUE(run_until([&] { return server.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> box(server.nextPendingConnection());

    // A handler that waits inside an arrival still hears the next one.
    std::string received;
    events.on_arrival = [&](int socket) {
        received += platform.socket_read(socket);
        if (events.arrivals.size() == 1) {
            platform.socket_send(socket, "RVER\r\n");
            yield_until([&] { return events.arrivals.size() == 2; });
        }
    };
    QObject::connect(box.get(), &QTcpSocket::readyRead, [&] {
        if (box->readAll() == "RVER\r\n") {
            box->write("VERS115\r\n");
        }
    });
    box->write("POWE001\r\n");
    yield_until([&] { return events.arrivals.size() == 2; });
    EXPECT_EQ(events.arrivals, (std::vector<int>{0, 0}));
    EXPECT_EQ(received, "POWE001\r\nVERS115\r\n");

    platform.socket_send(1, "RPOW\r\n");
    EXPECT_EQ(platform.socket_state(1), socket_state::closed) << "a send on a closed socket is dropped";

    box->close();
    yield_until([&] { return platform.socket_state(0) != socket_state::connected; });
    platform.socket_close(0);
    EXPECT_EQ(platform.socket_state(0), socket_state::closed);
}

TEST_F(QtPlatformTest, ARefusedConnectionShowsAsAnError) {
    {
        QTcpServer taken;
        ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
        server_port = taken.serverPort();
    }
    platform.socket_connect(3, "127.0.0.1", 23);
    yield_until([&] { return platform.socket_state(3) == socket_state::error; });
    platform.socket_close(3);
    EXPECT_EQ(platform.socket_state(3), socket_state::closed);
}

TEST_F(QtPlatformTest, ThePcsAddressIsTheFirstIpv4AddressOfAnInterfaceThatIsUp) {
    const QString ip = QString::fromStdString(platform.local_ip());
    EXPECT_TRUE(QRegularExpression(R"(^\d+\.\d+\.\d+\.\d+$)").match(ip).hasMatch()) << ip.toStdString();
    bool has_network = false;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            const bool up = iface.flags().testFlag(QNetworkInterface::IsUp) &&
                            !iface.flags().testFlag(QNetworkInterface::IsLoopBack);
            has_network = has_network || (up && entry.ip().protocol() == QAbstractSocket::IPv4Protocol);
        }
    }
    EXPECT_EQ(ip == "127.0.0.1", !has_network);
}

// Search MAC through the real platform: a stand-in scanner leaves one box of
// the PC's own network in MAC.txt and IP.txt beside the program.
TEST(SearchOnQt, RunsTheScannerWaitsForItAndListsWhatItFound) {
    QTemporaryDir dir;
    ConsoleSession s({{}, dir.path()});
    const QStringList octets = QString::fromStdString(s.platform.local_ip()).split('.');
    ASSERT_EQ(octets.size(), 4);
    const QString ip = QString("%1.%2.%3.020")
                           .arg(octets[0].toInt(), 3, 10, QChar('0'))
                           .arg(octets[1].toInt(), 3, 10, QChar('0'))
                           .arg(octets[2].toInt(), 3, 10, QChar('0'));
    QFile scanner(dir.path() + "/KRAV_TILESCOPE.exe");
    ASSERT_TRUE(scanner.open(QIODevice::WriteOnly));
    scanner.write(
        QString("#!/bin/sh\nprintf '00:11:22:33:44:55\\r\\n' > MAC.txt\nprintf '%1\\r\\n' > IP.txt\n")
            .arg(ip)
            .toUtf8());
    scanner.close();
    scanner.setPermissions(scanner.permissions() | QFileDevice::ExeOwner);
    MessageWatcher watcher;

    static_cast<QAbstractButton*>(s.window.widget_of(s.console.f.btn_sys_search))->click();

    ASSERT_EQ(watcher.texts(), QStringList{"Search MAC completed !"});
    EXPECT_EQ(watcher.seen()[0].icon, QMessageBox::Information);
    auto* list = static_cast<QComboBox*>(s.window.widget_of(s.console.f.cbo_ipaddr));
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentText(), "00:11:22:33:44:55");
    EXPECT_TRUE(s.window.widget_of(s.console.f.btn_con)->isEnabled());
}

} // namespace
} // namespace wc::uitest
