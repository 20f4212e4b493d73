#include "process.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <utility>

namespace wc::test {

namespace {

std::string text_of(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

} // namespace

Clock::time_point deadline() {
    return Clock::now() + std::chrono::seconds(WALL_TEST_TIMEOUT_S);
}

Running::Running(const std::vector<std::string>& argv, const Options& options)
    : m_watched_fd(options.watched) {
    std::fputs(options.input.c_str(), m_files[0]);
    std::rewind(m_files[0]);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0 || (m_pid = fork()) < 0) {
        throw std::runtime_error("cannot start " + argv.front());
    }
    if (m_pid == 0) {
        dup2(fileno(m_files[0]), STDIN_FILENO);
        dup2(options.out >= 0 ? options.out : fileno(m_files[1]), STDOUT_FILENO);
        dup2(fileno(m_files[2]), STDERR_FILENO);
        if (m_watched_fd >= 0) {
            dup2(ends[1], m_watched_fd);
        }
        close_range(3, ~0u, 0); // whatever the test runner left open is not the program's
        if (options.descriptor_limit > 0) {
            const rlimit limit{options.descriptor_limit, options.descriptor_limit};
            setrlimit(RLIMIT_NOFILE, &limit);
        }
        for (const std::string& pair : options.environment) {
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
    close(ends[1]);
    m_pipe = ends[0];
}

Running::~Running() {
    stop();
    close(m_pipe);
    for (std::FILE* file : m_files) {
        std::fclose(file);
    }
}

bool Running::read_more(Clock::time_point until) {
    pollfd p{m_pipe, POLLIN, 0};
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    char chunk[4096];
    const ssize_t got =
        left > 0 && poll(&p, 1, static_cast<int>(left)) == 1 ? read(m_pipe, chunk, sizeof chunk) : -1;
    if (got <= 0) {
        return false;
    }
    m_buffer.append(chunk, static_cast<std::size_t>(got));
    m_read.append(chunk, static_cast<std::size_t>(got));
    return true;
}

std::string Running::line() {
    const Clock::time_point until = deadline();
    std::size_t end;
    while ((end = m_buffer.find('\n')) == std::string::npos) {
        if (!read_more(until)) {
            return {};
        }
    }
    std::string line = m_buffer.substr(0, end + 1);
    m_buffer.erase(0, end + 1);
    return line;
}

bool Running::await(std::string_view text) {
    const Clock::time_point until = deadline();
    while (m_read.find(text) == std::string::npos) {
        if (!read_more(until)) {
            return false;
        }
    }
    return true;
}

Ran Running::finish() {
    const Clock::time_point until = deadline();
    while (m_watched_fd >= 0 && read_more(until)) {
    }
    int status = 0;
    waitpid(std::exchange(m_pid, -1), &status, 0);
    const auto output = [this](int fd) { return fd == m_watched_fd ? m_read : text_of(m_files[fd]); };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output(STDOUT_FILENO), output(STDERR_FILENO)};
}

int Running::stop(int signal) {
    int status = -1;
    if (m_pid > 0) {
        kill(m_pid, signal);
        waitpid(std::exchange(m_pid, -1), &status, 0);
    }
    return status;
}

Ran run(const std::vector<std::string>& argv, const std::string& input,
        const std::vector<std::string>& environment) {
    Running::Options to_files;
    to_files.input = input;
    to_files.environment = environment;
    to_files.watched = -1;
    return Running(argv, to_files).finish();
}

TempDir::TempDir() {
    std::string name = (std::filesystem::temp_directory_path() / "wall_test_XXXXXX").string();
    path = mkdtemp(name.data());
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string file_text(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void put(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace wc::test
