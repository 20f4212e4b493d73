#include "ui/console_session.h"

#include "app/app.h"
#include "console/shell.h"
#include "console/link.h"

#include <QCoreApplication>

namespace wc {

ConsoleSession::ConsoleSession(QtPlatform::Options options, double scale)
    : platform(std::move(options)), console(platform), window(console.f, scale) {
    platform.set_window(&window);
    install_all(console);
    Form_Load(console);
    connect(&window, &FormWindow::closing, this, &ConsoleSession::end);
}

// Taken offline, every wait_reply ends; the platform lets no later wait,
// message or scanner hold the handlers up; the event loop ends once they have
// all returned to it.
void ConsoleSession::end() {
    platform.shut_down();
    go_offline(console);
    QCoreApplication::exit(0);
}

} // namespace wc
