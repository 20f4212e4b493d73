#include "wallctl/scan.h"

#include "link/settings.h"
#include "wallctl/text_file.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace wallctl {

namespace {

constexpr std::string_view scanner_name = "KRAV_TILESCOPE.exe";
// A MAC written as six two-digit groups with separators; the rest of a line is not the MAC's.
constexpr std::size_t mac_length = 17;

} // namespace

std::filesystem::path own_directory() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

bool run_scanner(const std::filesystem::path& directory, std::string& error) {
    const std::string path = (directory / scanner_name).string();
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    if (const int failed = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ); failed != 0) {
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
    const auto macs = read_text(directory / "MAC.txt");
    const auto addresses = read_text(directory / "IP.txt");
    if (!macs || !addresses) {
        error = "cannot read " + (directory / (macs ? "IP.txt" : "MAC.txt")).string();
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
