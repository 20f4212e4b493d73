#include "process.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace wc::test {

namespace {

// In the child: the environment additions, then argv[0] in place of this process.
[[noreturn]] void exec(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    for (const std::string& pair : environment) {
        const std::size_t eq = pair.find('=');
        setenv(pair.substr(0, eq).c_str(), pair.substr(eq + 1).c_str(), 1);
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

std::string text_of(std::FILE* file) {
    std::rewind(file);
    std::stringstream text;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        text.put(static_cast<char>(c));
    }
    return text.str();
}

} // namespace

Clock::time_point deadline() {
    return Clock::now() + std::chrono::seconds(WALL_TEST_TIMEOUT_S);
}

Ran run(const std::vector<std::string>& argv, const std::string& input,
        const std::vector<std::string>& environment) {
    // Files, not pipes: the child can write all it wants while the test waits for it to end.
    std::FILE* const files[] = {std::tmpfile(), std::tmpfile(), std::tmpfile()}; // stdin, stdout, stderr
    std::fputs(input.c_str(), files[0]);
    std::rewind(files[0]);
    const pid_t pid = fork();
    if (pid == 0) {
        for (int fd = 0; fd < 3; ++fd) {
            dup2(fileno(files[fd]), fd);
        }
        exec(argv, environment);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Ran ran{WIFEXITED(status) ? WEXITSTATUS(status) : -1, text_of(files[1]), text_of(files[2])};
    for (std::FILE* file : files) {
        std::fclose(file);
    }
    return ran;
}

Running::Running(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 unsigned descriptor_limit) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0 || (m_pid = fork()) < 0) {
        throw std::runtime_error("cannot start " + argv.front());
    }
    if (m_pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close_range(3, ~0u, 0); // whatever the test runner left open is not the program's
        if (descriptor_limit > 0) {
            const rlimit limit{descriptor_limit, descriptor_limit};
            setrlimit(RLIMIT_NOFILE, &limit);
        }
        exec(argv, environment);
    }
    close(out[1]);
    m_stdout = out[0];
}

Running::~Running() {
    stop();
    close(m_stdout);
}

std::string Running::line() {
    const Clock::time_point until = deadline();
    std::size_t end;
    while ((end = m_buffer.find('\n')) == std::string::npos) {
        pollfd p{m_stdout, POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
        char chunk[4096];
        const ssize_t got =
            left > 0 && poll(&p, 1, static_cast<int>(left)) == 1 ? read(m_stdout, chunk, sizeof chunk) : -1;
        if (got <= 0) {
            return {};
        }
        m_buffer.append(chunk, static_cast<std::size_t>(got));
    }
    std::string line = m_buffer.substr(0, end + 1);
    m_buffer.erase(0, end + 1);
    return line;
}

int Running::stop(int signal) {
    int status = -1;
    if (m_pid > 0) {
        kill(m_pid, signal);
        waitpid(std::exchange(m_pid, -1), &status, 0);
    }
    return status;
}

TempDir::TempDir() {
    std::string name = (std::filesystem::temp_directory_path() / "wall_test_XXXXXX").string();
    path = mkdtemp(name.data());
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

} // namespace wc::test
