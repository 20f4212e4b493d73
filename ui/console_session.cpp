#include "ui/console_session.h"

#include "app/app.h"
#include "console/link.h"
#include "console/shell.h"

#include <QCoreApplication>

namespace wc {

ConsoleSession::ConsoleSession(QtPlatform::Options options, double scale)
    : platform(std::move(options)), console(platform), window(console.f, scale) {
    platform.set_window(&window);
    install_all(console);
    Form_Load(console);
    connect(&window, &FormWindow::closing, this, &ConsoleSession::end);
}

// Taken offline, every wait of the link ends; the platform answers every
// message box and stops the scanner, so the handlers go on to their ends
// before the event loop does.
void ConsoleSession::end() {
    platform.shut_down();
    go_offline(console);
    QCoreApplication::exit(0);
}

} // namespace wc
