#include "test_network.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace wc::e2e {

namespace {

// Runs a program to its end with the given environment addition; its exit status.
int run(const std::vector<std::string>& argv, const std::string& prefix, std::string* output = nullptr) {
    std::string command = "WALL_NET_PREFIX=" + prefix;
    for (const std::string& arg : argv) {
        command += " '" + arg + "'";
    }
    command += " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char buffer[512];
    std::string text;
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
        text += buffer;
    }
    int status = pclose(pipe);
    if (output != nullptr) {
        *output = text;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits until wallsim has printed its "listening" line, so the box is up.
void await_listening(int fd) {
    std::string seen;
    char c;
    while (seen.find('\n') == std::string::npos) {
        ssize_t n = read(fd, &c, 1);
        if (n <= 0) {
            throw std::runtime_error("wallsim ended before listening: " + seen);
        }
        seen.push_back(c);
    }
    close(fd);
}

} // namespace

std::string TestNetwork::unavailable_reason() {
    std::string output;
    if (run({WALL_TESTNET, "check"}, "e2echk", &output) != 0) {
        return output.empty() ? "scripts/testnet check failed" : output;
    }
    return {};
}

std::string TestNetwork::mac(int box) {
    char text[18];
    std::snprintf(text, sizeof text, "02:57:43:00:00:%02X", box == 0 ? 0xFF : box);
    return text;
}

TestNetwork::TestNetwork(std::string prefix, int boxes)
    : m_prefix(std::move(prefix)), m_boxes(boxes), m_home(open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC)) {
    std::string output;
    if (run({WALL_TESTNET, "up", std::to_string(boxes)}, m_prefix, &output) != 0) {
        throw std::runtime_error("testnet up failed: " + output);
    }
    m_state_dir = std::filesystem::temp_directory_path() / (m_prefix + "-state");
    std::filesystem::remove_all(m_state_dir);
    std::filesystem::create_directories(m_state_dir);
    for (int k = 1; k <= boxes; ++k) {
        start_box(k, address(k), mac(k), {});
    }
    start_box(0, "192.168.2.30", mac(0), {});
}

TestNetwork::~TestNetwork() {
    // Tearing down ends every process left in the namespaces: this one must not be among them.
    if (m_home >= 0) {
        setns(m_home, CLONE_NEWNET);
        close(m_home);
    }
    for (auto& [box, pid] : m_wallsims) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    run({WALL_TESTNET, "down"}, m_prefix);
    std::error_code ignored;
    std::filesystem::remove_all(m_state_dir, ignored);
}

void TestNetwork::start_box(int box, const std::string& address, const std::string& mac,
                            const std::vector<std::string>& options) {
    std::vector<std::string> argv = {
        "ip",     "netns",       "exec",     m_prefix + (box == 0 ? "-boxx" : "-box" + std::to_string(box)),
        WALL_SIM, "--state-dir", m_state_dir};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(), {"--mac", mac, address});
    int out[2];
    if (pipe(out) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> args;
        for (std::string& a : argv) {
            args.push_back(a.data());
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    m_wallsims[box] = pid;
    await_listening(out[0]);
}

void TestNetwork::kill_box(int box) {
    auto it = m_wallsims.find(box);
    if (it != m_wallsims.end()) {
        kill(it->second, SIGKILL);
        waitpid(it->second, nullptr, 0);
        m_wallsims.erase(it);
    }
}

void TestNetwork::restart_box(int box, const std::vector<std::string>& options) {
    kill_box(box);
    std::filesystem::remove(std::filesystem::path(m_state_dir) / (address(box) + "_23.state"));
    start_box(box, address(box), mac(box), options);
}

void TestNetwork::enter_pc() const {
    const std::string path = "/run/netns/" + m_prefix + "-pc";
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) {
        throw std::runtime_error("cannot enter " + path);
    }
    close(fd);
}

std::map<std::string, std::string> TestNetwork::state(int box) const {
    std::map<std::string, std::string> values;
    std::ifstream in(std::filesystem::path(m_state_dir) / (address(box) + "_23.state"));
    std::string line;
    while (std::getline(in, line)) {
        auto eq = line.find('=');
        if (eq != std::string::npos) {
            values[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return values;
}

std::string TestNetwork::state_of(int box, const std::string& key) const {
    auto values = state(box);
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

} // namespace wc::e2e
