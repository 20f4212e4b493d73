// fuzz_wallsim: bytes as a connection delivers them to a box, in chunks of
// any size, against a line limit of any size. Checks that the command lines
// assembled are those of the whole stream whatever the chunking; and, the
// lines given to the simulated box as commands, that every line splits into a
// word and blank-free parameters, that after every line each value the box
// keeps stays in its documented range (sim/PROTOCOL.md), that every reply is
// one whole reply as the console reads it, and that the state file reads back
// as written.
//
// Input: a limit byte (0 for the default limit), a count byte and that many
// chunk sizes (at most 15, used in turn; none: one chunk), then the stream.

#include "byte_program.h"
#include "link/line_assembler.h"
#include "link/protocol.h"
#include "link/reply_reader.h"
#include "link/settings.h"
#include "sim/box.h"
#include "sim/command_line.h"
#include "sim/state_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The line being checked, named in a failure.
std::string_view current_line;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "fuzz_wallsim: %s (line \"%.*s\")\n", what.c_str(),
                 static_cast<int>(current_line.size()), current_line.data());
    std::abort();
}

void expect(bool holds, const char* what) {
    if (!holds) {
        fail(what);
    }
}

// The lines of the whole stream by the framing rules, written the plain way:
// a line ends at "\n" with one "\r" before it dropped, and is dropped whole
// when it is longer than the limit.
std::vector<std::string> frame(std::string_view stream, std::size_t limit) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = stream.find('\n', start)) != std::string_view::npos; start = at + 1) {
        std::string_view line = stream.substr(start, at - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.size() <= limit) {
            lines.emplace_back(line);
        }
    }
    return lines;
}

// The same stream fed to the assembler in chunks of the given sizes; between
// chunks it never holds more than the limit and a last "\r".
std::vector<std::string> assemble(std::string_view stream, std::size_t limit, std::string_view sizes) {
    wc::LineAssembler assembler(limit);
    std::vector<std::string> lines;
    for (std::size_t k = 0; !stream.empty(); ++k) {
        const std::size_t size =
            sizes.empty() ? stream.size() : 1 + static_cast<unsigned char>(sizes[k % sizes.size()]);
        for (std::string& line : assembler.feed(stream.substr(0, size))) {
            lines.push_back(std::move(line));
        }
        expect(assembler.pending() <= limit + 1, "the assembler holds more than the limit");
        stream.remove_prefix(std::min(size, stream.size()));
    }
    return lines;
}

