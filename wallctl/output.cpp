#include "wallctl/output.h"

#include "link/protocol.h"
#include "link/traffic_log.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace wallctl {

namespace {

using Json = nlohmann::ordered_json;

std::string padded(std::string text, std::size_t width) {
    text.resize(std::max(width, text.size()), ' ');
    return text;
}

std::string verdict(const BoxResult& r) {
    if (!r.ok) {
        return "failed: " + r.error;
    }
    return r.note.empty() ? "ok" : "ok (" + r.note + ")";
}

std::size_t box_width(const std::vector<BoxResult>& results) {
    std::size_t width = 0;
    for (const BoxResult& r : results) {
        width = std::max(width, r.box.text().size());
    }
    return width;
}

// The lines of a raw answer, each shown with its escapes; a last piece without
// its line end is shown as well.
std::vector<std::string> received_lines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(wc::line_end), text.size());
        lines.push_back(wc::visible_bytes(text.substr(0, end)));
        text.remove_prefix(std::min(text.size(), end + wc::line_end.size()));
    }
    return lines;
}

Json value_json(const SettingValue& s) {
    return wc::is_plain_number(*s.row) ? Json(std::get<int>(s.value)) : Json(wc::value_text(*s.row, s.value));
}

Json box_json(const BoxResult& r, const std::vector<SettingValue>& settings) {
    Json object{{"box", r.box.text()}, {"ok", r.ok}, {"settings", Json::object()}, {"error", r.error}};
    for (const SettingValue& s : settings) {
        object["settings"][std::string(s.row->name)] = value_json(s);
    }
    if (!r.note.empty()) {
        object["note"] = r.note;
    }
    if (!r.received.empty()) {
        object["received"] = received_lines(r.received);
    }
    return object;
}

const SettingValue* find_value(const BoxResult& r, const wc::Setting* row) {
    const auto found = std::find_if(r.settings.begin(), r.settings.end(),
                                    [&](const SettingValue& s) { return s.row == row; });
    return found == r.settings.end() ? nullptr : &*found;
}

// The rows, in catalogue order, on which the boxes that answered do not all agree.
std::vector<const wc::Setting*> differing_rows(const std::vector<BoxResult>& results) {
    std::vector<const wc::Setting*> rows;
    for (const wc::Setting& row : wc::settings) {
        const SettingValue* first = nullptr;
        for (const BoxResult& r : results) {
            const SettingValue* value = r.ok ? find_value(r, &row) : nullptr;
            if (value != nullptr && first != nullptr && value->value != first->value) {
                rows.push_back(&row);
                break;
            }
            first = first != nullptr ? first : value;
        }
    }
    return rows;
}

} // namespace

std::string results_table(const std::vector<BoxResult>& results) {
    std::size_t name_width = 0;
    for (const wc::Setting& row : wc::settings) {
        name_width = std::max(name_width, row.name.size());
    }
    const std::size_t width = box_width(results);
    std::string text;
    for (const BoxResult& r : results) {
        text += padded(r.box.text(), width) + "  " + verdict(r) + "\n";
        for (const SettingValue& s : r.settings) {
            text += "  " + padded(std::string(s.row->name), name_width) + "  " +
                    wc::value_text(*s.row, s.value) + "\n";
        }
        for (const std::string& line : received_lines(r.received)) {
            text += "  " + line + "\n";
        }
    }
    return text;
}

std::string results_json(const std::vector<BoxResult>& results) {
    Json array = Json::array();
    for (const BoxResult& r : results) {
        array.push_back(box_json(r, r.settings));
    }
    return array.dump(2) + "\n";
}

std::string diff_table(const std::vector<BoxResult>& results) {
    const auto rows = differing_rows(results);
    std::vector<const BoxResult*> answered;
    for (const BoxResult& r : results) {
        if (r.ok) {
            answered.push_back(&r);
        }
    }
    // Cell texts first, then every column as wide as its widest cell.
    std::vector<std::vector<std::string>> cells{{"setting"}};
    for (const BoxResult* r : answered) {
        cells[0].push_back(r->box.text());
    }
    for (const wc::Setting* row : rows) {
        std::vector<std::string>& line = cells.emplace_back(1, std::string(row->name));
        for (const BoxResult* r : answered) {
            const SettingValue* value = find_value(*r, row);
            line.push_back(value != nullptr ? wc::value_text(*row, value->value) : "-");
        }
    }
    std::vector<std::size_t> widths(cells[0].size(), 0);
    for (const auto& line : cells) {
        for (std::size_t k = 0; k < line.size(); ++k) {
            widths[k] = std::max(widths[k], line[k].size());
        }
    }
    std::string text;
    for (std::size_t i = 0; i < cells.size() && !rows.empty(); ++i) {
        std::string line;
        for (std::size_t k = 0; k < cells[i].size(); ++k) {
            line += padded(cells[i][k], k + 1 < cells[i].size() ? widths[k] + 2 : 0);
        }
        text += line + "\n";
    }
    const std::size_t width = box_width(results);
    for (const BoxResult& r : results) {
        if (!r.ok) {
            text += padded(r.box.text(), width) + "  " + verdict(r) + "\n";
        }
    }
    return text;
}

std::string diff_json(const std::vector<BoxResult>& results) {
    const auto rows = differing_rows(results);
    Json array = Json::array();
    for (const BoxResult& r : results) {
        std::vector<SettingValue> differing;
        for (const wc::Setting* row : rows) {
            if (const SettingValue* value = find_value(r, row)) {
                differing.push_back(*value);
            }
        }
        array.push_back(box_json(r, r.ok ? differing : std::vector<SettingValue>{}));
    }
    return array.dump(2) + "\n";
}

std::string scan_table(const std::vector<FoundBox>& boxes) {
    std::string text;
    for (const FoundBox& box : boxes) {
        text += box.mac + "  " + box.address + "\n";
    }
    return text;
}

std::string scan_json(const std::vector<FoundBox>& boxes) {
    Json array = Json::array();
    for (const FoundBox& box : boxes) {
        array.push_back({{"box", box.address},
                         {"ok", true},
                         {"settings", Json::object()},
                         {"error", ""},
                         {"mac", box.mac}});
    }
    return array.dump(2) + "\n";
}

} // namespace wallctl
