#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> env(extra_env.size());
    for (std::size_t i = 0; i < extra_env.size(); ++i) {
        env[i] = const_cast<char*>(extra_env[i].c_str());
    }
    for (char** entry = environ; *entry != nullptr; ++entry) {
        env.push_back(*entry);
    }
    env.push_back(nullptr);

    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDERR_FILENO);
    const int error = posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[1]);
    m_output = pipe_fds[0];
    if (error != 0) {
        ::close(m_output);
        throw std::runtime_error("cannot start " + argv[0]);
    }
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        reap();
    }
    ::close(m_output);
}

bool ChildProcess::fill() {
    char chunk[4096];
    ssize_t got;
    while ((got = ::read(m_output, chunk, sizeof chunk)) < 0 && errno == EINTR) {
    }
    if (got <= 0) {
        return false;
    }
    m_buffered.append(chunk, static_cast<std::size_t>(got));
    return true;
}

std::string ChildProcess::read_line() {
    std::size_t end;
    while ((end = m_buffered.find('\n')) == std::string::npos) {
        if (!fill()) {
            return std::exchange(m_buffered, {});
        }
    }
    std::string line = m_buffered.substr(0, end);
    m_buffered.erase(0, end + 1);
    return line;
}

int ChildProcess::wait_for_exit(std::string* output) {
    while (fill()) {
    }
    if (output != nullptr) {
        *output = std::exchange(m_buffered, {});
    }
    return reap();
}

int ChildProcess::reap() {
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    return status;
}

bool RunResult::succeeded() const {
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

RunResult run_program(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env) {
    ChildProcess child(argv, extra_env);
    RunResult result{0, {}};
    result.status = child.wait_for_exit(&result.output);
    return result;
}
