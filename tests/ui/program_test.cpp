// wallconsole as the operator starts it: it comes up and SIGTERM ends it
// cleanly; --help and --version answer without a display.

#include "link/version.h"

#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

namespace wc {
namespace {

TEST(Wallconsole, StartsAndQuitsCleanlyOnSigterm) {
    const int limit = WALL_TEST_TIMEOUT_S * 1000;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess console;
    console.setProcessEnvironment(env);
    // Started with SIGTERM blocked, the signal waits until the console is up
    // and ready for it, however early it is sent: no guess at when that is.
    console.setChildProcessModifier([] {
        sigset_t term;
        sigemptyset(&term);
        sigaddset(&term, SIGTERM);
        sigprocmask(SIG_BLOCK, &term, nullptr);
    });
    console.start(WALLCONSOLE_PATH, {});
    ASSERT_TRUE(console.waitForStarted());
    ASSERT_EQ(kill(static_cast<pid_t>(console.processId()), SIGTERM), 0);

    ASSERT_TRUE(console.waitForFinished(limit));
    EXPECT_EQ(console.exitStatus(), QProcess::NormalExit) << "closed, not killed by the signal";
    EXPECT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();
}

// Asked over ssh or from a package's checks: no window system is opened, so
// none is needed.
TEST(WallconsoleCommandLine, AnswersHelpAndVersionWithoutADisplay) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    QString version_line = "wallconsole ";
    version_line += QString::fromUtf8(wc::version.data(), qsizetype(wc::version.size())) + "\n";
    const std::pair<QString, QString> cases[] = {
        {"--version", version_line}, {"-v", version_line}, {"--help", "Usage: "}};
    for (const auto& [option, start] : cases) {
        QProcess console;
        console.setProcessEnvironment(env);
        console.start(WALLCONSOLE_PATH, {option});
        ASSERT_TRUE(console.waitForFinished(WALL_TEST_TIMEOUT_S * 1000)) << option.toStdString();
        EXPECT_EQ(console.exitStatus(), QProcess::NormalExit) << option.toStdString();
        EXPECT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();
        EXPECT_TRUE(QString::fromUtf8(console.readAllStandardOutput()).startsWith(start))
            << option.toStdString();
    }
}

} // namespace
} // namespace wc
