#include "output_files.h"
#include "temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <system_error>

namespace scanner {
namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(OutputFiles, ReplacesTheWholeFileAndLeavesNoTemporaryBehind) {
    const TempDir dir;
    const auto file = dir.path() / "MAC.txt";
    write_file_atomically(file, "02:57:43:00:00:01\r\n02:57:43:00:00:02\r\n");
    write_file_atomically(file, "02:57:43:00:00:03\r\n");
    EXPECT_EQ(contents(file), "02:57:43:00:00:03\r\n");
    write_file_atomically(file, "");
    EXPECT_EQ(contents(file), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(OutputFiles, AnUnwritableDirectoryIsReported) {
    const TempDir dir;
    EXPECT_THROW(write_file_atomically(dir.path() / "missing" / "IP.txt", "x"), std::system_error);
}

} // namespace
} // namespace scanner
