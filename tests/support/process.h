#pragma once

// Programs the tests start: one run to its end (its exit status and what it
// wrote), or one kept running whose standard output is read line by line;
// and a folder removed with everything in it. Every wait ends at the one
// generous deadline, WALL_TEST_TIMEOUT_S.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace wc::test {

using Clock = std::chrono::steady_clock;

// When a wait that starts now gives up.
Clock::time_point deadline();

struct Ran {
    int status = -1; // the exit status; -1 when it did not exit
    std::string out;
    std::string err;
};

// Runs argv[0] (looked up on PATH when it holds no slash) to its end, with
// `input` on its standard input and NAME=VALUE pairs added to its environment.
Ran run(const std::vector<std::string>& argv, const std::string& input = {},
        const std::vector<std::string>& environment = {});

// A program kept running until stop(), or until it is destroyed.
class Running {
public:
    // descriptor_limit: at most this many open descriptors (0: as inherited).
    explicit Running(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
                     unsigned descriptor_limit = 0);
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    // The next line it wrote with its "\n"; empty once its output ended or at the deadline.
    std::string line();
    // Sends the signal, then its wait status as waitpid gives it; -1 once stopped.
    int stop(int signal = SIGTERM);
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::string m_buffer;
};

// A fresh folder, removed with everything in it at the end.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
    std::filesystem::path path;
};

} // namespace wc::test
