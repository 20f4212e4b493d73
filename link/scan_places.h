#pragma once

// Where a program finds the companion scanner and where the scanner's files,
// MAC.txt and IP.txt, go. In the build folder the programs sit beside the
// scanner, which writes its files there too. Installed, the scanner is a
// helper in the libexec folder and the programs' folder belongs to root, so
// the files go to a per-user folder instead. The scanner writes into its
// working directory, so a program starts it in the files folder.

#include <filesystem>
#include <string_view>

namespace wc {

// The scanner's file name, as the console and wallctl start it.
inline constexpr std::string_view scanner_file = "KRAV_TILESCOPE.exe";

struct ScanPlaces {
    std::filesystem::path scanner_dir; // the scanner is started from here
    std::filesystem::path files_dir;   // MAC.txt and IP.txt are written and read here
};

// program_dir: the running program's folder; user_dir: the per-user folder
// that the installed programs keep the files in. The scanner beside the
// program makes the build folder's layout; otherwise it is the installed one.
ScanPlaces scan_places(const std::filesystem::path& program_dir, const std::filesystem::path& user_dir);

} // namespace wc
