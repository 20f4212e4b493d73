#pragma once

// What the Qt programs of scripts/bench share: their figures as "name: value"
// lines, medians, and the start-up figures of a window.

#include <vector>

class QWidget;

namespace bench {

// "name: value" with a decimal point whatever the locale says.
void print_figure(const char* name, double value, int decimals);

double median(std::vector<double> values);

// The number in argument `index`, or exits with the usage line when it is
// missing or not a number. Read before QApplication sets the locale.
double number_argument(int argc, char** argv, int index, const char* usage);

// Prints "startup_ms" (since `launched`, in seconds since the epoch as bash's
// EPOCHREALTIME gives them) and "rss_mb" once `window` has been painted for
// the first time, then ends the event loop.
void report_first_paint(QWidget& window, double launched);

} // namespace bench
