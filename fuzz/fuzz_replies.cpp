// fuzz_replies: a box's bytes as the console and wallctl read them.
//
// The input is first read as a program that writes what a box says: replies
// of every layout, each with its own line end (or none) and prompt, with
// noise, greetings and echoes of the console's lines between them, cut into
// chunks of any size. Every reply written comes out of the reader, in order,
// once, and nothing else; between chunks the reader never holds more than one
// reply's bytes.
//
// Then the input is read as the raw bytes of a box, in chunks: every reply the
// reader hands on is one whole reply (read again on its own it is the same),
// every value a decoder takes from it comes from its own setting's reply and,
// where scripts set that setting, reads back through its script text; and the
// traffic log line of the bytes is one printable line.

#include "byte_program.h"
#include "link/actions.h"
#include "link/reply_reader.h"
#include "link/settings.h"
#include "link/traffic_log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, std::string_view bytes) {
    std::fprintf(stderr, "fuzz_replies: %s (\"%s\")\n", what, wc::visible_bytes(bytes).c_str());
    std::abort();
}

void expect(bool holds, const char* what, std::string_view bytes) {
    if (!holds) {
        fail(what, bytes);
    }
}

// One reply of any layout, as the box writes it.
std::string reply(fuzz::ByteProgram& in) {
    const wc::ReplyFormat& format =
        wc::reply_formats[static_cast<std::size_t>(in.below(static_cast<int>(wc::reply_formats.size())))];
    const int value = in.byte() * 4 + in.below(4); // 0 to 1023: past 999 too
    switch (format.layout) {
    case wc::ReplyLayout::ack:
        break;
    case wc::ReplyLayout::keyed:
    case wc::ReplyLayout::firmware:
        return wc::keyed_reply(format.key, value);
    case wc::ReplyLayout::picture:
        return wc::picture_reply(1 + in.below(wc::picture_outputs), format.key, value);
    case wc::ReplyLayout::address: {
        std::array<wc::Octets, 3> addresses{};
        for (wc::Octets& octets : addresses) {
            for (int& octet : octets) {
                octet = in.byte();
            }
        }
        return wc::address_reply(addresses);
    }
    }
    return std::string(format.key);
}

// Text that is no reply: no capital letter, so it cannot hold a key.
std::string noise(fuzz::ByteProgram& in) {
    std::string text = in.text(40);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; }, '?');
    return text;
}

// A line the console sends, echoed as it went out.
std::string echo(fuzz::ByteProgram& in) {
    if (in.below(2) == 0) {
        const wc::Setting& row = wc::settings[static_cast<std::size_t>(in.below(wc::settings.size()))];
        return std::string(row.read) + "\r\n";
    }
    const wc::Action& action = wc::actions[static_cast<std::size_t>(in.below(wc::actions.size()))];
    std::vector<int> numbers(static_cast<std::size_t>(action.numbers), action.hi);
    return wc::action_text(action, numbers) + "\r\n";
}

constexpr std::string_view line_ends[] = {"", "\r", "\n", "\r\n"};
constexpr std::string_view prompts[] = {"", "> ", "# ", "box> "};

std::vector<wc::Reply> read_in_chunks(std::string_view stream, std::string_view sizes) {
    wc::ReplyReader reader;
    std::vector<wc::Reply> replies;
    for (std::size_t k = 0; !stream.empty(); ++k) {
        const std::size_t size =
            sizes.empty() ? stream.size() : 1 + static_cast<unsigned char>(sizes[k % sizes.size()]) % 64;
        for (wc::Reply& r : reader.feed(stream.substr(0, size))) {
            replies.push_back(std::move(r));
        }
        expect(reader.held() <= wc::ReplyReader::most_held, "the reader holds more than one reply", stream);
        stream.remove_prefix(std::min(size, stream.size()));
    }
    return replies;
}

void check_talk(fuzz::ByteProgram& in) {
    const std::string sizes = in.text(15);
    std::string stream = noise(in);
    std::vector<std::string> written;
    for (int pieces = in.below(32); pieces > 0; --pieces) {
        switch (in.below(4)) {
        case 0:
            stream += noise(in);
            break;
        case 1:
            stream += echo(in);
            break;
        default:
            written.push_back(reply(in));
            stream += written.back();
            stream += line_ends[in.below(4)];
            stream += prompts[in.below(4)];
            break;
        }
    }
    std::vector<std::string> read;
    for (const wc::Reply& r : read_in_chunks(stream, sizes)) {
        read.push_back(r.text());
    }
    expect(read == written, "the replies read are not the replies written", stream);
}

void check_reply(const wc::Reply& r) {
    const auto again = wc::ReplyReader().feed(r.text());
    expect(again.size() == 1 && again.front() == r, "a reply that is not one whole reply", r.text());
    for (const wc::Setting& row : wc::settings) {
        const auto value = wc::decode(row, r);
        if (!value) {
            continue;
        }
        expect(wc::answers(row, r), "a value from another setting's reply", r.text());
        if (!row.set.empty()) {
            expect(wc::parse_value(row, wc::value_text(row, *value)) == value, "a value does not read back",
                   r.text());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteProgram program(data, size);
    check_talk(program);

    fuzz::ByteProgram raw(data, size);
    const std::string sizes = raw.text(15);
    const std::string_view stream = raw.rest();
    const std::string logged = wc::traffic_line({}, "127.0.0.1:23", wc::Traffic::received, stream);
    expect(std::all_of(logged.begin(), logged.end(), [](char c) { return c >= ' ' && c <= '~'; }),
           "a log line with a byte that is not printable", stream);
    for (const wc::Reply& r : read_in_chunks(stream, sizes)) {
        check_reply(r);
    }
    return 0;
}
