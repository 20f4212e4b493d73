// A scripted walk through the console against simulated boxes, for the demo
// on a machine without a display: builds the namespace network with four
// boxes, drives the real window as an operator would and saves a screenshot
// of each step into the folder named on the command line.

#include "operator.h"
#include "test_network.h"
#include "ui/console_session.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using wc::e2e::Operator;

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

// Gives a box settings of its own, so that the pictures show values read
// from it rather than factory defaults. Sent straight to the box, from the PC.
void prime(const wc::e2e::TestNetwork& net, int box, const std::vector<std::string>& lines, Operator& op) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(23);
    inet_pton(AF_INET, wc::e2e::TestNetwork::address(box).c_str(), &to.sin_addr);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        for (const std::string& line : lines) {
            std::string text = line + "\r\n";
            if (send(fd, text.data(), text.size(), MSG_NOSIGNAL) < 0) {
                break;
            }
        }
        op.wait_until([&] { return net.state_of(box, "last_command") == lines.back(); });
    }
    if (fd >= 0) {
        close(fd);
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
    const std::string unavailable = wc::e2e::TestNetwork::unavailable_reason();
    if (!unavailable.empty()) {
        std::fprintf(stderr, "walkthrough: %s\n", unavailable.c_str());
        return 1;
    }
    wc::e2e::TestNetwork net("demo" + std::to_string(getpid()), 4);
    net.enter_pc();

    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    wc::ConsoleSession session;
    session.window.show();
    Operator op(session.window);
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(".");
    Walk walk{session.window, session.console.f, op, folder};
    prime(net, 1,
          {"SRES 7", "SOSDD 1", "SOSDT 30", "SOSDH 12", "SOSDV 3", "SOSDG 8", "SMUTE 1", "SBEZ 1", "SBH 24",
           "SBV 16", "SBRI 1 80", "SCON 2 65", "SSAT 3 40", "SHUE 4 55", "SMDN 2", "SIPA 192.168.1.20"},
          op);
    op.on_message = [&walk](QWidget& box) { walk.shot("message", box); };
    std::printf("walkthrough: screenshots\n");
    return run(walk) ? 0 : 1;
}
