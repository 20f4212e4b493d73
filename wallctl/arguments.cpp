#include "wallctl/arguments.h"

#include "link/actions.h"
#include "link/version.h"
#include "wallctl/closest_name.h"
#include "wallctl/snapshot.h"
#include "wallctl/text_file.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <sstream>

namespace wallctl {

namespace {

constexpr long longest_timeout_ms = 600000;
constexpr long longest_deadline_ms = 24L * 3600 * 1000;
constexpr std::chrono::seconds longest_interval{3600};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "did you mean" for a name typed wrong, or nothing when no name comes close.
std::string suggestion(std::string_view typed, std::span<const std::string_view> names) {
    const auto closest = closest_name(typed, names);
    return closest ? "; did you mean " + std::string(*closest) + "?" : "";
}

const wc::Setting& setting_named(std::string_view name) {
    const wc::Setting* row = wc::find_setting(name);
    if (row == nullptr) {
        std::vector<std::string_view> names;
        for (const wc::Setting& known : wc::settings) {
            names.push_back(known.name);
        }
        throw UsageError("no setting \"" + std::string(name) + "\"" + suggestion(name, names) +
                         " (wallctl --help lists them)");
    }
    return *row;
}

// What a setting's value looks like, for hints: "on", "70", "10.0.0.5".
std::string example_value(const wc::Setting& row) {
    if (row.layout() == wc::ReplyLayout::address) {
        return "192.168.1.20";
    }
    return wc::value_names(row.names).empty() ? std::to_string(row.hi) : wc::value_text(row, row.hi);
}

Assignment assignment(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        const wc::Setting& row = setting_named(text);
        throw UsageError("\"" + std::string(text) + "\" is no SETTING=VALUE, such as " +
                         std::string(row.name) + "=" + example_value(row));
    }
    const wc::Setting& row = setting_named(text.substr(0, equals));
    if (row.set.empty()) {
        throw UsageError(std::string(row.name) + " is read only");
    }
    auto value = wc::parse_value(row, text.substr(equals + 1));
    if (!value) {
        throw UsageError(std::string(text) + ": " + std::string(row.name) + " takes " + describe_values(row));
    }
    return {&row, std::move(*value)};
}

// The SETTING=VALUE words of set, each setting once; "NAME VALUE" gets its fix.
std::vector<Assignment> assignments(const std::vector<std::string>& words) {
    std::vector<Assignment> all;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const bool pair = k + 1 < words.size() && words[k].find('=') == std::string::npos &&
                          words[k + 1].find('=') == std::string::npos &&
                          wc::find_setting(words[k]) != nullptr;
        if (pair) {
            throw UsageError("set takes SETTING=VALUE: write " + words[k] + "=" + words[k + 1]);
        }
        all.push_back(assignment(words[k]));
        if (std::any_of(all.begin(), all.end() - 1,
                        [&](const Assignment& a) { return a.row == all.back().row; })) {
            throw UsageError(std::string(all.back().row->name) + " is given twice");
        }
    }
    return all;
}

int number(std::string_view text, std::string_view what) {
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty() || text.front() == '-') {
        throw UsageError("\"" + std::string(text) + "\" is no " + std::string(what));
    }
    return value;
}

// The action's line; numbers out of range are refused with the range, in the
// words of the command line (`command`) that asked for it.
void use_action(Request& request, std::string_view name, std::string_view command,
                std::vector<int> numbers = {}) {
    const wc::Action& action = *wc::find_action(name);
    const auto line = wc::action_line(action, numbers);
    if (!line) {
        throw UsageError(std::string(command) + " takes " + std::to_string(action.lo) + ".." +
                         std::to_string(action.hi));
    }
    request.command = Command::action;
    request.line = *line;
    request.ack = action.ack;
}

// A time in milliseconds ("2000", "2000ms") or seconds ("2s"), from 1 ms to `longest`.
std::chrono::milliseconds duration(const std::string& text, std::string_view option, long longest) {
    std::string_view digits = text;
    int scale = 1;
    if (digits.ends_with("ms")) {
        digits.remove_suffix(2);
    } else if (digits.ends_with('s')) {
        digits.remove_suffix(1);
        scale = 1000;
    }
    long value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc{} || end != digits.data() + digits.size() || digits.empty() ||
        digits.front() == '-' || value < 1 || value > longest / scale) {
        throw UsageError(std::string(option) +
                         " takes milliseconds, such as 2000, or seconds, such as 2s, up to " +
                         std::to_string(longest / 1000) + "s; not \"" + text + "\"");
    }
    return std::chrono::milliseconds(value * scale);
}

