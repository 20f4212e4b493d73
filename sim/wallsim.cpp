// wallsim: simulated video-wall boxes on TCP, for trying the console without
// hardware and for end-to-end tests. See PROTOCOL.md beside this file.

#include "sim/server.h"

#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>
#include <variant>

namespace {

int stop_pipe[2] = {-1, -1};

// SIGINT and SIGTERM only wake the poll loop; it then stops in its own time.
void request_stop(int) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(stop_pipe[1], &byte, 1);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << sim::usage();
        return 0;
    }
    auto parsed = sim::parse_options(args);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "wallsim: " << *error << "\n" << sim::usage();
        return 2;
    }

    if (pipe(stop_pipe) != 0) {
        std::perror("wallsim: pipe");
        return 1;
    }
    fcntl(stop_pipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = request_stop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    sim::Server server(std::move(std::get<sim::Options>(parsed)));
    std::string error;
    if (!server.open(std::cout, error)) {
        std::cerr << "wallsim: " << error << std::endl;
        return 1;
    }
    server.run(stop_pipe[0]);
    return 0;
}
