// The real console for the accessibility test: its window on the display and
// its boxes listed as a search lists them. Arguments come in threes, ADDRESS
// PORT MAC, one box each: port 23 of ADDRESS is PORT on loopback. SIGTERM
// closes the window as the operator does.

#include "ui/console_session.h"
#include "ui/quit_on_signal.h"

#include <QApplication>
#include <map>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);

    std::map<std::string, int> ports;
    for (int k = 1; k + 2 < argc; k += 3) {
        ports[argv[k]] = std::stoi(argv[k + 1]);
    }
    wc::ConsoleSession session(
        wc::QtPlatform::Options{[&ports](const std::string& host, int) { return ports.at(host); }});
    wc::Form1& f = session.console.f;
    for (int k = 1; k + 2 < argc; k += 3) {
        f.ip_list.emplace_back(argv[k]);
        f.cbo_ipaddr.add_item(argv[k + 2]);
        f.cbo_model.add_item(std::string(" ").append(std::to_string(f.ip_count++)));
    }
    f.ip_list.emplace_back();
    f.cbo_ipaddr.set_list_index(0);
    f.con_interface.set_enabled(true);

    wc::close_on_signals(session.window);
    session.window.show();
    return QApplication::exec();
}
