#include "wallctl/snapshot.h"

#include <nlohmann/json.hpp>

namespace wallctl {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view format_name = "wallctl-snapshot";

// A JSON value as the text parse_value reads: numbers as their digits.
std::optional<std::string> value_text_of(const Json& value) {
    if (value.is_number_unsigned()) {
        return std::to_string(value.get<std::uint64_t>());
    }
    if (value.is_string()) {
        return value.get<std::string>();
    }
    return std::nullopt;
}

} // namespace

std::string snapshot_text(const BoxResult& result, const std::optional<std::string>& mac) {
    Json box{{"address", result.box.text()}};
    if (mac) {
        box["mac"] = *mac;
    }
    Json settings = Json::object();
    for (const SettingValue& s : result.settings) {
        if (s.row->set.empty()) {
            box[std::string(s.row->name)] = wc::value_text(*s.row, s.value);
        } else if (wc::is_plain_number(*s.row)) {
            settings[std::string(s.row->name)] = std::get<int>(s.value);
        } else {
            settings[std::string(s.row->name)] = wc::value_text(*s.row, s.value);
        }
    }
    const Json snapshot{
        {"format", format_name}, {"version", snapshot_version}, {"box", box}, {"settings", settings}};
    return snapshot.dump(2) + "\n";
}

std::optional<std::vector<Assignment>> parse_snapshot(std::string_view text, std::string& error) {
    const Json snapshot = Json::parse(text, nullptr, false);
    if (snapshot.is_discarded() || !snapshot.is_object()) {
        error = "not a JSON object";
        return std::nullopt;
    }
    if (snapshot.value("format", Json()) != format_name ||
        snapshot.value("version", Json()) != snapshot_version) {
        error = "not a snapshot of format version " + std::to_string(snapshot_version);
        return std::nullopt;
    }
    const auto settings = snapshot.find("settings");
    if (settings == snapshot.end() || !settings->is_object()) {
        error = "no \"settings\" object";
        return std::nullopt;
    }
    std::vector<Assignment> assignments;
    for (const auto& [name, value] : settings->items()) {
        const wc::Setting* row = wc::find_setting(name);
        if (row == nullptr || row->set.empty()) {
            error = "\"" + name + "\" is no setting that can be set";
            return std::nullopt;
        }
        const auto given = value_text_of(value);
        auto parsed = given ? wc::parse_value(*row, *given) : std::nullopt;
        if (!parsed) {
            error = "\"" + name + "\": " + value.dump() + " is no value of it";
            return std::nullopt;
        }
        assignments.push_back({row, std::move(*parsed)});
    }
    return assignments;
}

} // namespace wallctl
