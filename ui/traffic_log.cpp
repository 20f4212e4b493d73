#include "ui/traffic_log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <utility>

namespace wc {

namespace {

// Often enough that a log read during a wait is nearly current, seldom enough
// that a refresh's sixteen exchanges cost one write.
constexpr int flush_interval_ms = 250;
// A burst larger than this goes out at once rather than waiting for the timer.
constexpr qsizetype flush_bytes = 64 * 1024;

QString numbered(const QString& path, int n) {
    return path + QLatin1Char('.') + QString::number(n);
}

} // namespace

TrafficLog::TrafficLog(QString path, Limits limits) : m_path(std::move(path)), m_limits(limits) {
    m_flush_timer.setSingleShot(true);
    m_flush_timer.setInterval(flush_interval_ms);
    connect(&m_flush_timer, &QTimer::timeout, this, &TrafficLog::flush);
}

TrafficLog::~TrafficLog() {
    flush();
}

QString TrafficLog::default_path() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/traffic.log");
}

void TrafficLog::record(std::string_view peer, Traffic direction, std::string_view bytes) {
    if (!active()) {
        return;
    }
    const std::string line =
        traffic_line(local_time(std::chrono::system_clock::now()), peer, direction, bytes);
    m_pending.append(line.data(), static_cast<qsizetype>(line.size()));
    m_pending.append('\n');
    if (m_pending.size() >= flush_bytes) {
        flush();
    } else if (!m_flush_timer.isActive()) {
        m_flush_timer.start();
    }
}

void TrafficLog::flush() {
    m_flush_timer.stop();
    if (m_pending.isEmpty() || !active()) {
        m_pending.clear();
        return;
    }
    if (!open_for(m_pending.size())) {
        return;
    }
    // A short write is what a full disk looks like.
    if (m_file.write(m_pending) != m_pending.size() || !m_file.flush()) {
        fail(m_file.errorString());
        return;
    }
    m_pending.clear();
}

bool TrafficLog::open_for(qint64 more) {
    if (m_file.isOpen() && m_file.size() > 0 && m_file.size() + more > m_limits.file_bytes) {
        m_file.close();
        rotate();
    }
    if (m_file.isOpen()) {
        return true;
    }
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        fail(QStringLiteral("cannot make its folder"));
        return false;
    }
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        fail(m_file.errorString());
        return false;
    }
    if (m_file.size() > 0 && m_file.size() + more > m_limits.file_bytes) {
        m_file.close();
        rotate();
        return open_for(more);
    }
    return true;
}

void TrafficLog::rotate() {
    QFile::remove(numbered(m_path, m_limits.old_files));
    for (int n = m_limits.old_files - 1; n >= 1; --n) {
        QFile::rename(numbered(m_path, n), numbered(m_path, n + 1));
    }
    QFile::rename(m_path, numbered(m_path, 1));
}

void TrafficLog::fail(const QString& why) {
    m_failed = true;
    m_pending.clear();
    m_file.close();
    std::fprintf(stderr, "%s: cannot write the traffic log %s (%s); going on without it\n",
                 qPrintable(QCoreApplication::applicationName()), qPrintable(m_path), qPrintable(why));
}

} // namespace wc
