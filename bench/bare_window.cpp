// bare_window: the yardstick for the console's start-up. A plain Qt widgets
// window with a few child widgets, started as wallconsole starts (Fusion
// style), with nothing else; prints its start-up figures once it is painted.
//
//   bare_window LAUNCHED     (seconds since the epoch, as bash's EPOCHREALTIME)

#include "qt_figures.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    const double launched = bench::number_argument(argc, argv, 1, "LAUNCHED");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    QWidget window;
    window.resize(400, 200);
    (new QLabel(QStringLiteral("Box"), &window))->setGeometry(10, 10, 100, 24);
    (new QComboBox(&window))->setGeometry(120, 10, 150, 24);
    (new QLineEdit(&window))->setGeometry(10, 50, 260, 24);
    (new QPushButton(QStringLiteral("Connect"), &window))->setGeometry(280, 10, 100, 24);
    (new QProgressBar(&window))->setGeometry(10, 90, 370, 20);
    bench::report_first_paint(window, launched);
    window.show();
    return QApplication::exec();
}
