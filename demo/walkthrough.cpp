// A scripted walk through the console against simulated boxes, for the demo
// on a machine without a display: run in the operator PC's namespace of the
// demo's network (scripts/demo builds it, with four boxes), it drives the real
// window as an operator would and saves a screenshot of each step into the
// folder named on the command line.

#include "demo/operator.h"
#include "ui/console_session.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTcpSocket>
#include <QWidget>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using wc::demo::Operator;

struct Walk {
    QWidget& window;
    wc::Form1& form;
    Operator& op;
    QDir folder;
    int step = 0;

    void shot(const QString& name, QWidget& what) {
        QString file = folder.filePath(QString("%1-%2.png").arg(++step, 2, 10, QChar('0')).arg(name));
        what.grab().save(file);
        std::printf("  %s\n", qPrintable(file));
    }
};

// Gives box 1 (192.168.1.20) settings of its own, so that the pictures show
// values read from it rather than factory defaults. Sent straight to the box;
// the answer to a read sent behind them says it has taken them all.
void prime(const std::vector<std::string>& lines) {
    constexpr int patience_ms = 10'000;
    QTcpSocket box;
    box.connectToHost(QStringLiteral("192.168.1.20"), 23);
    if (!box.waitForConnected(patience_ms)) {
        return;
    }
    for (const std::string& line : lines) {
        box.write(QByteArray::fromStdString(line + "\r\n"));
    }
    box.write("RPOW\r\n");
    QByteArray answers;
    while (!answers.contains("POWE") && box.waitForReadyRead(patience_ms)) {
        answers += box.readAll();
    }
}

bool run(Walk& w) {
    Operator& op = w.op;
    auto until_message = [&](const char* text) {
        if (!op.wait_for_message(text)) {
            std::fprintf(stderr, "walkthrough: no \"%s\" (saw: %s)\n", text,
                         qPrintable(op.messages().join(" | ")));
            return false;
        }
        return true;
    };
    w.shot("start", w.window);
    op.click("btn_sys_search");
    if (!until_message("Search MAC completed !")) {
        return false;
    }
    w.shot("search-done", w.window);
    op.click("btn_con");
    if (!until_message("Refresh completed !")) {
        return false;
    }
    op.wait_until([&] { return !op.widget("ProgressBar1")->isVisible(); });
    w.shot("connected", w.window);
    struct Page {
        const char* button;
        std::size_t frame;
        const char* name;
    };
    for (Page page : {Page{"opt_tv1", 0, "tv-wall-1"}, Page{"opt_tv2", 1, "tv-wall-2"},
                      Page{"opt_tv3", 4, "tv-wall-3"}, Page{"opt_io", 2, "io-setup"}}) {
        op.click(page.button);
        op.wait_until([&] { return w.form.frame_control[page.frame].visible(); });
        w.shot(page.name, w.window);
    }
    op.click("opt_image");
    op.click("btn_img_rst_5"); // read the sixteen picture values back
    op.wait_until([&] { return w.form.cbo_image_hue[4].list_index() >= 0 && w.form.img_read_step == 0; });
    w.shot("image-adjust", w.window);
    op.click("btn_discon");
    op.wait_until([&] { return !op.widget("btn_tv_fs_0")->isEnabled(); });
    w.shot("disconnected", w.window);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wall_walkthrough FOLDER\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    wc::ConsoleSession session;
    session.window.show();
    Operator op(session.window);
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(".");
    Walk walk{session.window, session.console.f, op, folder};
    prime({"SRES 7", "SOSDD 1", "SOSDT 30", "SOSDH 12", "SOSDV 3", "SOSDG 8", "SMUTE 1", "SBEZ 1", "SBH 24",
           "SBV 16", "SBRI 1 80", "SCON 2 65", "SSAT 3 40", "SHUE 4 55", "SMDN 2", "SIPA 192.168.1.20"});
    op.on_message = [&walk](QWidget& box) { walk.shot("message", box); };
    std::printf("walkthrough: screenshots\n");
    return run(walk) ? 0 : 1;
}
