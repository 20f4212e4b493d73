#include "ui/qt_platform.h"

#include "ui/alert.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QStandardPaths>
#include <QWidget>
#include <utility>

namespace wc {

namespace {

bool valid_socket(int socket) {
    return socket >= 0 && socket < socket_count;
}

SocketState state_of(QAbstractSocket::SocketState state, bool failed) {
    switch (state) {
    case QAbstractSocket::UnconnectedState:
        return failed ? SocketState::error : SocketState::closed;
    case QAbstractSocket::HostLookupState:
        return SocketState::resolving;
    case QAbstractSocket::ConnectingState:
        return SocketState::connecting;
    case QAbstractSocket::ConnectedState:
        return SocketState::connected;
    case QAbstractSocket::ClosingState:
        return SocketState::closing;
    case QAbstractSocket::BoundState:     // a client socket is never bound alone,
    case QAbstractSocket::ListeningState: // nor listening
        break;
    }
    return SocketState::error;
}

QMessageBox::Icon qt_icon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::critical:
        return QMessageBox::Critical;
    case MsgIcon::exclamation:
        return QMessageBox::Warning;
    case MsgIcon::information:
        return QMessageBox::Information;
    case MsgIcon::question:
        return QMessageBox::Question;
    case MsgIcon::none:
        break;
    }
    return QMessageBox::NoIcon;
}

// What a message box answers when the window closes under it: never a Yes,
// so that no confirmation is taken for granted.
MsgAnswer closing_answer(MsgButtons buttons) {
    return buttons == MsgButtons::yes_no ? MsgAnswer::no : MsgAnswer::ok;
}

} // namespace

QtPlatform::QtPlatform() : QtPlatform(Options{}) {}

QtPlatform::QtPlatform(Options options) : m_options(std::move(options)) {
    for (int i = 0; i < static_cast<int>(m_sockets.size()); ++i) {
        Socket& s = m_sockets[static_cast<std::size_t>(i)];
        s.tcp = std::make_unique<QTcpSocket>();
        connect(s.tcp.get(), &QTcpSocket::readyRead, this, [this, i] { arrived(i); });
        connect(s.tcp.get(), &QTcpSocket::errorOccurred, this, [&s] { s.failed = true; });
        // A socket changes its state inside calls of the console's too (a close
        // aborts it): the console hears of it from the event loop.
        connect(s.tcp.get(), &QTcpSocket::stateChanged, this,
                [this, i] { later([i](PlatformEvents& events) { events.link_changed(i); }); });
    }
    const auto scanner_ended = [this] { later([](PlatformEvents& events) { events.scanner_ended(); }); };
    connect(&m_scanner, &QProcess::finished, this, scanner_ended);
    connect(&m_scanner, &QProcess::errorOccurred, this, scanner_ended);
    const std::pair<QTimer*, TimerId> timers[] = {{&m_connect_timer, TimerId::connect_timeout},
                                                  {&m_relink_timer, TimerId::relink_delay}};
    for (auto [qtimer, id] : timers) {
        qtimer->setSingleShot(true);
        // Coarse timers may fire up to 5 % early, to the whole second for whole
        // seconds: a box that needs two seconds to re-link must get them.
        qtimer->setTimerType(Qt::PreciseTimer);
        connect(qtimer, &QTimer::timeout, this, [this, id = id] {
            if (events() != nullptr) {
                events()->timer_fired(id);
            }
        });
    }
}

QtPlatform::~QtPlatform() {
    // The sockets die before this object does: nothing they still signal may reach it.
    for (Socket& s : m_sockets) {
        QObject::disconnect(s.tcp.get(), nullptr, this, nullptr);
    }
}

void QtPlatform::set_window(QWidget* window) {
    m_window = window;
    if (window != nullptr) {
        m_pacer.pace(*window);
    }
}

