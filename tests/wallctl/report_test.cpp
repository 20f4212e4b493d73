// The as-built report of a wall with one differing setting and one dead box,
// as a browser reads it: headless Chromium renders the page to a PNG and to
// its DOM; the CSV is the same table.

#include "link/settings.h"
#include "wallctl/text_file.h"
#include "wallsim.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>

namespace wallctl {
namespace {

using Lines = std::vector<std::string>;

struct Cell {
    std::string text;
    bool marked = false;
    bool operator==(const Cell&) const = default;
};
using Table = std::vector<std::vector<Cell>>;

// The cells of the page's table as Chromium serialised them, row by row.
Table table_of(const std::string& dom) {
    static const std::regex row("<tr>(.*?)</tr>"), cell("<t[dh]([^>]*)>(.*?)</t[dh]>");
    static const std::pair<std::regex, std::string> entities[] = {
        {std::regex("&lt;"), "<"}, {std::regex("&gt;"), ">"}, {std::regex("&amp;"), "&"}};
    Table table;
    for (std::sregex_iterator r(dom.begin(), dom.end(), row), end; r != end; ++r) {
        const std::string cells = (*r)[1];
        std::vector<Cell>& line = table.emplace_back();
        for (std::sregex_iterator c(cells.begin(), cells.end(), cell); c != end; ++c) {
            std::string text = (*c)[2];
            for (const auto& [entity, character] : entities) {
                text = std::regex_replace(text, entity, character);
            }
            line.push_back({text, std::string((*c)[1]).find("differs") != std::string::npos});
        }
    }
    return table;
}

// RFC 4180, as a spreadsheet reads it.
Table csv_table(const std::string& text) {
    Table table;
    std::vector<Cell> row(1);
    bool quoted = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (quoted && text.compare(k, 2, "\"\"") == 0) {
            row.back().text += text[k++];
        } else if (text[k] == '"') {
            quoted = !quoted;
        } else if (!quoted && text[k] == ',') {
            row.emplace_back();
        } else if (!quoted && text.compare(k, 2, "\r\n") == 0) {
            table.push_back(std::exchange(row, std::vector<Cell>(1)));
            ++k;
        } else {
            row.back().text += text[k];
        }
    }
    return table;
}

wc::test::Ran wallctl(Lines args) {
    args.insert(args.begin(), WALLCTL_PATH);
    return wc::test::run(args);
}

wc::test::Ran chromium(const wc::test::TempDir& dir, const std::string& page, const std::string& output) {
    return wc::test::run({"chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                          "--no-first-run", "--disable-sync", "--disable-background-networking",
                          "--disable-component-update", "--user-data-dir=" + (dir / "chromium").string(),
                          "--window-size=1000,1100", output, "file://" + page});
}

TEST(Report, MarksExactlyTheDifferingValueShowsTheDeadBoxsReasonAndItsCsvIsTheSameTable) {
    wc::test::TempDir dir;
    sim::testing::WallsimProcess wallsim(
        {"127.0.0.1:0", "127.0.0.1:0", "127.0.0.1:0", "--refuse", "127.0.0.1:0"}, 4);
    ASSERT_EQ(wallsim.boxes().size(), 4u);
    std::string listed;
    for (int k = 0; k < 4; ++k) {
        const std::string box = wallsim.boxes()[k].address + ":" + std::to_string(wallsim.boxes()[k].port);
        listed += box + "\n";
        // IDs and addresses, each box's own, differ and are not marked.
        const std::string n = std::to_string(k + 1);
        Lines set{"-b", box, "set", "id=" + n, "ip=10.0.0." + n};
        if (k == 2) {
            set.push_back("brightness.b=70");
        }
        ASSERT_EQ(wallctl(set).status, k == 3 ? 2 : 0);
    }
    const std::string boxes = dir / "wall <&'\">.txt"; // its name is printed, and escaped
    std::ofstream(boxes) << listed;
    const std::string page = dir / "wall.html";
    EXPECT_EQ(wallctl({"--boxes", boxes, "report", "-o", page}).status, 2);
    const wc::test::Ran csv = wallctl({"--boxes", boxes, "report", "--format", "csv"});
    EXPECT_EQ(csv.status, 2);

    const wc::test::Ran png = chromium(dir, page, "--screenshot=" + (dir / "wall.png").string());
    ASSERT_EQ(png.status, 0) << "is chromium installed (scripts/setup)? " << png.err;
    std::string error;
    EXPECT_EQ(read_text(dir / "wall.png", error).value_or("").substr(0, 8), "\x89PNG\r\n\x1a\n");
    const wc::test::Ran dom = chromium(dir, page, "--dump-dom");
    ASSERT_EQ(dom.status, 0) << dom.err;
    EXPECT_NE(dom.out.find("wall &lt;&amp;'\"&gt;.txt by wallctl"), std::string::npos) << dom.out;

    const Table table = table_of(dom.out);
    ASSERT_EQ(table.size(), 3 + wc::settings.size()); // address, MAC, result, then the settings
    std::vector<std::pair<std::string, std::string>> marked;
    for (const auto& row : table) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            if (row[k].marked) {
                marked.emplace_back(row[0].text, table[0][k].text);
            }
        }
    }
    EXPECT_EQ(marked, (decltype(marked){{"brightness.b", table[0][4].text}}));
    EXPECT_EQ(table[0][4].text, wallsim.boxes()[2].address + ":" + std::to_string(wallsim.boxes()[2].port));
    EXPECT_EQ(table[2].back().text, "failed: cannot connect: Connection refused");

    Table unmarked = table;
    for (auto& row : unmarked) {
        for (Cell& cell : row) {
            cell.marked = false;
        }
    }
    EXPECT_EQ(csv_table(csv.out), unmarked);
}

} // namespace
} // namespace wallctl
