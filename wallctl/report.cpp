#include "wallctl/report.h"

#include "link/traffic_log.h"
#include "link/version.h"
#include "wallctl/majority.h"
#include "wallctl/output.h"

#include <algorithm>

namespace wallctl {

namespace {

// Few enough columns of boxes for a table to fit A4 landscape; a larger wall
// gets one table for each so many boxes, every one with its setting names.
constexpr std::size_t boxes_per_table = 8;
// The rows above the settings: the address, the MAC and the result.
constexpr std::size_t head_rows = 3;
// The columns before the boxes': the setting and the majority.
constexpr std::size_t head_columns = 2;

enum class Mark { none, differs, failed };

struct Cell {
    std::string text;
    Mark mark = Mark::none;
};

using Table = std::vector<std::vector<Cell>>;

std::string mac_of(const std::vector<FoundBox>& scanned, const std::string& address) {
    const auto found = std::find_if(scanned.begin(), scanned.end(),
                                    [&](const FoundBox& box) { return box.address == address; });
    return found == scanned.end() ? "" : found->mac;
}

// What the majority column says: the value, "no majority" where values tie,
// nothing where no box read the setting or the boxes are not compared on it.
std::string majority_text(const wc::Setting& row, const Majority& majority,
                          const std::vector<BoxResult>& results) {
    if (const wc::Value* value = majority.value(row)) {
        return wc::value_text(row, *value);
    }
    const bool read = std::any_of(results.begin(), results.end(),
                                  [&](const BoxResult& r) { return find_value(r.settings, row) != nullptr; });
    return read && compared(row) ? "no majority" : "";
}

Table wall_table(const Request& request, const std::vector<BoxResult>& results,
                 const std::vector<FoundBox>& scanned) {
    std::vector<const std::vector<SettingValue>*> boxes;
    for (const BoxResult& r : results) {
        boxes.push_back(&r.settings);
    }
    const Majority majority(request.reads, boxes);
    Table table{{{"setting"}, {"majority"}}, {{"MAC"}, {}}, {{"result"}, {}}};
    for (const BoxResult& r : results) {
        table[0].push_back({r.box.text()});
        table[1].push_back({mac_of(scanned, r.box.address)});
        table[2].push_back({verdict(r), r.ok ? Mark::none : Mark::failed});
    }
    for (const wc::Setting* row : request.reads) {
        std::vector<Cell>& line = table.emplace_back();
        line.push_back({std::string(row->name)});
        line.push_back({majority_text(*row, majority, results)});
        for (const BoxResult& r : results) {
            const wc::Value* value = find_value(r.settings, *row);
            line.push_back({value != nullptr ? wc::value_text(*row, *value) : "",
                            majority.differs(*row, value) ? Mark::differs : Mark::none});
        }
    }
    return table;
}

// Text for HTML: the five characters that mark up escaped, control characters shown as escapes.
std::string html(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            if ((c >= 0 && c < ' ') || c == '\x7f') {
                escaped += wc::visible_bytes(std::string_view(&c, 1));
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

std::string html_cell(const Cell& cell, std::string_view tag, std::string_view attributes = {}) {
    static constexpr std::string_view classes[] = {"", " class=\"differs\"", " class=\"failed\""};
    std::string text(1, '<');
    text.append(tag).append(attributes).append(classes[static_cast<int>(cell.mark)]).append(1, '>');
    return text.append(html(cell.text)).append("</").append(tag).append(1, '>');
}

// The columns from..to of the boxes, with the setting and the majority before them.
std::string html_table(const Table& table, std::size_t from, std::size_t to, std::size_t boxes) {
    std::string text = "<table>\n";
    if (boxes > boxes_per_table) {
        text += "<caption>Boxes " + std::to_string(from + 1) + " to " + std::to_string(to) + " of " +
                std::to_string(boxes) + "</caption>\n";
    }
    for (std::size_t k = 0; k < table.size(); ++k) {
        const std::vector<Cell>& row = table[k];
        text += k == 0 ? "<thead>\n" : k == head_rows ? "</thead>\n<tbody>\n" : "";
        text += "<tr>" + html_cell(row[0], "th", k == 0 ? " scope=\"col\"" : " scope=\"row\"");
        text += k == 0 ? html_cell(row[1], "th", " scope=\"col\"")
                       : html_cell(row[1], "td", k < head_rows ? "" : " class=\"majority\"");
        for (std::size_t box = from; box < to; ++box) {
            text += html_cell(row[head_columns + box], k == 0 ? "th" : "td", k == 0 ? " scope=\"col\"" : "");
        }
        text += "</tr>\n";
    }
    return text + "</tbody>\n</table>\n";
}

constexpr std::string_view style = R"(@page { size: A4 landscape; margin: 12mm; }
body { font: 10pt/1.35 "DejaVu Sans", "Liberation Sans", Arial, sans-serif; color: #000; background: #fff; margin: 16px; }
h1 { font-size: 15pt; margin: 0 0 4px; }
p { margin: 0 0 8px; }
table { border-collapse: collapse; margin: 0 0 14px; }
caption { text-align: left; font-weight: bold; padding: 2px 0; }
th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; vertical-align: top; white-space: nowrap; }
thead th, thead td { background: #e6e6e6; }
tbody th { font-weight: normal; }
td.majority { background: #f2f2f2; font-style: italic; }
.differs { background: #ffd54a; font-weight: bold; outline: 2px solid #000; outline-offset: -2px; }
.differs::before { content: "\2260\a0"; }
.failed { color: #b00000; font-weight: bold; white-space: normal; min-width: 12em; }
@media print {
  body { margin: 0; font-size: 7pt; line-height: 1.2; }
  th, td { padding: 1px 4px; }
  table + table { break-before: page; }
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  tr { break-inside: avoid; }
}
)";

// RFC 4180: a field with a comma, a quote or a line break goes in quotes, its quotes doubled.
std::string csv_field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

} // namespace

std::string report_html(const Request& request, const std::vector<BoxResult>& results,
                        const ReportContext& context) {
    const Table table = wall_table(request, results, context.scanned);
    std::string time = wc::timestamp(std::chrono::floor<std::chrono::seconds>(context.read_at));
    time = time.substr(0, 10) + " " + time.substr(11, 8); // to the second, as people write it
    const auto answered =
        std::count_if(results.begin(), results.end(), [](const BoxResult& r) { return r.ok; });
    const std::string failed = std::to_string(static_cast<long>(results.size()) - answered);
    std::string text = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    text += "<title>Video wall as built, " + html(time) + "</title>\n";
    text += "<style>\n" + std::string(style) + "</style>\n</head>\n<body>\n<h1>Video wall as built</h1>\n";
    text += "<p>Read " + html(time) + " from " + html(request.boxes_from) + " by wallctl " +
            html(wc::version) + ": " + std::to_string(results.size()) + " boxes, " +
            std::to_string(answered) + " answered, " + failed + " failed.</p>\n";
    text += "<p><span class=\"differs\">value</span> differs from the wall's majority, the value most boxes "
            "hold; where values are held equally often, each is marked. Addresses and IDs are each box's own "
            "and not compared.</p>\n";
    for (std::size_t from = 0; from < results.size(); from += boxes_per_table) {
        text += html_table(table, from, std::min(from + boxes_per_table, results.size()), results.size());
    }
    return text + "</body>\n</html>\n";
}

std::string report_csv(const Request& request, const std::vector<BoxResult>& results,
                       const ReportContext& context) {
    std::string text;
    for (const std::vector<Cell>& row : wall_table(request, results, context.scanned)) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            text.append(k == 0 ? "" : ",").append(csv_field(row[k].text));
        }
        text += "\r\n";
    }
    return text;
}

} // namespace wallctl