void check_split(const std::string& line) {
    const sim::CommandLine command = sim::split_command(line);
    expect(line.starts_with(command.word) && command.word.find(' ') == std::string_view::npos,
           "the word is not the text up to the first blank");
    std::string rest = line.substr(command.word.size());
    std::string joined;
    for (std::string_view param : command.params) {
        expect(!param.empty() && param.find(' ') == std::string_view::npos,
               "a parameter empty or with a blank");
        joined += param;
    }
    std::erase(rest, ' ');
    expect(joined == rest, "the parameters are not the blank-separated words");
    for (std::string_view param : command.params) {
        const auto value = wc::number_in(param, 0, 999);
        const bool digits =
            std::all_of(param.begin(), param.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (value) {
            expect(digits && *value >= 0 && *value <= 999,
                   "number_in took a parameter that is no number 0..999");
        } else if (digits) {
            const std::string_view significant =
                param.substr(std::min(param.find_first_not_of('0'), param.size()));
            expect(significant.size() > 3 || std::stoi("0" + std::string(significant)) > 999,
                   "number_in refused a number 0..999");
        }
        if (const auto octets = wc::address_octets(param)) {
            expect(std::count(param.begin(), param.end(), '.') == 3, "address_octets took no dotted address");
            expect(wc::address_octets(*wc::dotted_address(param)) == octets, "an address does not read back");
        }
    }
}

// A number the box keeps: its state-file key, its documented range, and where it is.
struct Number {
    std::string key;
    int lo;
    int hi;
    std::function<int(const sim::BoxState&)> get;
};

// Every number the box keeps, built once: the check after each line allocates nothing.
const std::vector<Number>& numbers() {
    static const std::vector<Number> table = [] {
        std::vector<Number> out;
        const std::tuple<const char*, int sim::BoxState::*, int, int> plain[] = {
            {"power", &sim::BoxState::power, 0, 1},
            {"id", &sim::BoxState::id, 0, 255},
            {"resolution", &sim::BoxState::resolution, 0, 28},
            {"osd_display", &sim::BoxState::osd_display, 0, 1},
            {"osd_timeout", &sim::BoxState::osd_timeout, 5, 50},
            {"osd_h", &sim::BoxState::osd_h, 0, 20},
            {"osd_v", &sim::BoxState::osd_v, 0, 20},
            {"osd_gain", &sim::BoxState::osd_gain, 0, 10},
            {"mute", &sim::BoxState::mute, 0, 1},
            {"ip_mode", &sim::BoxState::ip_mode, 0, 1},
        };
        for (const auto& [key, field, lo, hi] : plain) {
            out.push_back({key, lo, hi, [field = field](const sim::BoxState& s) { return s.*field; }});
        }
        const std::tuple<const char*, int sim::WallSettings::*, int, int> wall[] = {
            {"rows", &sim::WallSettings::rows, 1, 15},
            {"columns", &sim::WallSettings::columns, 1, 15},
            {"hot_key", &sim::WallSettings::hot_key, 0, static_cast<int>(wc::hot_key_layouts.size()) - 1},
            {"bezel_switch", &sim::WallSettings::bezel_switch, 0, 1},
            {"bezel_h", &sim::WallSettings::bezel_h, 0, 255},
            {"bezel_v", &sim::WallSettings::bezel_v, 0, 255},
        };
        // Slot 0 is the wall itself, slots 1 to 5 the favourites.
        for (int slot = 0; slot <= sim::favourite_slots; ++slot) {
            const std::string prefix = slot == 0 ? "" : "fav" + std::to_string(slot) + ".";
            for (const auto& [key, field, lo, hi] : wall) {
                out.push_back({prefix + key, lo, hi, [slot, field = field](const sim::BoxState& s) {
                                   return (slot == 0 ? s.wall
                                                     : s.favourites[static_cast<std::size_t>(slot - 1)]).*
                                          field;
                               }});
            }
        }
        const std::pair<const char*, std::array<int, sim::outputs> sim::BoxState::*> pictures[] = {
            {"brightness", &sim::BoxState::brightness},
            {"contrast", &sim::BoxState::contrast},
            {"saturation", &sim::BoxState::saturation},
            {"hue", &sim::BoxState::hue}};
        for (const auto& [key, field] : pictures) {
            for (std::size_t k = 0; k < sim::outputs; ++k) {
                out.push_back({std::string(key) + "." + std::to_string(k + 1), 0, 100,
                               [field = field, k](const sim::BoxState& s) { return (s.*field)[k]; }});
            }
        }
        return out;
    }();
    return table;
}

// The addresses as the box stores them: dotted, without leading zeros.
std::vector<std::pair<std::string, std::string>> texts_of(const sim::BoxState& s) {
    return {{"ip_address", s.ip_address}, {"net_mask", s.net_mask}, {"gateway", s.gateway}};
}

void check_state(const sim::Box& box, const sim::BoxState& factory) {
    const sim::BoxState& s = box.state();
    for (const Number& n : numbers()) {
        const int value = n.get(s);
        if (value < n.lo || value > n.hi) {
            fail(n.key + " is " + std::to_string(value));
        }
    }
    for (const auto& [key, text] : texts_of(s)) {
        if (wc::dotted_address(text) != text) {
            fail(key + " is \"" + text + "\"");
        }
    }
    expect(s.mac == factory.mac && s.firmware == factory.firmware, "the MAC or the firmware changed");
}

void check_replies(const std::vector<std::string>& replies) {
    expect(replies.size() <= 2, "more than two replies");
    for (const std::string& reply : replies) {
        const auto read = wc::ReplyReader().feed(reply);
        expect(read.size() == 1 && read.front().text() == reply, "a reply is not one whole reply");
    }
}

// parse_state of format_state gives back every line written, each value as the box holds it.
void check_state_file(const sim::Box& box) {
    const std::string text = sim::format_state(box);
    const auto values = sim::parse_state(text);
    expect(values.size() == static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
           "the state file has a line that does not read back as its own key");
    auto holds = [&values](const std::string& key, const std::string& value) {
        const auto it = values.find(key);
        if (it == values.end() || it->second != value) {
            fail("the state file does not read back " + key);
        }
    };
    const sim::BoxState& s = box.state();
    for (const Number& n : numbers()) {
        holds(n.key, std::to_string(n.get(s)));
    }
    for (const auto& [key, text_value] : texts_of(s)) {
        holds(key, text_value);
    }
    holds("mac", s.mac);
    holds("firmware", s.firmware);
    holds("last_command", box.last_command());
    for (const auto& [word, count] : box.received()) {
        holds("count." + word, std::to_string(count));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteProgram in(data, size);
    const std::uint8_t limit_byte = in.byte();
    const std::size_t limit = limit_byte == 0 ? wc::LineAssembler::default_limit : limit_byte;
    const std::string sizes = in.text(15);
    const std::string_view stream = in.rest();

    const std::vector<std::string> lines = frame(stream, limit);
    expect(assemble(stream, limit, sizes) == lines, "command lines depend on how the bytes were chunked");

    sim::Box box;
    const sim::BoxState factory = box.state();
    for (const std::string& line : lines) {
        current_line = line;
        check_split(line);
        const sim::BoxState before = box.state();
        const std::map<std::string, int, std::less<>> received = box.received();
        const std::vector<std::string> replies = box.handle_line(line);
        check_replies(replies);
        check_state(box, factory);
        if (box.received() == received) {
            expect(replies.empty() && box.state() == before,
                   "a line the box did not count changed something");
        }
    }
    current_line = {};
    check_state_file(box);
    // Whatever a state file holds, reading it never fails, and no key runs over a line end.
    for (const auto& [key, value] : sim::parse_state(stream)) {
        expect(key.find('\n') == std::string::npos && key.find('=') == std::string::npos &&
                   value.find('\n') == std::string::npos,
               "parse_state read a key or value across a line end");
    }
    return 0;
}