std::vector<int> layout_numbers(std::string_view text) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) {
        throw UsageError("\"" + std::string(text) + "\" is no layout RxC, such as 3x4");
    }
    return {number(text.substr(0, x), "number of rows"), number(text.substr(x + 1), "number of columns")};
}

bool is_network(const wc::Setting& row) {
    return row.layout() == wc::ReplyLayout::address || row.relinks;
}

std::vector<Assignment> applied_settings(const std::string& file, bool with_network, bool with_id) {
    std::string error;
    const auto text = read_text(file, error);
    if (!text) {
        throw UsageError(error);
    }
    auto snapshot = parse_snapshot(*text, error);
    if (!snapshot) {
        throw UsageError((file == "-" ? "standard input" : file) + ": " + error);
    }
    std::erase_if(*snapshot, [&](const Assignment& a) {
        return (is_network(*a.row) && !with_network) || (a.row->name == "id" && !with_id);
    });
    return std::move(*snapshot);
}

std::vector<const wc::Setting*> every_setting() {
    std::vector<const wc::Setting*> rows;
    for (const wc::Setting& row : wc::settings) {
        rows.push_back(&row);
    }
    return rows;
}

// One line per setting; the four outputs of a picture value share one.
std::string settings_help() {
    std::string text = "Settings (get, set SETTING=VALUE), a..d being OUT A..OUT D:\n";
    for (const wc::Setting& row : wc::settings) {
        std::string name(row.name);
        if (row.layout() == wc::ReplyLayout::picture) {
            if (!name.ends_with(".a")) {
                continue;
            }
            name.back() = '*';
        }
        name.resize(std::max<std::size_t>(name.size() + 2, 14), ' ');
        text += "  " + name + describe_values(row) + "\n";
    }
    return text;
}

// The word where the command belongs: the first that is neither an option nor an option's value.
std::optional<std::string> command_word(CLI::App& app, int argc, const char* const* argv) {
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (!arg.starts_with('-')) {
            return std::string(arg);
        }
        const CLI::Option* option = app.get_option_no_throw(std::string(arg));
        k += option != nullptr && option->get_type_size() > 0 ? 1 : 0;
    }
    return std::nullopt;
}

} // namespace

std::string describe_values(const wc::Setting& row) {
    if (row.set.empty()) {
        return "read only";
    }
    if (row.layout() == wc::ReplyLayout::address) {
        return "a dotted address such as 192.168.1.20";
    }
    const auto names = wc::value_names(row.names);
    if (names.empty()) {
        return std::to_string(row.lo) + ".." + std::to_string(row.hi);
    }
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k) {
        text += (k == 0 ? "" : "|") + wc::value_text(row, static_cast<int>(k));
    }
    return text;
}

