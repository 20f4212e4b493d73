// wallctl: the video wall's boxes from scripts. See arguments.h for the
// command line and run.h for what it does.

#include "wallctl/arguments.h"
#include "wallctl/run.h"
#include "wallctl/text_file.h"

#include <csignal>
#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    // A reader that has gone shows as a failed write, which ends the run quietly.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        const wallctl::Parsed parsed = wallctl::parse_arguments(argc, argv);
        std::cerr << parsed.err;
        if (const int written = wallctl::write_stdout(parsed.out); written != 0 || !parsed.request) {
            return written != 0 ? written : parsed.exit_status;
        }
        return wallctl::run(*parsed.request, [](const std::string& question) {
            std::cerr << question << std::flush;
            std::string answer;
            return std::getline(std::cin, answer) && (answer == "y" || answer == "yes");
        });
    } catch (const std::exception& error) {
        // Nothing should come here; if anything does, it is named, not an abort.
        std::cerr << "wallctl: " << error.what() << "\n";
        return 1;
    }
}
