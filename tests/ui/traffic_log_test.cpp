// The traffic log: what the Qt platform sends and receives on a real socket,
// per box and in order, each line timestamped with its direction and its
// control characters visible; rotation within its limits; and a log that
// cannot be written, which never stops the console.

#include "ui/qt_platform.h"
#include "ui/traffic_log.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace wc {
namespace {

QStringList lines_of(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

class TrafficLogTest : public ::testing::Test, PlatformEvents {
protected:
    TrafficLogTest() { platform.attach(this); }
    ~TrafficLogTest() override { platform.attach(nullptr); }
    void data_arrival(int) override { read += platform.socket_read(0); }
    void timer_fired(TimerId) override {}
    void link_changed(int) override {}
    void scanner_ended() override {}
    void message_answered(int, MsgAnswer) override {}

    static bool wait_until(const std::function<bool()>& done) {
        return QTest::qWaitFor(done, WALL_TEST_TIMEOUT_S * 1000);
    }

    QTemporaryDir dir;
    TrafficLog log{dir.filePath(QStringLiteral("logs/traffic.log"))};
    QtPlatform platform{[this] {
        QtPlatform::Options options;
        options.data_dir = dir.path();
        options.log = &log;
        return options;
    }()};
    std::string read;
};

TEST_F(TrafficLogTest, LogsEachLineSentAndEachChunkReceivedPerBoxWithItsTime) {
    QTcpServer box;
    ASSERT_TRUE(box.listen(QHostAddress::LocalHost));
    QTcpSocket* peer = nullptr;
    QObject::connect(&box, &QTcpServer::newConnection, [&] { peer = box.nextPendingConnection(); });
    platform.socket_connect(0, "127.0.0.1", box.serverPort());
    ASSERT_TRUE(
        wait_until([&] { return peer != nullptr && platform.socket_state(0) == SocketState::connected; }));

    platform.socket_send(0, "RPOW\r\n");
    ASSERT_TRUE(wait_until([&] { return peer->bytesAvailable() == 6; }));
    peer->write("PO\x01");
    ASSERT_TRUE(wait_until([&] { return read.size() == 3; }));
    peer->write("WE001\r\n");
    ASSERT_TRUE(wait_until([&] { return read.size() == 10; }));
    log.flush();

    const QString port = QString::number(box.serverPort());
    const QStringList lines = lines_of(dir.filePath(QStringLiteral("logs/traffic.log")));
    ASSERT_EQ(lines.size(), 3) << lines.join(QLatin1Char('|')).toStdString();
    const QRegularExpression time(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d "));
    const QString expected[] = {"127.0.0.1:" + port + " > RPOW\\r\\n", "127.0.0.1:" + port + " < PO\\x01",
                                "127.0.0.1:" + port + " < WE001\\r\\n"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(time.match(lines[k]).hasMatch()) << lines[k].toStdString();
        EXPECT_EQ(lines[k].mid(24), expected[k]);
    }
}

TEST(TrafficLogFile, RotatesPastItsLimitKeepingTheNewestLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("traffic.log"));
    {
        TrafficLog log(path, {1000, 2});
        for (int k = 0; k < 100; ++k) {
            log.record("10.0.0.5:23", Traffic::sent, "RVER " + std::to_string(k) + "\r\n");
            log.flush();
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3); // FILE, FILE.1, FILE.2
    for (const QString& name : {path, path + ".1", path + ".2"}) {
        EXPECT_LE(QFile(name).size(), 1000) << name.toStdString();
    }
    EXPECT_TRUE(lines_of(path).last().endsWith(QStringLiteral("> RVER 99\\r\\n")));
    EXPECT_TRUE(lines_of(path + ".1").last().endsWith(QStringLiteral("\\r\\n")));
}

TEST(TrafficLogFile, AFileThatCannotBeWrittenEndsTheLogAndNothingElse) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    for (const QString& path : {QStringLiteral("/dev/full"), blocker.fileName() + "/traffic.log"}) {
        SCOPED_TRACE(path.toStdString());
        TrafficLog log(path);
        log.record("10.0.0.5:23", Traffic::sent, "RVER\r\n");
        log.flush();
        EXPECT_FALSE(log.active());
        log.record("10.0.0.5:23", Traffic::received, "VERS207\r\n"); // ignored, not reported again
        log.flush();
    }
    EXPECT_FALSE(TrafficLog(QString()).active());
}

} // namespace
} // namespace wc
