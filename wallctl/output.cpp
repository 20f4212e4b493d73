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

// The results in the boxes' order, those that did not finish last.
std::vector<const BoxResult*> finished_first(const std::vector<BoxResult>& results) {
    std::vector<const BoxResult*> order;
    for (const BoxResult& r : results) {
        order.push_back(&r);
    }
    std::stable_partition(order.begin(), order.end(), [](const BoxResult* r) { return r->ok; });
    return order;
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

// diff FILE: the snapshot's value of the row.
const wc::Value* reference(const Request& request, const wc::Setting* row) {
    const auto found = std::find_if(request.assignments.begin(), request.assignments.end(),
                                    [&](const Assignment& a) { return a.row == row; });
    return found == request.assignments.end() ? nullptr : &found->value;
}

// The rows read, in the order read, on which the boxes that answered do not
// all agree, with one another or with the snapshot.
std::vector<const wc::Setting*> differing_rows(const Request& request,
                                               const std::vector<BoxResult>& results) {
    std::vector<const wc::Setting*> rows;
    for (const wc::Setting* row : request.reads) {
        const wc::Value* first = reference(request, row);
        for (const BoxResult& r : results) {
            const wc::Value* value = r.ok ? find_value(r.settings, *row) : nullptr;
            if (value != nullptr && first != nullptr && *value != *first) {
                rows.push_back(row);
                break;
            }
            first = first != nullptr ? first : value;
        }
    }
    return rows;
}

std::string text_of(const wc::Setting& row, const wc::Value* value) {
    return value != nullptr ? wc::value_text(row, *value) : "-";
}

Json json_of(const wc::Setting& row, const wc::Value* value) {
    if (value == nullptr) {
        return nullptr;
    }
    return wc::is_plain_number(row) ? Json(std::get<int>(*value)) : Json(wc::value_text(row, *value));
}

Json values_json(const BoxResult& r, const std::vector<const wc::Setting*>& rows) {
    Json settings = Json::object();
    for (const wc::Setting* row : rows) {
        settings[std::string(row->name)] = json_of(*row, find_value(r.settings, *row));
    }
    return settings;
}

// Every setting asked for, those the box never came to as not sent.
std::vector<SettingChange> every_change(const Request& request, const BoxResult& r) {
    std::vector<SettingChange> changes;
    for (const Assignment& a : request.assignments) {
        const auto found = std::find_if(r.changes.begin(), r.changes.end(),
                                        [&](const SettingChange& c) { return c.row == a.row; });
        changes.push_back(found != r.changes.end()
                              ? *found
                              : SettingChange{a.row, a.value, std::nullopt, Change::not_sent});
    }
    return changes;
}

Json changes_json(const Request& request, const BoxResult& r) {
    Json settings = Json::object();
    for (const SettingChange& c : every_change(request, r)) {
        settings[std::string(c.row->name)] = {{"before", json_of(*c.row, c.before ? &*c.before : nullptr)},
                                              {"wanted", json_of(*c.row, &c.wanted)},
                                              {"result", change_name(c.change)}};
    }
    return settings;
}

std::string values_table(const std::vector<BoxResult>& results) {
    std::string text;
    for (const BoxResult* r : finished_first(results)) {
        Cells cells;
        for (const SettingValue& s : r->settings) {
            cells.push_back({std::string(s.row->name), wc::value_text(*s.row, s.value)});
        }
        text += r->box.text() + "  " + verdict(*r) + "\n" + columns(cells, "  ");
    }
    return text;
}

// get: one row per box, a column per setting; a box that did not finish shows why at its row's end.
std::string get_table(const std::vector<BoxResult>& results, const std::vector<const wc::Setting*>& rows) {
    Cells cells{{"box"}};
    for (const wc::Setting* row : rows) {
        cells[0].emplace_back(row->name);
    }
    for (const BoxResult* r : finished_first(results)) {
        std::vector<std::string>& line = cells.emplace_back(1, r->box.text());
        for (const wc::Setting* row : rows) {
            line.push_back(text_of(*row, find_value(r->settings, *row)));
        }
        if (!r->ok) {
            line.push_back(verdict(*r));
        }
    }
    return columns(cells);
}

std::string changes_table(const Request& request, const std::vector<BoxResult>& results) {
    std::string text;
    for (const BoxResult* r : finished_first(results)) {
        Cells cells;
        for (const SettingChange& c : every_change(request, *r)) {
            const std::string wanted = wc::value_text(*c.row, c.wanted);
            const std::string before = c.before ? wc::value_text(*c.row, *c.before) : "?";
            cells.push_back({std::string(c.row->name),
                             c.change == Change::unchanged ? before : before + " -> " + wanted,
                             std::string(change_name(c.change))});
        }
        text += r->box.text() + "  " + verdict(*r) + "\n" + columns(cells, "  ");
    }
    return text;
}

std::string diff_table(const Request& request, const std::vector<BoxResult>& results) {
    const auto rows = differing_rows(request, results);
    std::string text;
    if (rows.empty()) {
        text = "no differences\n";
    } else {
        Cells cells{{"setting"}};
        if (!request.file.empty()) {
            cells[0].push_back(request.file);
        }
        for (const BoxResult& r : results) {
            if (r.ok) {
                cells[0].push_back(r.box.text());
            }
        }
        for (const wc::Setting* row : rows) {
            std::vector<std::string>& line = cells.emplace_back(1, std::string(row->name));
            if (!request.file.empty()) {
                line.push_back(text_of(*row, reference(request, row)));
            }
            for (const BoxResult& r : results) {
                if (r.ok) {
                    line.push_back(text_of(*row, find_value(r.settings, *row)));
                }
            }
        }
        text = columns(cells);
    }
    Cells unfinished;
    for (const BoxResult& r : results) {
        if (!r.ok) {
            unfinished.push_back({r.box.text(), verdict(r)});
        }
    }
    return text + columns(unfinished);
}

} // namespace

