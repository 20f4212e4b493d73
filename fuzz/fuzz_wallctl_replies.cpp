// fuzz_wallctl_replies: bytes as a box's connection delivers them to wallctl.
// Checks that every catalogue decoder takes a reply line only when its key is
// in place and gives a value the setting takes, which reads back through its
// script text, and that the traffic log line of the bytes is one printable
// line. (How chunks become lines, at any chunking and limit, fuzz_wallsim
// checks for both line ends.)
//
// Input: the stream.

#include "link/line_assembler.h"
#include "link/settings.h"
#include "link/traffic_log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

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
    const std::string_view stream(reinterpret_cast<const char*>(data), size);
    const std::string logged = wc::traffic_line({}, "127.0.0.1:23", wc::Traffic::received, stream);
    expect(std::all_of(logged.begin(), logged.end(), [](char c) { return c >= ' ' && c <= '~'; }),
           "a log line with a byte that is not printable", stream);
    wc::LineAssembler assembler(wc::LineEnd::crlf);
    for (const std::string& line : assembler.feed(stream)) {
        check_decoders(line);
    }
    return 0;
}
