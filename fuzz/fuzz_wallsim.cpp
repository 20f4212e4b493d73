// fuzz_wallsim: the simulated box fed by a connection. The command lines
// assembled from the bytes must not depend on how they were chunked; every
// reply the box gives must be one whole reply as the console reads it; a line
// the box did not count must change nothing; the state file must read back as
// written. After all the lines, every read line of the settings catalogue
// must get one reply that the catalogue decodes: whatever the lines did, each
// setting holds a value it takes.
//
// Input: a limit byte (0 for the default line limit), a count byte and that
// many chunk sizes (at most 15, used in turn; none: one chunk), then the
// bytes the connection delivers.

#include "byte_program.h"
#include "link/line_assembler.h"
#include "link/reply_reader.h"
#include "link/settings.h"
#include "link/traffic_log.h"
#include "sim/box.h"
#include "sim/state_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The line being checked, named in a failure.
std::string_view current_line;

void expect(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz_wallsim: %s (line \"%s\")\n", what,
                     wc::visible_bytes(current_line).c_str());
        std::abort();
    }
}

std::vector<std::string> assemble(std::string_view stream, std::size_t limit, std::string_view sizes) {
    wc::LineAssembler assembler(limit);
    std::vector<std::string> lines;
    for (std::size_t k = 0; !stream.empty(); ++k) {
        const std::size_t size =
            sizes.empty() ? stream.size() : 1 + static_cast<unsigned char>(sizes[k % sizes.size()]);
        for (std::string& line : assembler.feed(stream.substr(0, size))) {
            lines.push_back(std::move(line));
        }
        // Garbage without line ends never makes the box hold more than a line.
        expect(assembler.pending() <= limit + 1, "the assembler holds more than a line");
        stream.remove_prefix(std::min(size, stream.size()));
    }
    return lines;
}

wc::Reply whole(const std::string& reply) {
    const std::vector<wc::Reply> read = wc::ReplyReader().feed(reply);
    expect(read.size() == 1 && read.front().text() == reply, "a reply is not one whole reply");
    return read.front();
}

void check_state_file(const sim::Box& box) {
    const std::string text = sim::format_state(box);
    const auto values = sim::parse_state(text);
    std::size_t lines = 0;
    for (std::string_view rest = text; !rest.empty(); ++lines) {
        const std::string_view line = rest.substr(0, rest.find('\n'));
        const std::size_t equals = line.find('=');
        const auto read = values.find(line.substr(0, equals));
        expect(equals != std::string_view::npos && read != values.end() &&
                   read->second == line.substr(equals + 1),
               "a line of the state file does not read back");
        rest.remove_prefix(std::min(line.size() + 1, rest.size()));
    }
    expect(values.size() == lines, "two lines of the state file have one key");
}

void check_catalogue(const sim::Box& box) {
    for (const wc::Setting& row : wc::settings) {
        current_line = row.read;
        sim::Box asked = box;
        const std::vector<std::string> replies = asked.handle_line(row.read);
        expect(replies.size() == 1, "a read line of the catalogue does not get one reply");
        expect(wc::decode(row, whole(replies.front())).has_value(),
               "a setting holds a value it does not take");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteProgram in(data, size);
    const std::uint8_t limit_byte = in.byte();
    const std::size_t limit = limit_byte == 0 ? wc::LineAssembler::default_limit : limit_byte;
    const std::string sizes = in.text(15);
    const std::string_view stream = in.rest();
    const std::vector<std::string> lines = assemble(stream, limit, {});
    expect(assemble(stream, limit, sizes) == lines, "command lines depend on how the bytes were chunked");

    sim::Box box;
    for (const std::string& line : lines) {
        current_line = line;
        const sim::BoxState before = box.state();
        const auto counted = box.received();
        const std::vector<std::string> replies = box.handle_line(line);
        for (const std::string& reply : replies) {
            whole(reply);
        }
        if (box.received() == counted) {
            expect(replies.empty() && box.state() == before,
                   "a line the box did not count changed something");
        }
    }
    check_state_file(box);
    check_catalogue(box);
    return 0;
}
