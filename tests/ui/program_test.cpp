// wallconsole as the operator starts it, on a machine without a display:
// it comes up on the offscreen platform and ends cleanly on SIGTERM.

#include "qt_wait.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <gtest/gtest.h>

namespace wc::uitest {
namespace {

TEST(Wallconsole, StartsOffscreenAndQuitsCleanlyOnSigterm) {
    QProcess console;
    console.setProgram(WALLCONSOLE_PATH);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    console.setProcessEnvironment(env);
    // Started with SIGTERM blocked, the signal waits until the console is ready
    // for it, however early it is sent: no guess at when the window is up.
    console.setChildProcessModifier([] {
        sigset_t term;
        sigemptyset(&term);
        sigaddset(&term, SIGTERM);
        sigprocmask(SIG_BLOCK, &term, nullptr);
    });
    console.start();
    ASSERT_TRUE(console.waitForStarted());
    ASSERT_EQ(kill(static_cast<pid_t>(console.processId()), SIGTERM), 0);

    ASSERT_TRUE(console.waitForFinished(static_cast<int>(test_timeout().count())));
    EXPECT_EQ(console.exitStatus(), QProcess::NormalExit) << "closed, not killed by the signal";
    EXPECT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();
}

} // namespace
} // namespace wc::uitest
