// fuzz_wallctl_files: the files wallctl reads from users, a boxes file and a
// snapshot, of any content. Neither reader may throw or crash; a file either
// reads or says why. A boxes file that reads gives boxes whose text reads
// back as the same boxes; a snapshot that reads gives only settings that can
// be set, each value a value of its setting that reads back through its
// script text, and the snapshot wallctl would write of a box holding those
// values reads back as the same settings.
//
// Input: a byte that picks the reader, then the file's text.

#include "byte_program.h"
#include "wallctl/box_address.h"
#include "wallctl/snapshot.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void expect(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz_wallctl_files: %s\n", what);
        std::abort();
    }
}

void boxes_file(std::string_view text) {
    std::string error;
    const auto boxes = wallctl::parse_boxes_file(text, error);
    if (!boxes) {
        expect(error.starts_with("line "), "a bad boxes file does not name its line");
        return;
    }
    std::string again;
    for (const wallctl::BoxAddress& box : *boxes) {
        expect(wallctl::parse_box_address(box.text()) == box, "a box's text reads back as another box");
        again += box.text() + "\n";
    }
    expect(wallctl::parse_boxes_file(again, error) == boxes, "the boxes written out read back otherwise");
}

void snapshot(std::string_view text) {
    std::string error;
    const auto assignments = wallctl::parse_snapshot(text, error);
    if (!assignments) {
        expect(!error.empty(), "a bad snapshot does not say why");
        return;
    }
    wallctl::BoxResult box;
    box.box = {"10.0.0.5", 23};
    for (const wallctl::Assignment& a : *assignments) {
        expect(!a.row->set.empty(), "a snapshot gave a read-only setting");
        expect(wc::parse_value(*a.row, wc::value_text(*a.row, a.value)) == a.value,
               "a value does not read back through its text");
        box.settings.push_back({a.row, a.value});
    }
    const auto again = wallctl::parse_snapshot(wallctl::snapshot_text(box, std::nullopt), error);
    expect(again && again->size() == assignments->size(), "the snapshot written reads back otherwise");
    for (std::size_t k = 0; k < again->size(); ++k) {
        expect((*again)[k].row == (*assignments)[k].row && (*again)[k].value == (*assignments)[k].value,
               "the snapshot written reads back with other settings");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteProgram in(data, size);
    if (in.below(2) == 0) {
        boxes_file(in.rest());
    } else {
        snapshot(in.rest());
    }
    return 0;
}
