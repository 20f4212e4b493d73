#pragma once

// wallsim as a real process serving simulated boxes on loopback, for the
// tests where the real sockets of the Qt platform are the point.

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

namespace wc::uitest {

struct SimBox {
    std::string address;
    int port = 0;
    std::string mac;
};

class WallsimRunner {
public:
    // Starts wallsim with these arguments (after its --state-dir) and waits
    // until it listens for `boxes` boxes.
    WallsimRunner(const QStringList& args, int boxes);
    ~WallsimRunner();
    WallsimRunner(const WallsimRunner&) = delete;
    WallsimRunner& operator=(const WallsimRunner&) = delete;

    const std::vector<SimBox>& boxes() const { return m_boxes; }
    // Where the console's port 23 of this address really is.
    int port_of(const std::string& host, int port) const;

    // The settings the box holds now, as its state file says.
    std::map<std::string, std::string> state(int box) const;

    // Sends the lines to the box on a connection of the test's own, then waits
    // for the answer to a final question, so that every line has been taken.
    void preset(int box, const std::vector<std::string>& lines) const;

    // The program ends, and with it every connection to its boxes.
    void stop();

private:
    QTemporaryDir m_state_dir;
    QProcess m_process;
    std::vector<SimBox> m_boxes;
};

} // namespace wc::uitest
