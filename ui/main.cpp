// wallconsole: the operator console for the video-wall boxes.

#include "ui/console_session.h"
#include "ui/quit_on_signal.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The coloured command buttons (green Power ON, red Power OFF and
    // Disconnect) need a style that paints the palette's button colour.
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The session ends the event loop itself, once every waiting handler has unwound.
    QApplication::setQuitOnLastWindowClosed(false);

    wc::ConsoleSession session;
    wc::close_on_signals(session.window);
    session.window.show();
    return QApplication::exec();
}
