#pragma once

// Programs the tests start: run to their end, or kept running while the test
// reads one of their outputs as it comes; and a folder removed with
// everything in it. Every wait ends at the one generous deadline,
// WALL_TEST_TIMEOUT_S.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unistd.h>
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

// A program running from its start until finish() or stop(), or until it is
// destroyed. argv[0] is looked up on PATH when it holds no slash.
class Running {
public:
    struct Options {
        std::string input;                    // its standard input
        std::vector<std::string> environment; // NAME=VALUE pairs added to its environment
        int watched = STDOUT_FILENO;          // the output read as it comes (-1: none); the rest go to files
        int out = -1;                         // where its standard output goes instead, if given
        unsigned descriptor_limit = 0;        // at most this many open descriptors (0: as inherited)
    };
    explicit Running(const std::vector<std::string>& argv, const Options& options);
    explicit Running(const std::vector<std::string>& argv) : Running(argv, Options{}) {}
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    // The next line of the watched output with its "\n"; empty once it ended or at the deadline.
    std::string line();
    // Reads the watched output until it holds the text; false once it ended or at the deadline.
    bool await(std::string_view text);
    void signal(int number) const { ::kill(m_pid, number); }
    // Waits for its end: its exit status and everything it wrote.
    Ran finish();
    // Sends the signal, then its wait status as waitpid gives it; -1 once ended.
    int stop(int signal = SIGTERM);
    pid_t pid() const { return m_pid; }

private:
    bool read_more(Clock::time_point until);

    pid_t m_pid = -1;
    int m_watched_fd = STDOUT_FILENO;
    int m_pipe = -1;
    std::FILE* m_files[3] = {std::tmpfile(), std::tmpfile(), std::tmpfile()}; // standard input and outputs
    std::string m_buffer; // read, not yet handed out by line()
    std::string m_read;   // all of the watched output read so far
};

// Runs the program to its end, its outputs into files: what it leaves running
// may keep them open.
Ran run(const std::vector<std::string>& argv, const std::string& input = {},
        const std::vector<std::string>& environment = {});

// A fresh folder, removed with everything in it at the end.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
    std::filesystem::path path;
};

// The file's whole text; empty when it cannot be read.
std::string file_text(const std::filesystem::path& path);
void put(const std::filesystem::path& path, const std::string& text);

} // namespace wc::test
