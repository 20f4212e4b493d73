#include "qt_figures.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

namespace {

double seconds_since_epoch() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

double resident_mb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
        }
    }
    return 0;
}

// The window's own paint event comes first in a pass; its children are
// painted and the pass flushed before the event loop takes the next event.
class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget& window, double launched) : QObject(&window), m_launched(launched) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                print_figure("startup_ms", (seconds_since_epoch() - m_launched) * 1000, 1);
                print_figure("rss_mb", resident_mb(), 1);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    double m_launched;
};

} // namespace

void print_figure(const char* name, double value, int decimals) {
    std::printf("%s: %s\n", name, QByteArray::number(value, 'f', decimals).constData());
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double number_argument(int argc, char** argv, int index, const char* usage) {
    double value = 0;
    if (index < argc) {
        const char* text = argv[index];
        const char* end = text + std::strlen(text);
        if (auto [stop, error] = std::from_chars(text, end, value); error == std::errc() && stop == end) {
            return value;
        }
    }
    std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
    std::exit(2);
}

void report_first_paint(QWidget& window, double launched) {
    new FirstPaint(window, launched);
}

} // namespace bench
