// refresh_bare: the yardstick for the console's full refresh. The same
// exchanges with the same box over a QTcpSocket on Qt's event loop, and
// nothing else: each line answered before the next is sent, a reply awaited
// only up to its line end. Prints the median time of one refresh.
//
//   refresh_bare PORT COUNT     (a box at 127.0.0.1:PORT)

#include "qt_figures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>
#include <array>
#include <cstdio>
#include <vector>

namespace {

// What the Refresh button reads, in its order.
constexpr std::array<const char*, 15> reads{"RPOW\r\n",  "RMDN\r\n",  "RBEZ\r\n",  "RVER\r\n",  "RIPM\r\n",
                                            "RLINK\r\n", "RBH \r\n",  "RBV \r\n",  "RRES\r\n",  "ROSDD\r\n",
                                            "ROSDT\r\n", "ROSDH\r\n", "ROSDV\r\n", "ROSDG\r\n", "RMUTE\r\n"};

constexpr int patience_ms = 60'000; // for the connection, and for all the refreshes

bool exchange(QTcpSocket& box, const char* line) {
    box.write(line);
    box.flush();
    while (!box.canReadLine()) {
        if (box.state() != QAbstractSocket::ConnectedState) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    box.readLine();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const char* usage = "PORT COUNT";
    const auto port = static_cast<quint16>(bench::number_argument(argc, argv, 1, usage));
    const auto count = static_cast<int>(bench::number_argument(argc, argv, 2, usage));
    QCoreApplication app(argc, argv);

    QTcpSocket box;
    box.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!box.waitForConnected(patience_ms)) {
        std::fprintf(stderr, "refresh_bare: no box at port %u\n", unsigned{port});
        return 1;
    }
    // A box that stops answering ends the run instead of holding it.
    QTimer::singleShot(patience_ms, &box, &QTcpSocket::abort);
    std::vector<double> refresh_ms;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer clock;
        clock.start();
        for (const char* line : reads) {
            if (!exchange(box, line)) {
                std::fprintf(stderr, "refresh_bare: the box stopped answering\n");
                return 1;
            }
        }
        refresh_ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    bench::print_figure("refresh_ms", bench::median(refresh_ms), 3);
    return 0;
}
