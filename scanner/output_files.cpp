#include "output_files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <system_error>
#include <unistd.h>

namespace scanner {
namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

void write_file_atomically(const std::filesystem::path& target, std::string_view content) {
    const std::filesystem::path temporary = target.string() + ".part";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        fail("open " + temporary.string());
    }
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t chunk = ::write(fd, content.data() + written, content.size() - written);
        if (chunk < 0 && errno == EINTR) {
            continue;
        }
        if (chunk < 0) {
            const int saved = errno;
            ::close(fd);
            errno = saved;
            fail("write " + temporary.string());
        }
        written += static_cast<std::size_t>(chunk);
    }
    if (::close(fd) != 0) {
        fail("close " + temporary.string());
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        fail("rename " + temporary.string());
    }
}

} // namespace scanner
