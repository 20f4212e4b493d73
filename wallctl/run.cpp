#include "wallctl/run.h"

#include "wallctl/box_jobs.h"
#include "wallctl/output.h"
#include "wallctl/progress.h"
#include "wallctl/scan.h"
#include "wallctl/snapshot.h"
#include "wallctl/text_file.h"

#include <iostream>

namespace wallctl {

namespace {

constexpr int failed = 2;
constexpr int bad_usage = 1;

int run_scan(const Request& request) {
    const auto places = scan_places();
    std::string error;
    const auto boxes = run_scanner(places, error) ? read_scan_files(places.files_dir, error) : std::nullopt;
    if (!boxes) {
        std::cerr << "wallctl: " << error << "\n";
        return failed;
    }
    std::cout << (request.json ? scan_json(*boxes) : scan_table(*boxes));
    return 0;
}

int write_snapshot(const Request& request, const BoxResult& result) {
    const std::string text = snapshot_text(result, known_mac(scan_places().files_dir, result.box.address));
    if (request.output_file.empty()) {
        std::cout << text;
    } else if (!write_text(request.output_file, text)) {
        std::cerr << "wallctl: cannot write " << request.output_file << "\n";
        return bad_usage;
    }
    return 0;
}

} // namespace

int run(const Request& request, const Ask& ask) {
    if (request.command == Command::scan) {
        return run_scan(request);
    }
    if (!request.confirmed &&
        !ask("Factory reset " + std::to_string(request.boxes.size()) +
             (request.boxes.size() == 1 ? " box" : " boxes") +
             ": every setting but MAC and firmware goes back to factory. Go on? [y/N] ")) {
        std::cerr << "wallctl: nothing sent\n";
        return bad_usage;
    }
    std::vector<BoxResult> results;
    {
        Progress progress(request.boxes.size(), progress_wanted(request.boxes.size(), request.verbose));
        results = serve_boxes(request, job_for(request), [&progress] { progress.advance(); });
    }
    if (request.command == Command::snapshot && results.front().ok) {
        return write_snapshot(request, results.front());
    }
    if (request.command == Command::diff) {
        std::cout << (request.json ? diff_json(results) : diff_table(results));
    } else if (request.command == Command::snapshot && !request.json) {
        // The snapshot's place on stdout is for the snapshot only.
        std::cerr << results_table(results);
    } else {
        std::cout << (request.json ? results_json(results) : results_table(results));
    }
    return exit_status(results);
}

} // namespace wallctl