void QtPlatform::shut_down() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    for (Socket& s : m_sockets) {
        s.tcp->abort();
    }
    if (m_scanner.state() != QProcess::NotRunning) {
        m_scanner.kill();
    }
    for (const QPointer<QMessageBox>& box : std::vector(m_open_boxes)) {
        if (box) {
            box->done(QMessageBox::NoButton);
        }
    }
}

void QtPlatform::later(std::function<void(PlatformEvents&)> event) {
    QMetaObject::invokeMethod(
        this,
        [this, event = std::move(event)] {
            if (events() != nullptr) {
                event(*events());
            }
        },
        Qt::QueuedConnection);
}

void QtPlatform::socket_close(int socket) {
    if (!valid_socket(socket)) {
        return;
    }
    Socket& s = m_sockets[static_cast<std::size_t>(socket)];
    // What was sent last still goes out: a closing handler's final command
    // must reach the box even though the connection ends right after it.
    if (s.tcp->state() == QAbstractSocket::ConnectedState) {
        s.tcp->flush();
    }
    s.tcp->abort();
    s.failed = false;
    s.logged_unread = 0;
}

void QtPlatform::socket_connect(int socket, const std::string& host, int port) {
    if (!valid_socket(socket) || m_closing) {
        return;
    }
    Socket& s = m_sockets[static_cast<std::size_t>(socket)];
    s.tcp->abort();
    s.failed = false;
    const int real_port = m_options.port_map ? m_options.port_map(host, port) : port;
    s.logged_unread = 0;
    s.peer = host;
    s.peer += ':';
    s.peer += std::to_string(real_port);
    s.tcp->connectToHost(QString::fromStdString(host), static_cast<quint16>(real_port));
}

SocketState QtPlatform::socket_state(int socket) const {
    if (!valid_socket(socket)) {
        return SocketState::closed;
    }
    const Socket& s = m_sockets[static_cast<std::size_t>(socket)];
    return state_of(s.tcp->state(), s.failed);
}

void QtPlatform::socket_send(int socket, std::string_view bytes) {
    if (!valid_socket(socket)) {
        return;
    }
    QTcpSocket& tcp = *m_sockets[static_cast<std::size_t>(socket)].tcp;
    if (tcp.state() != QAbstractSocket::ConnectedState) {
        return;
    }
    tcp.write(bytes.data(), static_cast<qint64>(bytes.size()));
    tcp.flush();
    log(m_sockets[static_cast<std::size_t>(socket)], Traffic::sent, bytes);
}

void QtPlatform::log(Socket& s, Traffic direction, std::string_view bytes) {
    if (m_options.log != nullptr) {
        m_options.log->record(s.peer, direction, bytes);
    }
}

void QtPlatform::log_arrivals(Socket& s, const QByteArray& unread) {
    if (unread.size() > s.logged_unread) {
        const QByteArray fresh = unread.mid(s.logged_unread);
        log(s, Traffic::received,
            std::string_view(fresh.constData(), static_cast<std::size_t>(fresh.size())));
        s.logged_unread = unread.size();
    }
}

std::string QtPlatform::socket_read(int socket) {
    if (!valid_socket(socket)) {
        return {};
    }
    Socket& s = m_sockets[static_cast<std::size_t>(socket)];
    const QByteArray data = s.tcp->readAll();
    log_arrivals(s, data);
    s.logged_unread = 0;
    return data.toStdString();
}

// readyRead is only queued here and raised from the event loop: a handler that
// waits inside the arrival would otherwise keep the socket from ever
// signalling again, as Qt does not re-emit readyRead from within its own slot.
void QtPlatform::arrived(int socket) {
    Socket& s = m_sockets[static_cast<std::size_t>(socket)];
    // Logged as it arrives, from every box: the console reads only the
    // selected box, and the others' answers to "ALL IP" commands matter too.
    log_arrivals(s, s.tcp->peek(s.tcp->bytesAvailable()));
    if (s.arrival_pending) {
        return;
    }
    s.arrival_pending = true;
    QMetaObject::invokeMethod(
        this,
        [this, socket] {
            Socket& target = m_sockets[static_cast<std::size_t>(socket)];
            target.arrival_pending = false;
            // A chunk already read with an earlier arrival, or dropped with its
            // connection, is no arrival at all.
            if (target.tcp->bytesAvailable() > 0 && events() != nullptr) {
                events()->data_arrival(socket);
            }
        },
        Qt::QueuedConnection);
}

