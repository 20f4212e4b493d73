#include "link/traffic_log.h"

#include <gtest/gtest.h>

namespace wc {
namespace {

TEST(TrafficLog, OneLinePerEventWithControlCharactersShownAsEscapes) {
    using namespace std::chrono;
    const milliseconds at = hours(9) + minutes(4) + seconds(31) + milliseconds(5);
    EXPECT_EQ(traffic_line(at, "10.0.0.5:23", Traffic::sent, "SPOW 1\r\n"),
              "09:04:31.005 10.0.0.5:23 > SPOW 1\\r\\n");
    EXPECT_EQ(traffic_line(at, "10.0.0.5:23", Traffic::received, std::string("A\0\t\xff\\", 5)),
              "09:04:31.005 10.0.0.5:23 < A\\x00\\t\\xFF\\\\");
}

} // namespace
} // namespace wc
