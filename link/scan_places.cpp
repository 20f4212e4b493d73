#include "link/scan_places.h"

#include "link/install_dirs.h"

namespace wc {

ScanPlaces scan_places(const std::filesystem::path& program_dir, const std::filesystem::path& user_dir) {
    std::error_code ignored; // an unreadable program folder holds no scanner either
    if (std::filesystem::exists(program_dir / scanner_file, ignored)) {
        return {program_dir, program_dir};
    }
    return {(program_dir / scanner_dir_from_programs).lexically_normal(), user_dir};
}

} // namespace wc
