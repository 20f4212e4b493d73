#include "invocation.h"

namespace scanner {

Invocation invocation(const std::vector<std::string_view>& args) {
    if (args.empty()) {
        return Invocation::sweep;
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        return Invocation::help;
    }
    if (args.size() == 1 && args[0] == "--version") {
        return Invocation::version;
    }
    return Invocation::bad_usage;
}

std::string_view usage() {
    return "usage: KRAV_TILESCOPE.exe [--help | --version]\n"
           "  finds the video-wall boxes on the PC's own /24 networks and writes MAC.txt\n"
           "  and IP.txt into the current directory, line k of both for the same box\n";
}

} // namespace scanner
