// wallconsole on a real X server (Xvfb): its window appears with the
// start-up title at the design size, and SIGTERM ends the program cleanly.

#include "qt_wait.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <xcb/xcb.h>

namespace wc::uitest {
namespace {

struct FreeReply {
    void operator()(void* reply) const { free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

// The next mapped top-level window, waiting on the X connection itself.
std::optional<xcb_window_t> next_mapped_window(xcb_connection_t* x, const QDeadlineTimer& deadline) {
    while (!deadline.hasExpired()) {
        while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(x)}) {
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                return reinterpret_cast<xcb_map_notify_event_t*>(event.get())->window;
            }
        }
        pollfd wait{xcb_get_file_descriptor(x), POLLIN, 0};
        poll(&wait, 1, static_cast<int>(deadline.remainingTime()));
    }
    return std::nullopt;
}

std::string window_name(xcb_connection_t* x, xcb_window_t window) {
    Reply<xcb_get_property_reply_t> name{xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 256), nullptr)};
    if (!name) {
        return {};
    }
    const auto* text = static_cast<const char*>(xcb_get_property_value(name.get()));
    return std::string(text, static_cast<std::size_t>(xcb_get_property_value_length(name.get())));
}

TEST(Wallconsole, ShowsItsWindowOnXvfbAndQuitsCleanlyOnSigterm) {
    const QString xvfb_path = QStandardPaths::findExecutable("Xvfb");
    if (xvfb_path.isEmpty()) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    const QDeadlineTimer deadline(test_timeout());
    QProcess xvfb;
    // Xvfb picks a free display and says which once it accepts clients.
    xvfb.start(xvfb_path, {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    ASSERT_TRUE(xvfb.waitForStarted());
    while (!xvfb.canReadLine() && xvfb.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
    }
    const QString display = ":" + QString::fromLatin1(xvfb.readLine()).trimmed();
    ASSERT_NE(display, ":");

    xcb_connection_t* x = xcb_connect(display.toLatin1().constData(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(x), 0);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t watch = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &watch);
    xcb_flush(x);

    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    console.setProcessEnvironment(env);
    console.start(WALLCONSOLE_PATH, {});
    ASSERT_TRUE(console.waitForStarted());

    const auto window = next_mapped_window(x, deadline);
    ASSERT_TRUE(window.has_value()) << "no window appeared";
    EXPECT_EQ(window_name(x, *window), "v1.15");
    Reply<xcb_get_geometry_reply_t> geometry{
        xcb_get_geometry_reply(x, xcb_get_geometry(x, *window), nullptr)};
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 865);
    EXPECT_EQ(geometry->height, 519);

    ASSERT_EQ(kill(static_cast<pid_t>(console.processId()), SIGTERM), 0);
    ASSERT_TRUE(console.waitForFinished(static_cast<int>(deadline.remainingTime())));
    EXPECT_EQ(console.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();

    xcb_disconnect(x);
    xvfb.terminate();
    xvfb.waitForFinished();
}

} // namespace
} // namespace wc::uitest
