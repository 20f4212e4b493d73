#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A program started by a test, its standard output (and error) on a pipe. When the
// object goes, a program still running is ended with SIGTERM and reaped.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv,
                          const std::vector<std::string>& extra_env = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of output without its line end; empty at end of output.
    std::string read_line();
    // All remaining output, then the exit status as waitpid reports it.
    int wait_for_exit(std::string* output = nullptr);

private:
    bool fill();
    int reap();

    pid_t m_pid = -1;
    int m_output = -1;
    std::string m_buffered;
};

struct RunResult {
    int status;
    std::string output;
    bool succeeded() const;
};

// Runs a program to its end.
RunResult run_program(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env = {});