std::string columns(const Cells& rows, std::string_view indent, std::size_t gap) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t k = 0; k < row.size(); ++k) {
            widths[k] = std::max(widths[k], row[k].size());
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line(indent);
        for (std::size_t k = 0; k < row.size(); ++k) {
            line += k + 1 < row.size() ? padded(row[k], widths[k] + gap) : row[k];
        }
        text += line + "\n";
    }
    return text;
}

std::string verdict(const BoxResult& r) {
    if (r.interrupted) {
        return "interrupted";
    }
    if (!r.ok) {
        return "failed: " + r.error;
    }
    return r.relinked ? "ok (re-linked)" : "ok";
}

std::string results_table(const Request& request, const std::vector<BoxResult>& results) {
    switch (request.command) {
    case Command::get:
        return get_table(results, request.reads);
    case Command::set:
    case Command::apply:
        return changes_table(request, results);
    case Command::diff:
        return diff_table(request, results);
    case Command::raw: {
        std::string text;
        for (const BoxResult* r : finished_first(results)) {
            text += r->box.text() + "  " + verdict(*r) + "\n";
            for (const std::string& line : received_lines(r->received)) {
                text += "  " + line + "\n";
            }
        }
        return text;
    }
    case Command::status:
    case Command::snapshot:
    case Command::action:
    case Command::scan:
    case Command::report:
    case Command::watch:
        break;
    }
    return values_table(results);
}

std::string results_json(const Request& request, const std::vector<BoxResult>& results) {
    const auto differing = request.command == Command::diff ? differing_rows(request, results)
                                                            : std::vector<const wc::Setting*>{};
    Json array = Json::array();
    for (const BoxResult& r : results) {
        Json object{{"box", r.box.text()}, {"ok", r.ok}, {"error", r.ok ? Json() : Json(r.error)}};
        switch (request.command) {
        case Command::status:
        case Command::get:
        case Command::snapshot:
            object["settings"] = values_json(r, request.reads);
            break;
        case Command::set:
        case Command::apply:
            object["relinked"] = r.relinked;
            object["settings"] = changes_json(request, r);
            break;
        case Command::diff:
            object["settings"] = values_json(r, differing);
            break;
        case Command::raw:
            object["received"] = received_lines(r.received);
            break;
        case Command::action:
        case Command::scan:
        case Command::report:
        case Command::watch:
            break;
        }
        array.push_back(std::move(object));
    }
    return array.dump(2) + "\n";
}

bool differences_found(const Request& request, const std::vector<BoxResult>& results) {
    return !differing_rows(request, results).empty();
}

std::string summary(const std::vector<BoxResult>& results) {
    const auto count = [&](auto holds) { return std::count_if(results.begin(), results.end(), holds); };
    std::string text = std::to_string(count([](const BoxResult& r) { return r.ok; })) + " ok";
    if (const auto failed = count([](const BoxResult& r) { return !r.ok && !r.interrupted; }); failed > 0) {
        text += ", " + std::to_string(failed) + " failed";
    }
    if (const auto interrupted = count([](const BoxResult& r) { return r.interrupted; }); interrupted > 0) {
        text += ", " + std::to_string(interrupted) + " interrupted";
    }
    return text + "\n";
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
        array.push_back({{"box", box.address}, {"mac", box.mac}});
    }
    return array.dump(2) + "\n";
}

} // namespace wallctl
