#include "wallctl/text_file.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wallctl {

namespace {

constexpr int closed_pipe_status = 128 + 13; // SIGPIPE

// Writes all of the text; false, with errno set, when the descriptor takes no more.
bool write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string failure(std::string_view what, const std::filesystem::path& path, int error) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(error);
}

} // namespace

std::optional<std::string> read_text(const std::filesystem::path& path, std::string& error) {
    const bool standard_input = path == "-";
    const int fd = standard_input ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::string text;
    int reason = fd < 0 ? errno : 0;
    struct stat status {};
    if (reason == 0 && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        reason = EISDIR;
    }
    std::array<char, 65536> buffer{};
    for (ssize_t size = 1; reason == 0 && size != 0;) {
        size = ::read(fd, buffer.data(), buffer.size());
        if (size > 0) {
            text.append(buffer.data(), static_cast<std::size_t>(size));
        } else if (size < 0 && errno != EINTR) {
            reason = errno;
        }
    }
    if (fd >= 0 && !standard_input) {
        ::close(fd);
    }
    if (reason != 0) {
        error = failure("cannot read", standard_input ? "standard input" : path, reason);
        return std::nullopt;
    }
    return text;
}

PendingFile::~PendingFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(m_temporary.c_str());
    }
}

bool PendingFile::open(const std::filesystem::path& path, std::string& error) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        error = failure("cannot write", path, EISDIR);
        return false;
    }
    m_path = path;
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    std::string name = path.filename().string();
    name.insert(0, 1, '.');
    name.append(".XXXXXX");
    m_temporary = (folder / name).string();
    m_fd = ::mkstemp(m_temporary.data());
    if (m_fd < 0) {
        error = failure("cannot write", path, errno);
        return false;
    }
    // As the file would have been made by opening it: mkstemp leaves it to its owner alone.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(m_fd, 0666 & ~mask);
    return true;
}

bool PendingFile::commit(std::string_view text, std::string& error) {
    if (!write_all(m_fd, text) || ::fsync(m_fd) != 0 || ::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        error = failure("cannot write", m_path, errno);
        return false;
    }
    ::close(m_fd);
    m_fd = -1;
    return true;
}

int write_stdout(std::string_view text) {
    if (write_all(STDOUT_FILENO, text)) {
        return 0;
    }
    if (errno == EPIPE) {
        return closed_pipe_status;
    }
    const std::string message = std::string("wallctl: write error: ") + std::strerror(errno) + "\n";
    write_all(STDERR_FILENO, message);
    return 1;
}

std::vector<std::string_view> text_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text.remove_prefix(std::min(text.size(), end + 1));
    }
    return lines;
}

} // namespace wallctl
