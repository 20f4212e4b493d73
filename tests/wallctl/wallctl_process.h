#pragma once

// Runs the wallctl program as scripts do and keeps what it printed and its
// exit status. wallctl ends by its own time-outs; the test's own time-out is
// CTest's.

#include <filesystem>
#include <string>
#include <vector>

namespace wallctl::testing {

struct Ran {
    int status = -1; // the exit status; -1 when it did not exit
    std::string out;
    std::string err;
};

// `program` is wallctl unless given (a copy of it, say, beside a fake scanner).
Ran run_wallctl(const std::vector<std::string>& args, const std::string& input = {},
                const std::string& program = WALLCTL_PATH);

// A fresh directory, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

} // namespace wallctl::testing
