// console_refresh: the console's full refresh through its real window and Qt
// platform, as the operator starts it with the Refresh button, against one
// box. The box is listed as Search MAC leaves it and connected (Connect reads
// it once); every message box is answered at once. Each refresh is timed from
// the click until ProgressBar1 reaches 100, when the last reply has been read
// and shown; the message box that follows waits for the operator and is left
// out. The paint events of the window's widgets are counted from the click
// until the window has been idle a while after it. Prints the medians.
//
//   console_refresh PORT COUNT     (a box at 127.0.0.1:PORT)

#include "qt_figures.h"
#include "ui/console_session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// Longer than a frame or two: the paints a refresh leaves for later land in it.
constexpr int settle_ms = 100;
constexpr std::chrono::minutes patience{1};

// Answers each message box as soon as it shows, and counts the paint events
// of the window's widgets.
class Watch final : public QObject {
public:
    explicit Watch(QWidget& window) : m_window(window) { qApp->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            if (auto* widget = qobject_cast<QWidget*>(watched);
                widget != nullptr && widget->window() == &m_window) {
                ++paints;
            }
        } else if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                QMetaObject::invokeMethod(
                    box, [box] { box->done(QMessageBox::No); }, Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    QWidget& m_window;
};

void settle() {
    QEventLoop idle;
    QTimer::singleShot(settle_ms, &idle, &QEventLoop::quit);
    idle.exec();
}

// Until the handler a click started has ended.
void finish(const wc::Console& console) {
    while (console.running() > 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

} // namespace

int main(int argc, char** argv) {
    const char* usage = "PORT COUNT";
    const int port = static_cast<int>(bench::number_argument(argc, argv, 1, usage));
    const auto count = static_cast<int>(bench::number_argument(argc, argv, 2, usage));
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);

    wc::ConsoleSession session({[port](const std::string&, int) { return port; }});
    wc::Form1& f = session.console.f;
    f.ip_list = {"127.0.0.1", "", ""};
    f.ip_count = 1;
    f.cbo_ipaddr.add_item("02:57:41:4C:4C:01");
    f.cbo_model.add_item(" 0");
    f.cbo_ipaddr.set_list_index(0);
    f.con_interface.set_enabled(true);
    Watch watch(session.window);
    session.window.show();
    settle();

    // A box that stops answering ends the run: Disconnect ends every wait.
    QTimer::singleShot(patience, [&f] { f.btn_discon.user_click(); });
    auto& connect = *qobject_cast<QPushButton*>(session.window.widget_of(f.btn_con));
    auto& refresh = *qobject_cast<QPushButton*>(session.window.widget_of(f.btn_sys_refresh));
    auto& bar = *qobject_cast<QProgressBar*>(session.window.widget_of(f.ProgressBar1));
    connect.click();
    finish(session.console);
    if (session.platform.socket_state(0) != wc::SocketState::connected) {
        std::fprintf(stderr, "console_refresh: no box answering at port %d\n", port);
        return 1;
    }
    settle();

    QElapsedTimer clock;
    double shown_ms = -1;
    QObject::connect(&bar, &QProgressBar::valueChanged, [&](int value) {
        if (value == 100) {
            shown_ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        }
    });
    std::vector<double> refresh_ms;
    std::vector<double> paints;
    for (int i = 0; i < count; ++i) {
        watch.paints = 0;
        shown_ms = -1;
        clock.start();
        refresh.click();
        finish(session.console);
        settle();
        if (shown_ms < 0) {
            std::fprintf(stderr, "console_refresh: a refresh did not complete\n");
            return 1;
        }
        refresh_ms.push_back(shown_ms);
        paints.push_back(watch.paints);
    }
    bench::print_figure("refresh_ms", bench::median(refresh_ms), 3);
    bench::print_figure("paints_per_refresh", bench::median(paints), 0);
    return 0;
}
