#include "wallsim_runner.h"

#include "qt_wait.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

namespace wc::uitest {

WallsimRunner::WallsimRunner(const QStringList& args, int boxes) {
    m_process.setProgram(QStringLiteral(WALLSIM_PATH));
    m_process.setArguments(QStringList{"--state-dir", m_state_dir.path()} + args);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted()) {
        throw std::runtime_error("cannot start wallsim");
    }
    const QDeadlineTimer deadline(test_timeout());
    while (static_cast<int>(m_boxes.size()) < boxes && !deadline.hasExpired()) {
        if (!m_process.canReadLine() &&
            !m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
        while (m_process.canReadLine()) {
            std::istringstream line(m_process.readLine().toStdString());
            std::string word;
            SimBox box;
            if (line >> word >> box.address >> box.port >> box.mac && word == "listening") {
                m_boxes.push_back(box);
            }
        }
    }
    if (static_cast<int>(m_boxes.size()) < boxes) {
        throw std::runtime_error("wallsim did not listen: " + m_process.readAllStandardError().toStdString());
    }
}

WallsimRunner::~WallsimRunner() {
    stop();
}

int WallsimRunner::port_of(const std::string& host, int port) const {
    for (const SimBox& box : m_boxes) {
        if (box.address == host) {
            return box.port;
        }
    }
    return port;
}

std::map<std::string, std::string> WallsimRunner::state(int box) const {
    const SimBox& b = m_boxes.at(static_cast<std::size_t>(box));
    QFile file(m_state_dir.path() + "/" + QString::fromStdString(b.address) + "_" + QString::number(b.port) +
               ".state");
    std::map<std::string, std::string> values;
    if (!file.open(QIODevice::ReadOnly)) {
        return values;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0) {
            values[line.left(equals).toStdString()] = line.mid(equals + 1).trimmed().toStdString();
        }
    }
    return values;
}

void WallsimRunner::preset(int box, const std::vector<std::string>& lines) const {
    const SimBox& b = m_boxes.at(static_cast<std::size_t>(box));
    QTcpSocket socket;
    socket.connectToHost(QString::fromStdString(b.address), static_cast<quint16>(b.port));
    const int limit = static_cast<int>(test_timeout().count());
    ASSERT_TRUE(socket.waitForConnected(limit));
    for (const std::string& line : lines) {
        socket.write((line + "\r\n").c_str());
    }
    socket.write("RPOW\r\n");
    QByteArray received;
    const QDeadlineTimer deadline(test_timeout());
    while (!received.contains("POWE") &&
           socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        received += socket.readAll();
    }
    ASSERT_TRUE(received.contains("POWE")) << "the box did not answer its preset";
}

void WallsimRunner::stop() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(static_cast<int>(test_timeout().count()))) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
}

} // namespace wc::uitest
