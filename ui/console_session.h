#pragma once

// The running console: the Qt platform, the core on it and the window that
// shows it, started as the program starts. Closing the window ends the
// session even while a handler waits for a box: every wait is ended first,
// then the event loop.

#include "console/console.h"
#include "ui/form_window.h"
#include "ui/qt_platform.h"

#include <QObject>

namespace wc {

class ConsoleSession final : public QObject {
public:
    // scale 0: the screen's own.
    explicit ConsoleSession(QtPlatform::Options options = {}, double scale = 0);

    QtPlatform platform;
    Console console;
    FormWindow window;

private:
    void end();
};

} // namespace wc
