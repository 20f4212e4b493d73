#pragma once

// The companion scanner: KRAV_TILESCOPE.exe finds the boxes on the PC's
// networks and leaves MAC.txt (one MAC a line) and IP.txt (the matching
// address, octets with leading zeros: "192.168.001.020") in its working
// directory, line k of both for the same box. wallctl finds it and its files
// where the console does (link/scan_places.h), so that either program's last
// scan names the MAC in a snapshot.

#include "link/scan_places.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wallctl {

struct FoundBox {
    std::string mac;
    std::string address; // dotted, without leading zeros
    bool operator==(const FoundBox&) const = default;
};

// The per-user folder of the installed programs, as the console's
// (AppLocalDataLocation): $XDG_DATA_HOME/wallconsole, else
// $HOME/.local/share/wallconsole. A relative XDG_DATA_HOME is ignored, as the
// XDG base directory rules say. The arguments are the values of those two
// variables, or null.
std::filesystem::path user_data_dir(const char* xdg_data_home, const char* home);

// Where this wallctl finds the scanner and its files.
wc::ScanPlaces scan_places();

// Runs the scanner in the files folder, made if missing, and waits for it to
// end; false, with the reason in `error`, when it could not be run or failed.
bool run_scanner(const wc::ScanPlaces& places, std::string& error);

// The boxes in the texts of MAC.txt and IP.txt; nothing, with the reason in
// `error`, when the line counts differ or an IP.txt line is no address.
std::optional<std::vector<FoundBox>> parse_scan_texts(std::string_view mac_text, std::string_view ip_text,
                                                      std::string& error);

// The boxes in MAC.txt and IP.txt of `directory`.
std::optional<std::vector<FoundBox>> read_scan_files(const std::filesystem::path& directory,
                                                     std::string& error);

// The MAC that the last scan found at this address, if any.
std::optional<std::string> known_mac(const std::filesystem::path& directory, std::string_view address);

} // namespace wallctl
