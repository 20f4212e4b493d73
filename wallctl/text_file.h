#pragma once

// Files and the standard streams as whole texts: the boxes file and snapshots
// (either may be "-", standard input), the scanner's MAC.txt and IP.txt, a
// snapshot written with -o, and everything wallctl prints. Every failure says
// which file and the system's reason.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wallctl {

// The file's bytes, standard input's for "-"; nothing, with "cannot read FILE:
// REASON" in `error`, when it cannot be opened or read (a directory included).
std::optional<std::string> read_text(const std::filesystem::path& path, std::string& error);

// A file that is written whole or not at all: a temporary file beside it
// takes the text and a rename puts it in place. Opening makes the temporary
// file, so that a target that cannot be written shows before anything else is done.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile(); // removes the temporary file unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // False, with "cannot write FILE: REASON" in `error`, when the target cannot be written.
    bool open(const std::filesystem::path& path, std::string& error);
    bool commit(std::string_view text, std::string& error);

private:
    std::filesystem::path m_path;
    std::string m_temporary;
    int m_fd = -1;
};

// Writes the text to standard output whole. 0 when it could; otherwise the
// exit status to end with: after "wallctl: write error: REASON" on standard
// error, 1; for a reader that has gone (a closed pipe, as `head` leaves it),
// quietly, 141, the status of a program that SIGPIPE ended.
int write_stdout(std::string_view text);

// The lines of a text, without their "\n" or "\r\n"; no empty last line for a final line end.
std::vector<std::string_view> text_lines(std::string_view text);

} // namespace wallctl
