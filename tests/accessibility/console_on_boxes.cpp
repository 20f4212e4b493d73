// The real console for the accessibility test: its window on the display and
// its boxes listed as a search lists them. Arguments come in threes, ADDRESS
// PORT MAC, one box each: port 23 of ADDRESS is PORT on loopback. SIGTERM
// closes the window as the operator does.
//
// What the window shows, for the test to hold the bus against: each line
// read on standard input is answered with one JSON line on standard output,
// every shown control's place on the screen [x, y, width, height] with the
// text it shows, and for a check box or an option whether it is ticked.

#include "ui/console_session.h"
#include "ui/quit_on_signal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSocketNotifier>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>

namespace {

QString shown_text(const QWidget& w) {
    if (const auto* list = qobject_cast<const QComboBox*>(&w)) {
        return list->currentText();
    }
    if (const auto* bar = qobject_cast<const QProgressBar*>(&w)) {
        return QString::number(bar->value());
    }
    return w.property("text").toString(); // labels, buttons and text boxes
}

QByteArray what_it_shows(const wc::ConsoleSession& session) {
    QJsonArray shown;
    for (const wc::Control* control : session.console.f.controls()) {
        const QWidget* w = session.window.widget_of(*control);
        if (w == nullptr || !w->isVisible() || control->kind() == wc::Kind::frame) {
            continue;
        }
        const QPoint at = w->mapToGlobal(QPoint(0, 0));
        QJsonObject entry{{"place", QJsonArray{at.x(), at.y(), w->width(), w->height()}},
                          {"text", shown_text(*w)}};
        if (const auto* button = qobject_cast<const QAbstractButton*>(w); button && button->isCheckable()) {
            entry["ticked"] = button->isChecked();
        }
        shown.append(entry);
    }
    return QJsonDocument(shown).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

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

    QSocketNotifier asked(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&asked, &QSocketNotifier::activated, [&session, &asked] {
        char line[256];
        const ssize_t got = read(STDIN_FILENO, line, sizeof line);
        if (got <= 0) {
            asked.setEnabled(false);
            return;
        }
        for (ssize_t k = 0; k < got; ++k) {
            if (line[k] == '\n') {
                const QByteArray answer = what_it_shows(session);
                std::fwrite(answer.constData(), 1, static_cast<std::size_t>(answer.size()), stdout);
                std::fflush(stdout);
            }
        }
    });

    wc::close_on_signals(session.window);
    session.window.show();
    // A desktop gives a new window the focus; Xvfb has no window manager to do it.
    session.window.activateWindow();
    return QApplication::exec();
}
