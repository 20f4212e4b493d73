#include "scan_port.h"

#include <gtest/gtest.h>

namespace scanner {
namespace {

struct PortCase {
    const char* value;
    std::uint16_t expected;
};

TEST(ScanPort, OnlyAValidNumberOverridesTheBoxPort) {
    const PortCase cases[] = {
        {nullptr, 23}, {"2323", 2323}, {"1", 1},   {"65535", 65535}, {"", 23},
        {"0", 23},     {"65536", 23},  {"-1", 23}, {"23x", 23},      {" 80", 23},
    };
    for (const PortCase& c : cases) {
        EXPECT_EQ(scan_port(c.value), c.expected) << (c.value == nullptr ? "(unset)" : c.value);
    }
}

} // namespace
} // namespace scanner
