#pragma once

// The wall as built, for the installer's hand-over and for spreadsheets: one
// table with a column per box (its address, the MAC the last scan found, and
// whether it answered or why not) and a row per setting, with the wall's
// majority value of each setting beside it.
//   HTML: one page that needs nothing else to be read or printed (A4
//         landscape): no script, no file or address outside it. Above the
//         table, when the boxes were read, from where, by which wallctl, and
//         how many answered; every value that differs from the majority is
//         marked by a sign, a frame and bold type besides its colour.
//   CSV:  the table alone, quoted as RFC 4180 says.

#include "link/traffic_log.h"
#include "wallctl/box_result.h"
#include "wallctl/request.h"
#include "wallctl/scan.h"

#include <string>
#include <vector>

namespace wallctl {

struct ReportContext {
    wc::LocalTime read_at;         // when the boxes were read
    std::vector<FoundBox> scanned; // the last scan's boxes, to name each box's MAC
};

std::string report_html(const Request& request, const std::vector<BoxResult>& results,
                        const ReportContext& context);
std::string report_csv(const Request& request, const std::vector<BoxResult>& results,
                       const ReportContext& context);

} // namespace wallctl
