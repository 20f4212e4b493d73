#include "test_network.h"

#include "sim/state_file.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace wc::test {

std::string TestNetwork::unavailable_reason() {
    const Ran check = run({WALL_TESTNET, "check"}, {}, {"WALL_NET_PREFIX=chk" + std::to_string(getpid())});
    return check.status == 0 ? std::string() : check.out + check.err;
}

std::string TestNetwork::mac(int box) {
    char text[18];
    std::snprintf(text, sizeof text, "02:57:43:00:00:%02X", box == 0 ? 0xFF : box);
    return text;
}

std::vector<std::string> TestNetwork::testnet(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{WALL_TESTNET};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

TestNetwork::TestNetwork(std::string prefix, int boxes)
    : m_prefix(std::move(prefix)), m_home(open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC)) {
    const Ran up = run(testnet({"up", std::to_string(boxes)}), {}, {"WALL_NET_PREFIX=" + m_prefix});
    if (up.status != 0) {
        throw std::runtime_error("testnet up failed: " + up.out + up.err);
    }
    for (int k = 0; k <= boxes; ++k) {
        start_box(k, {});
    }
}

TestNetwork::~TestNetwork() {
    // Tearing down ends every process left in the namespaces: this one must not be among them.
    if (m_home >= 0) {
        setns(m_home, CLONE_NEWNET);
        close(m_home);
    }
    m_wallsims.clear();
    run(testnet({"down"}), {}, {"WALL_NET_PREFIX=" + m_prefix});
}

void TestNetwork::start_box(int box, const std::vector<std::string>& options) {
    std::vector<std::string> argv = {
        "ip",         "netns",
        "exec",       m_prefix + (box == 0 ? "-boxx" : "-box" + std::to_string(box)),
        WALLSIM_PATH, "--state-dir",
        m_states.path};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(), {"--mac", mac(box), box == 0 ? "192.168.2.30" : address(box)});
    auto wallsim = std::make_unique<Running>(argv);
    // The box is up once wallsim says it listens.
    if (!wallsim->line().starts_with("listening")) {
        throw std::runtime_error("box " + std::to_string(box) + " did not start");
    }
    m_wallsims[box] = std::move(wallsim);
}

void TestNetwork::kill_box(int box) {
    if (auto it = m_wallsims.find(box); it != m_wallsims.end()) {
        it->second->stop(SIGKILL);
        m_wallsims.erase(it);
    }
}

void TestNetwork::restart_box(int box, const std::vector<std::string>& options) {
    kill_box(box);
    std::filesystem::remove(m_states / sim::state_file_name(address(box), 23));
    start_box(box, options);
}

void TestNetwork::enter_pc() const {
    const std::string path = "/run/netns/" + m_prefix + "-pc";
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) {
        throw std::runtime_error("cannot enter " + path);
    }
    close(fd);
}

Ran TestNetwork::run_on_pc(const std::vector<std::string>& argv) const {
    std::vector<std::string> args{"run-pc"};
    args.insert(args.end(), argv.begin(), argv.end());
    return run(testnet(args), {}, {"WALL_NET_PREFIX=" + m_prefix});
}

std::string TestNetwork::state_of(int box, const std::string& key) const {
    std::ifstream file(m_states / sim::state_file_name(address(box), 23));
    std::stringstream text;
    text << file.rdbuf();
    const auto values = sim::parse_state(text.str());
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

} // namespace wc::test
