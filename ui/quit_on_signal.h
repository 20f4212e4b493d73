#pragma once

class QWidget;

namespace wc {

// SIGTERM and SIGINT close the window as the operator's close button does, so
// that a handler waiting for a box unwinds and the program ends cleanly.
void close_on_signals(QWidget& window);

} // namespace wc