std::string QtPlatform::local_ip() {
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
                return entry.ip().toString().toStdString();
            }
        }
    }
    // A PC without a network has only its loopback address.
    return "127.0.0.1";
}

QTimer& QtPlatform::timer(TimerId id) {
    return id == TimerId::connect_timeout ? m_connect_timer : m_relink_timer;
}

void QtPlatform::timer_start(TimerId id, int interval_ms) {
    timer(id).start(interval_ms);
}

void QtPlatform::timer_stop(TimerId id) {
    timer(id).stop();
}

void QtPlatform::message_box(int id, std::string_view text, MsgIcon icon, MsgButtons buttons) {
    if (m_closing) {
        if (events() != nullptr) {
            events()->message_answered(id, closing_answer(buttons));
        }
        return;
    }
    const QString title = m_window ? m_window->windowTitle() : QCoreApplication::applicationName();
    const auto qt_buttons = buttons == MsgButtons::yes_no ? QMessageBox::Yes | QMessageBox::No
                                                          : QMessageBox::StandardButtons(QMessageBox::Ok);
    auto* box = new QMessageBox(qt_icon(icon), title, QString::fromStdString(std::string(text)), qt_buttons,
                                m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Modal as a message box run in a loop of its own would be, without the loop.
    box->setWindowModality(Qt::ApplicationModal);
    announce_as_alert(*box);
    return_focus_on_close(*box);
    m_open_boxes.emplace_back(box);
    connect(box, &QDialog::finished, this, [this, box, id, buttons] {
        std::erase_if(m_open_boxes, [box](const QPointer<QMessageBox>& open) { return open == box; });
        const MsgAnswer answer = m_closing                   ? closing_answer(buttons)
                                 : buttons == MsgButtons::ok ? MsgAnswer::ok
                                 : box->standardButton(box->clickedButton()) == QMessageBox::Yes
                                     ? MsgAnswer::yes
                                     : MsgAnswer::no;
        if (events() != nullptr) {
            events()->message_answered(id, answer);
        }
    });
    box->show();
}

ScanPlaces QtPlatform::scan_places() const {
    const QString app_dir =
        m_options.app_dir.isEmpty() ? QCoreApplication::applicationDirPath() : m_options.app_dir;
    const QString data_dir = m_options.data_dir.isEmpty()
                                 ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                                 : m_options.data_dir;
    return wc::scan_places(app_dir.toStdString(), data_dir.toStdString());
}

bool QtPlatform::start_scanner(std::string_view file_name) {
    if (m_closing || m_scanner.state() != QProcess::NotRunning) {
        return false;
    }
    const ScanPlaces places = scan_places();
    const QString path = QString::fromStdString((places.scanner_dir / file_name).string());
    const QString files_dir = QString::fromStdString(places.files_dir.string());
    // The per-user folder of an installed console is made on its first search.
    if (!QFileInfo(path).isExecutable() || !QDir().mkpath(files_dir)) {
        return false;
    }
    m_scanner.setProgram(path);
    m_scanner.setArguments({});
    m_scanner.setWorkingDirectory(files_dir);
    m_scanner.setProcessChannelMode(QProcess::ForwardedChannels);
    // Whether it started or failed to, scanner_ended follows once it is over.
    m_scanner.start();
    return true;
}

bool QtPlatform::scanner_running() {
    return !m_closing && m_scanner.state() != QProcess::NotRunning;
}

std::optional<std::vector<std::string>> QtPlatform::read_lines(std::string_view file_name) {
    QFile file(QString::fromStdString((scan_places().files_dir / file_name).string()));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const std::string text = file.readAll().toStdString();
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        from = end + 1;
    }
    return lines;
}

} // namespace wc
