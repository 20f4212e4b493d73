// fuzz_wallctl_replies: bytes as a box's connection delivers them to wallctl,
// in chunks of any size, against a line limit of any size. Checks that the
// reply lines assembled are those of the whole stream whatever the chunking,
// that every catalogue decoder takes a line only when its key is in place and
// gives a value the setting takes, which reads back through its script text,
// and that a traffic log line of any chunk is one printable line.
//
// Input: a limit byte (0 for the default limit), a count byte and that many
// chunk sizes (at most 15, used in turn; none: one chunk), then the stream.

#include "byte_program.h"
#include "link/line_assembler.h"
#include "link/settings.h"
#include "link/traffic_log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, std::string_view line) {
    std::fprintf(stderr, "fuzz_wallctl_replies: %s (\"%s\")\n", what, wc::visible_bytes(line).c_str());
    std::abort();
}

void expect(bool holds, const char* what, std::string_view line) {
    if (!holds) {
        fail(what, line);
    }
}

// The lines of the whole stream, written the plain way: a line ends at "\r\n"
// and is dropped when it is longer than the limit.
std::vector<std::string> frame(std::string_view stream, std::size_t limit) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = stream.find("\r\n", start)) != std::string_view::npos; start = end + 2) {
        if (end - start <= limit) {
            lines.emplace_back(stream.substr(start, end - start));
        }
    }
    return lines;
}

bool in_range(const wc::Setting& row, const wc::Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return row.layout == wc::ReplyLayout::firmware ? text->size() == 4 && (*text)[1] == '.'
                                                       : wc::dotted_address(*text) == *text;
    }
    const int number = std::get<int>(value);
    return row.layout != wc::ReplyLayout::address && row.layout != wc::ReplyLayout::firmware &&
           number >= row.lo && number <= row.hi;
}

void check_decoders(const std::string& line) {
    for (const wc::Setting& row : wc::settings) {
        const auto value = wc::decode(row, line);
        if (!value) {
            continue;
        }
        expect(wc::answers(row, line), "a value from a line without the key in place", line);
        expect(in_range(row, *value), "a value the setting does not take", line);
        if (!row.set.empty()) {
            expect(wc::parse_value(row, wc::value_text(row, *value)) == value, "a value does not read back",
                   line);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteProgram program(data, size);
    const std::uint8_t limit_byte = program.byte();
    const std::size_t limit = limit_byte == 0 ? wc::LineAssembler::default_limit : limit_byte;
    const std::string sizes = program.text(15);
    const std::string_view stream = program.rest();

    wc::LineAssembler assembler(wc::LineEnd::crlf, limit);
    std::vector<std::string> lines;
    std::string_view rest = stream;
    for (std::size_t k = 0; !rest.empty(); ++k) {
        const std::size_t chunk =
            sizes.empty() ? rest.size() : 1 + static_cast<unsigned char>(sizes[k % sizes.size()]);
        const std::string_view bytes = rest.substr(0, chunk);
        const std::string logged = wc::traffic_line({}, "127.0.0.1:23", wc::Traffic::received, bytes);
        expect(std::all_of(logged.begin(), logged.end(), [](char c) { return c >= ' ' && c <= '~'; }),
               "a log line with a byte that is not printable", bytes);
        for (std::string& line : assembler.feed(bytes)) {
            lines.push_back(std::move(line));
        }
        rest.remove_prefix(bytes.size());
        expect(assembler.pending() <= limit + 1, "more held than the limit", bytes);
    }
    expect(lines == frame(stream, limit), "the lines depend on the chunking", stream.substr(0, 64));
    for (const std::string& line : lines) {
        check_decoders(line);
    }
    return 0;
}
