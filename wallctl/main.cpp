// wallctl: the video wall's boxes from scripts. See arguments.h for the
// command line and run.h for what it does.

#include "wallctl/arguments.h"
#include "wallctl/run.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const wallctl::Parsed parsed = wallctl::parse_arguments(argc, argv);
    std::cout << parsed.out;
    std::cerr << parsed.err;
    if (!parsed.request) {
        return parsed.exit_status;
    }
    return wallctl::run(*parsed.request, [](const std::string& question) {
        std::cerr << question << std::flush;
        std::string answer;
        return std::getline(std::cin, answer) && (answer == "y" || answer == "yes");
    });
}