Parsed parse_arguments(int argc, const char* const* argv) {
    CLI::App app{"Reads and sets the boxes of a video wall from scripts."};
    app.name("wallctl");
    app.set_version_flag("--version", "wallctl " + std::string(wc::version));
    app.require_subcommand(1);
    app.fallthrough();
    app.footer(settings_help());
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return "wallctl: " + std::string(error.what()) + " (wallctl --help tells more)\n";
    });

    std::vector<std::string> boxes;
    std::string boxes_file;
    std::string timeout = std::to_string(Request{}.timeout.count());
    std::string deadline;
    bool json = false;
    bool verbose = false;
    app.add_option("-b", boxes, "a box, port 23 unless given (repeatable)")->type_name("ADDR[:PORT]");
    app.add_option("--boxes", boxes_file, "a file of boxes, one ADDR[:PORT] a line, # comments; - for stdin")
        ->type_name("FILE");
    app.add_option("--timeout", timeout,
                   "time-out of one exchange (a line and its answer), " + timeout + " ms unless given")
        ->type_name("MS|Ns");
    app.add_option("--deadline", deadline, "time-out of the whole run; none unless given")
        ->type_name("MS|Ns");
    app.add_flag("--json", json, "one JSON array, an object per box, on stdout (see the manual page)");
    app.add_flag("-v", verbose, "trace every line sent and received on stderr");

    std::vector<std::string> names;
    std::vector<std::string> pairs;
    bool no_verify = false;
    std::string file;
    std::string output;
    bool with_network = false;
    bool with_id = false;
    bool dry_run = false;
    std::string text;
    std::vector<std::string> words;
    std::string word;
    bool yes = false;

    auto* status = app.add_subcommand("status", "every readable setting of every box");
    auto* get = app.add_subcommand("get", "these settings of every box, a row per box");
    get->add_option("SETTING", names)->required();
    auto* set = app.add_subcommand("set", "set what differs, then read back and compare");
    set->add_option("SETTING=VALUE", pairs)->required();
    set->add_flag("--no-verify", no_verify, "do not read back");
    auto* snapshot = app.add_subcommand("snapshot", "one box's settings as JSON");
    snapshot->add_option("-o", output, "write to FILE instead of stdout")->type_name("FILE");
    auto* apply =
        app.add_subcommand("apply", "set every box to a snapshot's settings (- for stdin), and verify");
    apply->add_option("FILE", file)->required();
    apply->add_flag("--dry-run", dry_run, "read and show what would change; send nothing");
    auto* diff =
        app.add_subcommand("diff", "the settings on which the boxes differ, or differ from a snapshot");
    diff->add_option("FILE", file, "a snapshot to compare every box with");
    for (CLI::App* sub : {apply, diff}) {
        sub->add_flag("--with-network", with_network, "the address type, address, mask and gateway as well");
        sub->add_flag("--with-id", with_id, "the ID number as well");
    }
    auto* layout = app.add_subcommand("layout", "manual wall layout, rows x columns (1..15 each)");
    layout->add_option("RxC", text)->required();
    auto* hotkey = app.add_subcommand("hotkey", "layout hot key 0..23");
    hotkey->add_option("N", text)->required();
    auto* wall_reset = app.add_subcommand("wall-reset", "layout 1x1, bezel off and 10");
    auto* power = app.add_subcommand("power", "power on or off");
    power->add_option("on|off", text)->required();
    auto* favourite = app.add_subcommand("favourite", "store or recall the wall settings in slot 1..5");
    favourite->add_option("save|recall", word)->required()->check(CLI::IsMember({"save", "recall"}));
    favourite->add_option("N", text)->required();
    auto* picture_reset = app.add_subcommand("picture-reset", "every picture value back to 50");
    auto* osd_reset = app.add_subcommand("osd-reset", "OSD settings and mute back to factory");
    auto* factory_reset = app.add_subcommand("factory-reset", "every setting back to factory (asks first)");
    factory_reset->add_flag("--yes", yes, "do not ask");
    auto* raw =
        app.add_subcommand("raw", "send one line (its words joined by blanks), print what comes back");
    raw->add_option("LINE", words)->required();
    auto* scan = app.add_subcommand("scan", "run the scanner, print MAC and address of every box found");
    std::string format = "html";
    auto* report =
        app.add_subcommand("report", "the wall as built: every setting of every box, a column each");
    report->add_option("-o", output, "write to FILE instead of stdout")->type_name("FILE");
    report->add_option("--format", format, "a page (html, the default) or a table for spreadsheets (csv)")
        ->check(CLI::IsMember({"html", "csv"}))
        ->type_name("FORMAT");
    std::string interval = std::to_string(Request{}.interval.count());
    auto* watch = app.add_subcommand("watch", "a live table of the boxes on the terminal, until q");
    watch->add_option("--interval", interval, "seconds between reads, " + interval + " unless given")
        ->type_name("S");

    Parsed parsed;
    try {
        app.parse(argc, argv);
        Request request;
        request.timeout = duration(timeout, "--timeout", longest_timeout_ms);
        if (!deadline.empty()) {
            request.deadline = duration(deadline, "--deadline", longest_deadline_ms);
        }
        request.json = json;
        request.verbose = verbose;
        for (const std::string& box : boxes) {
            const auto address = parse_box_address(box);
            if (!address) {
                throw UsageError("\"" + box + "\" is no ADDR[:PORT]");
            }
            request.boxes.push_back(*address);
        }
        if (boxes_file == "-" && file == "-") {
            throw UsageError("standard input can give the boxes or the snapshot, not both");
        }
        const std::string file_name = boxes_file == "-" ? "standard input" : boxes_file;
        request.boxes_from = boxes_file.empty() ? "the command line"
                             : boxes.empty()    ? file_name
                                                : file_name + " and the command line";
        if (!boxes_file.empty()) {
            std::string error;
            const auto listed = read_boxes_file(boxes_file, error);
            if (!listed) {
                throw UsageError(error);
            }
            request.boxes.insert(request.boxes.end(), listed->begin(), listed->end());
        }

        if (app.got_subcommand(status)) {
            request.command = Command::status;
            request.reads = every_setting();
        } else if (app.got_subcommand(diff)) {
            request.command = Command::diff;
            request.file = file;
            if (file.empty()) {
                request.reads = every_setting();
            } else {
                request.assignments = applied_settings(file, with_network, with_id);
                std::transform(request.assignments.begin(), request.assignments.end(),
                               std::back_inserter(request.reads), [](const Assignment& a) { return a.row; });
            }
        } else if (app.got_subcommand(get)) {
            request.command = Command::get;
            for (const std::string& name : names) {
                request.reads.push_back(&setting_named(name));
            }
        } else if (app.got_subcommand(set)) {
            request.command = Command::set;
            request.assignments = assignments(pairs);
            request.verify = !no_verify;
        } else if (app.got_subcommand(power)) {
            request.command = Command::set;
            request.assignments.push_back(assignment("power=" + text));
        } else if (app.got_subcommand(snapshot)) {
            request.command = Command::snapshot;
            request.reads = every_setting();
            request.file = output;
            if (request.boxes.size() != 1) {
                throw UsageError("snapshot reads exactly one box");
            }
        } else if (app.got_subcommand(apply)) {
            request.command = Command::apply;
            request.dry_run = dry_run;
            request.assignments = applied_settings(file, with_network, with_id);
        } else if (app.got_subcommand(layout)) {
            use_action(request, "layout", "layout", layout_numbers(text));
        } else if (app.got_subcommand(hotkey)) {
            use_action(request, "hotkey", "hotkey", {number(text, "hot key")});
        } else if (app.got_subcommand(favourite)) {
            use_action(request, "favourite-" + word, "favourite " + word, {number(text, "favourite slot")});
        } else if (app.got_subcommand(raw)) {
            request.command = Command::raw;
            for (const std::string& w : words) {
                request.line += (request.line.empty() ? "" : " ") + w;
            }
            if (std::any_of(request.line.begin(), request.line.end(),
                            [](char c) { return c < ' ' || c > '~'; })) {
                throw UsageError("the line holds a line break or a byte that is not printable ASCII");
            }
        } else if (app.got_subcommand(scan)) {
            request.command = Command::scan;
        } else if (app.got_subcommand(report) || app.got_subcommand(watch)) {
            request.command = app.got_subcommand(report) ? Command::report : Command::watch;
            request.reads = every_setting();
            request.file = output;
            request.format = format == "csv" ? ReportFormat::csv : ReportFormat::html;
            request.interval = std::chrono::seconds(number(interval, "number of seconds"));
            if (request.interval < std::chrono::seconds(1) || request.interval > longest_interval) {
                throw UsageError("--interval takes 1.." + std::to_string(longest_interval.count()) +
                                 " seconds");
            }
            if (json) {
                throw UsageError(std::string(app.got_subcommand(report) ? "report" : "watch") +
                                 " has no JSON output: --json is for the other commands");
            }
            if (deadline.size() > 0 && request.command == Command::watch) {
                throw UsageError("watch runs until q: --deadline is for the other commands");
            }
        } else {
            for (auto [sub, name] :
                 {std::pair{wall_reset, "wall-reset"}, std::pair{picture_reset, "picture-reset"},
                  std::pair{osd_reset, "osd-reset"}, std::pair{factory_reset, "factory-reset"}}) {
                if (app.got_subcommand(sub)) {
                    use_action(request, name, name);
                }
            }
            request.confirmed = !app.got_subcommand(factory_reset) || yes;
        }
        if (request.boxes.empty() && request.command != Command::scan) {
            throw UsageError("no boxes: give -b ADDR[:PORT] or --boxes FILE");
        }
        parsed.request = std::move(request);
    } catch (const CLI::ParseError& error) {
        std::ostringstream out;
        std::ostringstream err;
        parsed.exit_status = app.exit(error, out, err) == 0 ? 0 : 1;
        parsed.out = out.str();
        parsed.err = err.str();
        if (parsed.exit_status != 0 && app.get_subcommands().empty()) {
            std::vector<std::string_view> commands;
            for (const CLI::App* sub : app.get_subcommands(std::function<bool(CLI::App*)>{})) {
                commands.push_back(sub->get_name());
            }
            const auto typed = command_word(app, argc, argv);
            parsed.err = typed ? "wallctl: no command \"" + *typed + "\"" + suggestion(*typed, commands)
                               : std::string("wallctl: no command given");
            parsed.err += " (wallctl --help lists them)\n";
        }
    } catch (const UsageError& error) {
        parsed.exit_status = 1;
        parsed.err = "wallctl: " + std::string(error.what()) + "\n";
    }
    return parsed;
}

} // namespace wallctl
