#include "wallctl/run.h"

#include "link/traffic_log.h"
#include "wallctl/box_jobs.h"
#include "wallctl/output.h"
#include "wallctl/progress.h"
#include "wallctl/report.h"
#include "wallctl/scan.h"
#include "wallctl/snapshot.h"
#include "wallctl/text_file.h"
#include "wallctl/watch.h"

#include <iostream>

namespace wallctl {

namespace {

constexpr int failed = 2;
constexpr int bad_usage = 1;
constexpr int differ = 3;

int run_scan(const Request& request) {
    const auto places = scan_places();
    std::string error;
    const auto boxes = run_scanner(places, error) ? read_scan_files(places.files_dir, error) : std::nullopt;
    if (!boxes) {
        std::cerr << "wallctl: " << error << "\n";
        return failed;
    }
    return write_stdout(request.json ? scan_json(*boxes) : scan_table(*boxes));
}

// The first non-zero status, in the order given.
int first_of(std::initializer_list<int> statuses) {
    for (const int status : statuses) {
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

// The snapshot or the report, to stdout or into the file checked before the boxes were asked.
int deliver(const Request& request, PendingFile& target, const std::string& text) {
    if (request.file.empty()) {
        return write_stdout(text);
    }
    std::string error;
    if (!target.commit(text, error)) {
        std::cerr << "wallctl: " << error << "\n";
        return bad_usage;
    }
    return 0;
}

} // namespace

int run(const Request& request, const Ask& ask) {
    if (request.command == Command::scan) {
        return run_scan(request);
    }
    if (request.command == Command::watch) {
        return run_watch(request);
    }
    // Where the snapshot or the report goes is checked before the boxes are asked.
    PendingFile target;
    std::string error;
    if (!request.file.empty() &&
        (request.command == Command::snapshot || request.command == Command::report) &&
        !target.open(request.file, error)) {
        std::cerr << "wallctl: " << error << "\n";
        return bad_usage;
    }
    if (!request.confirmed &&
        !ask("Factory reset " + std::to_string(request.boxes.size()) +
             (request.boxes.size() == 1 ? " box" : " boxes") +
             ": every setting but MAC and firmware goes back to factory. Go on? [y/N] ")) {
        std::cerr << "wallctl: nothing sent\n";
        return bad_usage;
    }
    const wc::LocalTime started = wc::local_time(std::chrono::system_clock::now());
    Served served;
    {
        Progress progress(request.boxes.size(), progress_wanted(request.boxes.size(), request.verbose));
        served = serve_boxes(request, job_for(request), progress);
    }
    const std::vector<BoxResult>& results = served.results;
    if (results.size() > 1) {
        std::cerr << summary(results);
    }
    const int interrupted = served.signal != 0 ? 128 + served.signal : 0;
    if (request.command == Command::snapshot) {
        // The snapshot's place, on stdout or in its file, is for the snapshot only.
        if (!results.front().ok) {
            std::cerr << results_table(request, results);
            return first_of({interrupted, failed});
        }
        return deliver(
            request, target,
            snapshot_text(results.front(), known_mac(scan_places().files_dir, results.front().box.address)));
    }
    if (request.command == Command::report) {
        std::string no_scan;
        const ReportContext context{
            started, read_scan_files(scan_places().files_dir, no_scan).value_or(std::vector<FoundBox>{})};
        const std::string text = request.format == ReportFormat::csv ? report_csv(request, results, context)
                                                                     : report_html(request, results, context);
        return first_of({deliver(request, target, text), interrupted, exit_status(results)});
    }
    const int written =
        write_stdout(request.json ? results_json(request, results) : results_table(request, results));
    const bool differs = request.command == Command::diff && differences_found(request, results);
    return first_of({written, interrupted, exit_status(results), differs ? differ : 0});
}

} // namespace wallctl
