#include "ui/quit_on_signal.h"

#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace wc {

namespace {

int signal_pipe[2] = {-1, -1};

// Only a write is safe in a signal handler; the event loop does the rest.
void on_signal(int) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(signal_pipe[1], &byte, 1);
}

} // namespace

void close_on_signals(QWidget& window) {
    if (signal_pipe[0] < 0) {
        if (pipe(signal_pipe) != 0) {
            return;
        }
        for (int fd : signal_pipe) {
            fcntl(fd, F_SETFL, O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char bytes[16];
        while (read(signal_pipe[0], bytes, sizeof bytes) > 0) {
        }
        window.close();
    });
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // A launcher may hand the signals over blocked; the console must still hear them.
    sigset_t wanted;
    sigemptyset(&wanted);
    sigaddset(&wanted, SIGTERM);
    sigaddset(&wanted, SIGINT);
    pthread_sigmask(SIG_UNBLOCK, &wanted, nullptr);
}

} // namespace wc
