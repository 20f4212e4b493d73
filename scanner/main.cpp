// KRAV_TILESCOPE.exe: finds the boxes on the PC's own /24 networks and leaves
// MAC.txt and IP.txt in its working directory for the console, which starts it
// there, waits for it to end and then reads both files.

#include "arp_table.h"
#include "interfaces.h"
#include "invocation.h"
#include "link/version.h"
#include "output_files.h"
#include "output_lines.h"
#include "probe.h"
#include "scan_port.h"

#include <chrono>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

// A box on the local segment answers within milliseconds; addresses with nobody
// behind them never answer at all (the neighbour lookup gives up only after
// seconds), so this bounds the whole sweep well under the 1.5 s it may take.
constexpr std::chrono::milliseconds probe_timeout{800};

std::string read_neighbour_table() {
    std::ifstream file("/proc/net/arp");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void write_outputs(const std::vector<scanner::FoundBox>& boxes) {
    const scanner::OutputTexts texts = scanner::output_texts(boxes);
    scanner::write_file_atomically("MAC.txt", texts.mac_text);
    scanner::write_file_atomically("IP.txt", texts.ip_text);
}

} // namespace

int main(int argc, char** argv) {
    switch (scanner::invocation({argv + 1, argv + argc})) {
    case scanner::Invocation::help:
        std::cout << scanner::usage();
        return EXIT_SUCCESS;
    case scanner::Invocation::version:
        std::cout << "KRAV_TILESCOPE.exe " << wc::version << '\n';
        return EXIT_SUCCESS;
    case scanner::Invocation::bad_usage:
        std::cerr << "KRAV_TILESCOPE: unexpected arguments\n" << scanner::usage();
        return 2;
    case scanner::Invocation::sweep:
        break;
    }
    int status = EXIT_SUCCESS;
    std::vector<scanner::FoundBox> boxes;
    try {
        const std::uint16_t port = scanner::scan_port(std::getenv("WALL_SCANNER_PORT"));
        const auto targets = scanner::sweep_targets(scanner::local_interface_addresses());
        const auto responders = scanner::find_responders(targets, port, probe_timeout);
        boxes = scanner::attach_macs(responders, scanner::parse_arp_table(read_neighbour_table()));
    } catch (const std::exception& error) {
        // The console only waits for the end and then reads both files, so they are
        // written even after a failed sweep, empty: "nothing found".
        std::cerr << "KRAV_TILESCOPE: " << error.what() << '\n';
        status = EXIT_FAILURE;
    }
    try {
        write_outputs(boxes);
    } catch (const std::exception& error) {
        std::cerr << "KRAV_TILESCOPE: " << error.what() << '\n';
        status = EXIT_FAILURE;
    }
    return status;
}
