#pragma once

// A fuzz input read as a program: bytes are taken from the front one at a
// time, and a used-up input reads as zeros, so that every input, however
// short, decodes to some complete program.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

class ByteProgram {
public:
    ByteProgram(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size) {}

    bool done() const { return m_rest.empty(); }
    std::uint8_t byte();
    // 0 to n - 1 (n from 1 to 256).
    int below(int n);
    // A length byte (at most `longest`), then that many bytes.
    std::string text(std::size_t longest);
    // Everything not read yet; the program is used up afterwards.
    std::string_view rest();

private:
    std::string_view m_rest;
};

} // namespace fuzz
