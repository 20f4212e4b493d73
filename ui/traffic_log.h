#pragma once

// The console's traffic log: every line it sends and every chunk it receives,
// per box, as wallctl -v writes them (link/traffic_log.h). Lines are buffered
// and written a few times a second, never inside a wait's own work, so the
// log costs the window nothing it would notice. The file is rotated: past its
// size limit it becomes FILE.1 (FILE.1 becomes FILE.2, and so on), and the
// oldest is dropped. A file that cannot be opened or written (a full disk, a
// folder without rights) is reported once on stderr; the console goes on
// without a log.

#include "link/traffic_log.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <string_view>

namespace wc {

class TrafficLog final : public QObject {
    Q_OBJECT

public:
    struct Limits {
        qint64 file_bytes = 4 * 1024 * 1024;
        int old_files = 3; // FILE.1 .. FILE.3 besides FILE
    };

    // An empty path: no log at all.
    explicit TrafficLog(QString path, Limits limits);
    explicit TrafficLog(QString path) : TrafficLog(std::move(path), Limits{}) {}
    ~TrafficLog() override;

    // The per-user data folder's log, where the console keeps it unless told otherwise.
    static QString default_path();

    void record(std::string_view peer, Traffic direction, std::string_view bytes);
    // Writes what is buffered now (also done by a timer, and on destruction).
    void flush();
    // Whether lines still go anywhere: false without a path and after a failure.
    bool active() const { return !m_path.isEmpty() && !m_failed; }

private:
    bool open_for(qint64 more);
    void rotate();
    void fail(const QString& why);

    QString m_path;
    Limits m_limits;
    QFile m_file;
    QByteArray m_pending;
    QTimer m_flush_timer;
    bool m_failed = false;
};

} // namespace wc
