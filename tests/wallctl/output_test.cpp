#include "wallctl/output.h"
#include "wallctl/snapshot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace wallctl {
namespace {

const wc::Setting* row(std::string_view name) {
    return wc::find_setting(name);
}

BoxResult answered(std::string address, int brightness, std::string ip) {
    BoxResult r;
    r.box = {std::move(address), 23};
    r.settings = {{row("power"), 1}, {row("brightness.a"), brightness}, {row("ip"), std::move(ip)}};
    return r;
}

BoxResult failed(std::string address) {
    BoxResult r;
    r.box = {std::move(address), 2323};
    r.ok = false;
    r.error = "cannot connect: Connection refused";
    return r;
}

TEST(Output, TheTableHasABlockPerBoxWithItsVerdictOnItsFirstLine) {
    BoxResult relinked = answered("10.0.0.10", 70, "10.0.0.5");
    relinked.note = "re-linked";
    EXPECT_EQ(results_table({relinked, failed("10.0.0.9")}),
              "10.0.0.10:23   ok (re-linked)\n"
              "  power         on\n"
              "  brightness.a  70\n"
              "  ip            10.0.0.5\n"
              "10.0.0.9:2323  failed: cannot connect: Connection refused\n");
}

TEST(Output, JsonHasNumbersAsNumbersAndNamesAsStrings) {
    EXPECT_EQ(
        nlohmann::json::parse(results_json({answered("10.0.0.10", 70, "10.0.0.5"), failed("10.0.0.9")})),
        nlohmann::json::parse(R"([
        {"box": "10.0.0.10:23", "ok": true, "settings": {"power": "on", "brightness.a": 70, "ip": "10.0.0.5"},
         "error": ""},
        {"box": "10.0.0.9:2323", "ok": false, "settings": {}, "error": "cannot connect: Connection refused"}])"));
}

TEST(Output, DiffShowsOnlyTheSettingsOnWhichTheBoxesDifferAndThenTheFailedBoxes) {
    const std::vector<BoxResult> wall{answered("10.0.0.1", 50, "10.0.0.1"),
                                      answered("10.0.0.2", 50, "10.0.0.2"),
                                      answered("10.0.0.3", 50, "10.0.0.1"), failed("10.0.0.4")};
    EXPECT_EQ(diff_table(wall), "setting  10.0.0.1:23  10.0.0.2:23  10.0.0.3:23\n"
                                "ip       10.0.0.1     10.0.0.2     10.0.0.1\n"
                                "10.0.0.4:2323  failed: cannot connect: Connection refused\n");
    EXPECT_EQ(nlohmann::json::parse(diff_json(wall))[1]["settings"], nlohmann::json({{"ip", "10.0.0.2"}}));
    EXPECT_EQ(diff_table({wall[0], wall[0]}), "") << "boxes that agree";
}

TEST(Snapshot, ASnapshotReadsBackAsItsSettingsAndABadOneSaysWhy) {
    BoxResult box = answered("10.0.0.1", 70, "10.0.0.5");
    box.settings.push_back({row("firmware"), std::string("1.15")});
    box.settings.push_back({row("resolution"), 28});
    std::string error;
    const auto read = parse_snapshot(snapshot_text(box, "02:57:41:4C:4C:01"), error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->size(), 4u) << "the firmware is the box's identity, not a setting";
    for (std::size_t k = 0; k < read->size(); ++k) {
        EXPECT_EQ((*read)[k].row, box.settings[k < 3 ? k : 4].row);
        EXPECT_EQ((*read)[k].value, box.settings[k < 3 ? k : 4].value);
    }
    struct Case {
        const char* text;
        const char* error;
    };
    for (const Case c :
         {Case{"", "not a JSON object"}, Case{"[1]", "not a JSON object"},
          Case{R"({"format":"other","version":1,"settings":{}})", "not a snapshot of format version 1"},
          Case{R"({"format":"wallctl-snapshot","version":1})", "no \"settings\" object"},
          Case{R"({"format":"wallctl-snapshot","version":1,"settings":{"firmware":"1.15"}})",
               "\"firmware\" is no setting that can be set"},
          Case{R"({"format":"wallctl-snapshot","version":1,"settings":{"power":1}})",
               "\"power\": 1 is no value of it"},
          Case{R"({"format":"wallctl-snapshot","version":1,"settings":{"id":-1}})",
               "\"id\": -1 is no value of it"}}) {
        EXPECT_FALSE(parse_snapshot(c.text, error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
}

TEST(Scan, TheScannersFilesGiveMacAndAddressLineByLine) {
    std::string error;
    EXPECT_EQ(
        parse_scan_texts("02:57:41:4C:4C:01 extra\r\n02:57:41:4C:4C:02\r\n",
                         "192.168.001.020\r\n010.000.000.007\r\n", error),
        (std::vector<FoundBox>{{"02:57:41:4C:4C:01", "192.168.1.20"}, {"02:57:41:4C:4C:02", "10.0.0.7"}}));
    EXPECT_FALSE(parse_scan_texts("02:57:41:4C:4C:01\r\n", "", error));
    EXPECT_EQ(error, "MAC.txt has 1 lines, IP.txt 0");
    EXPECT_FALSE(parse_scan_texts("02:57:41:4C:4C:01\r\n", "192.168.1\r\n", error));
    EXPECT_EQ(error, "IP.txt line 1 is no address");
}

// As Qt's AppLocalDataLocation, so that installed wallctl and the console share the last scan.
TEST(Scan, TheUsersFolderIsInXdgDataHomeWhenThatIsAbsoluteElseInTheHomeFolder) {
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"/data/op", "/home/op", "/data/op/wallconsole"},
        {"data", "/home/op", "/home/op/.local/share/wallconsole"},
        {"", "/home/op", "/home/op/.local/share/wallconsole"},
        {nullptr, "/home/op", "/home/op/.local/share/wallconsole"},
    };
    for (const auto& [xdg, home, folder] : cases) {
        EXPECT_EQ(user_data_dir(xdg, home).string(), folder) << (xdg != nullptr ? xdg : "(unset)");
    }
}

} // namespace
} // namespace wallctl
