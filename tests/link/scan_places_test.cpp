// Where the console and wallctl find the scanner and its files: the build
// folder's layout, where this test's own build put the scanner beside the
// programs, and the installed one.

#include "link/scan_places.h"

#include <gtest/gtest.h>

namespace wc {
namespace {

TEST(ScanPlaces, InTheBuildFolderTheScannerAndItsFilesAreBesideTheProgram) {
    const ScanPlaces places = scan_places(WALL_BUILD_BIN_DIR, "/home/op/.local/share/wallconsole");
    EXPECT_EQ(places.scanner_dir.string(), WALL_BUILD_BIN_DIR);
    EXPECT_EQ(places.files_dir.string(), WALL_BUILD_BIN_DIR);
}

TEST(ScanPlaces, InstalledTheScannerIsInLibexecAndItsFilesInTheUsersFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin", "/usr/libexec/wallconsole"},
        {"/opt/wall/bin/", "/opt/wall/libexec/wallconsole"},
    };
    for (const auto& [bin, scanner_dir] : cases) {
        const ScanPlaces places = scan_places(bin, "/home/op/.local/share/wallconsole");
        EXPECT_EQ(places.scanner_dir.string(), scanner_dir);
        EXPECT_EQ(places.files_dir.string(), "/home/op/.local/share/wallconsole") << bin;
    }
}

} // namespace
} // namespace wc
