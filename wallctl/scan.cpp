#include "wallctl/scan.h"

#include "link/settings.h"
#include "wallctl/text_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace wallctl {

namespace {

// A MAC written as six two-digit groups with separators; the rest of a line is not the MAC's.
constexpr std::size_t mac_length = 17;

std::filesystem::path own_directory() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

// Starts the scanner in its files folder; 0 or the error number.
int spawn_scanner(const wc::ScanPlaces& places, const std::string& path, pid_t& pid) {
    posix_spawn_file_actions_t actions;
    if (const int failed = posix_spawn_file_actions_init(&actions); failed != 0) {
        return failed;
    }
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
    int failed = posix_spawn_file_actions_addchdir_np(&actions, places.files_dir.c_str());
    if (failed == 0) {
        failed = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    }
    posix_spawn_file_actions_destroy(&actions);
    return failed;
}

} // namespace

std::filesystem::path user_data_dir(const char* xdg_data_home, const char* home) {
    const std::filesystem::path xdg = xdg_data_home != nullptr ? xdg_data_home : "";
    const std::filesystem::path base =
        xdg.is_absolute() ? xdg : std::filesystem::path(home != nullptr ? home : "") / ".local/share";
    return base / "wallconsole";
}

wc::ScanPlaces scan_places() {
    return wc::scan_places(own_directory(), user_data_dir(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
}

bool run_scanner(const wc::ScanPlaces& places, std::string& error) {
    const std::string path = (places.scanner_dir / wc::scanner_file).string();
    std::error_code made;
    std::filesystem::create_directories(places.files_dir, made);
    if (made) {
        error = "cannot make " + places.files_dir.string() + ": " + made.message();
        return false;
    }
    pid_t pid = 0;
    if (const int failed = spawn_scanner(places, path, pid); failed != 0) {
        error = "cannot run " + path + ": " + std::strerror(failed);
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = path + " failed";
        return false;
    }
    return true;
}

std::optional<std::vector<FoundBox>> parse_scan_texts(std::string_view mac_text, std::string_view ip_text,
                                                      std::string& error) {
    const auto macs = text_lines(mac_text);
    const auto addresses = text_lines(ip_text);
    if (macs.size() != addresses.size()) {
        error = "MAC.txt has " + std::to_string(macs.size()) + " lines, IP.txt " +
                std::to_string(addresses.size());
        return std::nullopt;
    }
    std::vector<FoundBox> boxes;
    for (std::size_t k = 0; k < macs.size(); ++k) {
        auto address = wc::dotted_address(addresses[k]);
        if (!address) {
            error = "IP.txt line " + std::to_string(k + 1) + " is no address";
            return std::nullopt;
        }
        boxes.push_back({std::string(macs[k].substr(0, mac_length)), std::move(*address)});
    }
    return boxes;
}

std::optional<std::vector<FoundBox>> read_scan_files(const std::filesystem::path& directory,
                                                     std::string& error) {
    const auto macs = read_text(directory / "MAC.txt", error);
    const auto addresses = macs ? read_text(directory / "IP.txt", error) : std::nullopt;
    if (!addresses) {
        return std::nullopt;
    }
    return parse_scan_texts(*macs, *addresses, error);
}

std::optional<std::string> known_mac(const std::filesystem::path& directory, std::string_view address) {
    std::string ignored;
    if (const auto boxes = read_scan_files(directory, ignored)) {
        for (const FoundBox& box : *boxes) {
            if (box.address == address) {
                return box.mac;
            }
        }
    }
    return std::nullopt;
}

} // namespace wallctl
