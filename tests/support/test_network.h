#pragma once

// The operator's PC and the simulated boxes on a private network made of
// network namespaces (scripts/testnet): boxes 1..N on 192.168.1.20 and up,
// one more box on 192.168.2.30, the PC on 192.168.1.5 first and 192.168.2.5
// second. Each box is a real wallsim process that writes its state to a file.

#include "process.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace wc::test {

class TestNetwork {
public:
    // Empty when the machine can make the network; otherwise why it cannot.
    static std::string unavailable_reason();

    // Builds the network with `boxes` boxes in the PC's network and starts a
    // wallsim in every box namespace (the other-network box too).
    TestNetwork(std::string prefix, int boxes);
    ~TestNetwork();
    TestNetwork(const TestNetwork&) = delete;
    TestNetwork& operator=(const TestNetwork&) = delete;

    // Moves this process into the PC's namespace: its sockets and the
    // programs it starts from then on live there. The network is torn down
    // from the namespace the process came from.
    void enter_pc() const;
    // Runs a program in the PC's namespace to its end.
    Ran run_on_pc(const std::vector<std::string>& argv) const;

    static std::string address(int box) { return "192.168.1." + std::to_string(19 + box); }
    static std::string mac(int box); // box 0 is the one on the other network

    // Restarts box k's wallsim with extra options (its state starts anew).
    void restart_box(int box, const std::vector<std::string>& options);
    // The box's state as wallsim last wrote it; empty before its first change.
    std::string state_of(int box, const std::string& key) const;

private:
    std::vector<std::string> testnet(const std::vector<std::string>& args) const;
    void start_box(int box, const std::vector<std::string>& options);
    void kill_box(int box);

    std::string m_prefix;
    TempDir m_states;
    int m_home = -1; // the namespace this process started in
    std::map<int, std::unique_ptr<Running>> m_wallsims;
};

} // namespace wc::test
