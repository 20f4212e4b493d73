#pragma once

// The console's platform on Qt: the socket table on QTcpSocket, single-shot
// QTimers, modal QMessageBoxes, the scanner as a QProcess, and the files and
// address of the PC. Everything runs on the window's thread, and every event
// reaches the console from Qt's own event loop.

#include "link/platform.h"
#include "link/scan_places.h"
#include "ui/repaint_pacer.h"
#include "ui/traffic_log.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace wc {

class QtPlatform final : public QObject, public Platform {
    Q_OBJECT

public:
    // Where a box's port really is. The shipped program talks to port 23 as
    // asked; tests reach simulated boxes that listen on free ports instead.
    using PortMap = std::function<int(const std::string& host, int port)>;

    struct Options {
        PortMap port_map;          // empty: the port as asked
        QString app_dir = {};      // empty: the directory of the executable
        QString data_dir = {};     // empty: the per-user data folder (AppLocalDataLocation)
        TrafficLog* log = nullptr; // none: nothing is logged
    };

    QtPlatform();
    explicit QtPlatform(Options options);
    ~QtPlatform() override;

    // The window that owns the message boxes and lends them its title; it is
    // repainted at most once a displayed frame (see RepaintPacer).
    void set_window(QWidget* window);

    // The window is closing: from now on nothing may wait. Every socket is
    // closed, the scanner is stopped, open message boxes are dismissed and
    // later ones are answered at once, so every handler in progress can end.
    void shut_down();
    bool closing() const { return m_closing; }

    void socket_close(int socket) override;
    void socket_connect(int socket, const std::string& host, int port) override;
    SocketState socket_state(int socket) const override;
    void socket_send(int socket, std::string_view bytes) override;
    std::string socket_read(int socket) override;
    std::string local_ip() override;
    void timer_start(TimerId timer, int interval_ms) override;
    void timer_stop(TimerId timer) override;
    void message_box(int id, std::string_view text, MsgIcon icon, MsgButtons buttons) override;
    bool start_scanner(std::string_view file_name) override;
    bool scanner_running() override;
    std::optional<std::vector<std::string>> read_lines(std::string_view file_name) override;

private:
    struct Socket {
        std::unique_ptr<QTcpSocket> tcp;
        bool failed = false;          // the last connection attempt or connection ended in an error
        bool arrival_pending = false; // a data arrival is queued and not yet raised
        std::string peer;             // "host:port", as the traffic log names the box
        qint64 logged_unread = 0;     // received bytes already logged but not yet read
    };

    void log(Socket& s, Traffic direction, std::string_view bytes);
    // Logs what of these unread bytes was not logged yet.
    void log_arrivals(Socket& s, const QByteArray& unread);

    void arrived(int socket);
    // Raises `event` from the event loop, once the call that caused it has returned.
    void later(std::function<void(PlatformEvents&)> event);
    QTimer& timer(TimerId id);
    // The scanner beside the program in the build folder, writing its files
    // there; installed, the scanner in libexec writing into data_dir.
    ScanPlaces scan_places() const;

    Options m_options;
    std::array<Socket, socket_count> m_sockets;
    QTimer m_connect_timer;
    QTimer m_relink_timer;
    QProcess m_scanner;
    QPointer<QWidget> m_window;
    RepaintPacer m_pacer;
    std::vector<QPointer<QMessageBox>> m_open_boxes;
    bool m_closing = false;
};

} // namespace wc
