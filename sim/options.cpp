#include "sim/options.h"

#include "link/protocol.h"
#include "link/settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>
#include <optional>
#include <utility>

namespace sim {
namespace {

std::optional<std::string> normalized_mac(std::string_view text) {
    if (text.size() != 17) {
        return std::nullopt;
    }
    std::string mac;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool separator = i % 3 == 2;
        if (separator ? c != ':' : !std::isxdigit(c)) {
            return std::nullopt;
        }
        mac += static_cast<char>(std::toupper(c));
    }
    return mac;
}

std::string numbered_mac(std::size_t index) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:57:41:4C:4C:%02X", static_cast<unsigned>((index + 1) & 0xFF));
    return mac;
}

std::optional<LineEnd> line_end_named(std::string_view name) {
    constexpr std::pair<std::string_view, LineEnd> names[] = {
        {"crlf", LineEnd::crlf}, {"lf", LineEnd::lf}, {"cr", LineEnd::cr}, {"none", LineEnd::none}};
    for (const auto& [text, end] : names) {
        if (text == name) {
            return end;
        }
    }
    return std::nullopt;
}

// ADDRESS[:PORT] into the box's address and port.
bool parse_address(std::string_view text, BoxConfig& box) {
    const std::size_t colon = text.find(':');
    auto address = wc::dotted_address(text.substr(0, colon));
    if (!address) {
        return false;
    }
    box.address = std::move(*address);
    if (colon != std::string_view::npos) {
        const auto port = wc::number_in(text.substr(colon + 1), 0, std::numeric_limits<std::uint16_t>::max());
        if (!port) {
            return false;
        }
        box.port = static_cast<std::uint16_t>(*port);
    }
    return true;
}

} // namespace

std::variant<Options, std::string> parse_options(const std::vector<std::string_view>& args) {
    Options options;
    BoxConfig next;
    bool box_options_pending = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool takes_value = arg == "--state-dir" || arg == "--mac" || arg == "--delay" ||
                                 arg == "--silent" || arg == "--close-after" || arg == "--split" ||
                                 arg == "--line-end" || arg == "--banner" || arg == "--prompt";
        if (takes_value && i + 1 == args.size()) {
            return std::string(arg) + " needs a value";
        }
        const std::string_view value = takes_value ? args[++i] : std::string_view{};
        const auto bad = [&] { return "bad value for " + std::string(arg) + ": " + std::string(value); };
        box_options_pending = box_options_pending || (arg.starts_with("--") && arg != "--state-dir");
        if (arg == "--state-dir") {
            options.state_dir = value;
        } else if (arg == "--mac") {
            const auto mac = normalized_mac(value);
            if (!mac) {
                return bad();
            }
            next.mac = *mac;
        } else if (arg == "--delay") {
            const auto ms = wc::number_in(value, 0, 600'000);
            if (!ms) {
                return bad();
            }
            next.faults.delay = std::chrono::milliseconds(*ms);
        } else if (arg == "--silent") {
            if (value.empty()) {
                return bad();
            }
            next.faults.silent.emplace(value);
        } else if (arg == "--close-after") {
            const auto count = wc::number_in(value, 1, std::numeric_limits<int>::max());
            if (!count) {
                return bad();
            }
            next.faults.close_after = *count;
        } else if (arg == "--split") {
            const auto pos = wc::number_in(value, 1, std::numeric_limits<int>::max());
            if (!pos) {
                return bad();
            }
            next.faults.split = static_cast<std::size_t>(*pos);
        } else if (arg == "--join") {
            next.faults.join = true;
        } else if (arg == "--bytewise") {
            next.faults.bytewise = true;
        } else if (arg == "--line-end") {
            const auto end = line_end_named(value);
            if (!end) {
                return bad();
            }
            next.faults.line_end = *end;
        } else if (arg == "--echo") {
            next.faults.echo = true;
        } else if (arg == "--banner") {
            next.faults.banner = value;
        } else if (arg == "--prompt") {
            next.faults.prompt = value;
        } else if (arg == "--refuse") {
            next.faults.refuse = true;
        } else if (arg.starts_with("-")) {
            return "unknown option " + std::string(arg);
        } else {
            if (!parse_address(arg, next)) {
                return "bad address " + std::string(arg) + " (dotted IPv4, optionally :PORT)";
            }
            if (next.mac.empty()) {
                next.mac = numbered_mac(options.boxes.size());
            }
            options.boxes.push_back(std::move(next));
            next = BoxConfig{};
            box_options_pending = false;
        }
    }
    if (box_options_pending) {
        return std::string("box options must stand before the address they apply to");
    }
    if (options.boxes.empty()) {
        return std::string("no address to listen on");
    }
    return options;
}

std::string_view usage() {
    return "usage: wallsim [--state-dir DIR] [BOX OPTIONS] ADDRESS[:PORT] ...\n"
           "       wallsim --help | --version\n"
           "  one simulated box per ADDRESS (dotted IPv4; port 23 unless given, 0 picks a free port)\n"
           "box options, for the address that follows them only:\n"
           "  --mac XX:XX:XX:XX:XX:XX  the box's MAC address\n"
           "  --delay MS               send every reply MS milliseconds late\n"
           "  --silent CMD             never answer the command word CMD (repeatable)\n"
           "  --close-after N          close a connection after its N-th command line\n"
           "  --split POS              send each reply in two chunks split at POS, 50 ms apart\n"
           "  --join                   send two consecutive replies in one chunk\n"
           "  --bytewise               send every byte in a chunk of its own\n"
           "  --line-end crlf|lf|cr|none  end every reply so (crlf unless given)\n"
           "  --echo                   send each command line back before its replies\n"
           "  --banner TEXT            greet every new connection with TEXT and a line end\n"
           "  --prompt TEXT            send TEXT after the banner and after every reply\n"
           "  --refuse                 refuse connections (the port is held but not listening)\n"
           "--state-dir DIR: keep DIR/ADDRESS_PORT.state up to date with each box's state\n";
}

} // namespace sim
