#include "output_lines.h"

#include <gtest/gtest.h>

namespace scanner {
namespace {

struct LineCase {
    FoundBox box;
    const char* mac_line;
    const char* ip_line;
};

TEST(OutputLines, FixedWidthGroupsThatTheConsoleReadsByPosition) {
    const LineCase cases[] = {
        {{0xC0A80114, {0x02, 0x57, 0x43, 0x00, 0x00, 0x01}}, "02:57:43:00:00:01", "192.168.001.020"},
        {{0x0A000007, {0xAB, 0xCD, 0xEF, 0x0A, 0x1B, 0xFF}}, "AB:CD:EF:0A:1B:FF", "010.000.000.007"},
        {{0x00000000, {}}, "00:00:00:00:00:00", "000.000.000.000"},
        {{0xFFFFFFFE, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}, "FF:FF:FF:FF:FF:FF", "255.255.255.254"},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(format_mac(c.box.mac), c.mac_line);
        EXPECT_EQ(format_ip(c.box.address), c.ip_line);
    }
}

TEST(OutputLines, FilesHoldOneCrLfLinePerBoxInTheSameOrder) {
    const std::vector<FoundBox> boxes = {
        {0xC0A80116, {0x02, 0x57, 0x43, 0x00, 0x00, 0x03}},
        {0xC0A80114, {}},
    };
    EXPECT_EQ(output_texts(boxes), (OutputTexts{"02:57:43:00:00:03\r\n00:00:00:00:00:00\r\n",
                                                "192.168.001.022\r\n192.168.001.020\r\n"}));
    EXPECT_EQ(output_texts({}), (OutputTexts{"", ""}));
}

} // namespace
} // namespace scanner
