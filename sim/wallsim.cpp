// wallsim: simulated video-wall boxes on TCP, for trying the console without
// hardware and for end-to-end tests. See PROTOCOL.md beside this file.

#include "link/version.h"
#include "sim/server.h"

#include <iostream>
#include <variant>

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << sim::usage();
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        std::cout << "wallsim " << wc::version << "\n";
        return 0;
    }
    auto parsed = sim::parse_options(args);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "wallsim: " << *error << "\n" << sim::usage();
        return 2;
    }
    return sim::serve(std::move(std::get<sim::Options>(parsed)), std::cout);
}
