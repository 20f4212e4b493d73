// console_startup: wallconsole's start-up as its main() does it, up to the
// first paint of its window; prints the start-up figures then.
//
//   console_startup LAUNCHED     (seconds since the epoch, as bash's EPOCHREALTIME)

#include "qt_figures.h"
#include "ui/console_session.h"

#include <QApplication>

int main(int argc, char** argv) {
    const double launched = bench::number_argument(argc, argv, 1, "LAUNCHED");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);

    wc::ConsoleSession session;
    bench::report_first_paint(session.window, launched);
    session.window.show();
    return QApplication::exec();
}
