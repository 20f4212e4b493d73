#pragma once

// What wallctl does with one box, exchange by exchange, in the order the
// protocol needs: reading settings, setting and verifying them, one-off
// actions and raw lines. Each job fills its box's result as it goes, so that
// a box that fails half-way still shows what it did; serve_boxes runs one job
// on every box of a request at once, until done or stopped by a signal or the
// run's deadline.

#include "wallctl/box_client.h"
#include "wallctl/box_result.h"
#include "wallctl/progress.h"
#include "wallctl/request.h"

#include <asio/awaitable.hpp>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace wallctl {

using Job = std::function<asio::awaitable<void>(BoxClient& client, BoxResult& result)>;

// Reads the settings in order; rows with the same read line (the addresses) share one exchange.
asio::awaitable<void> read_settings(BoxClient& client, std::span<const wc::Setting* const> rows,
                                    BoxResult& result);

// Reads the box's values of the settings and sends only those that differ
// (none on a dry run), then reads them back and compares unless told not to.
// The addresses go after every other setting and the address type last,
// because the box re-links after it (ends the connection): it is checked by
// the value the box echoes, not by reading back. Changed addresses without a
// changed address type are followed by a re-link, so that the box takes them.
asio::awaitable<void> write_settings(BoxClient& client, std::span<const Assignment> assignments, bool verify,
                                     bool dry_run, BoxResult& result);

// Sends the line and awaits the reply with key `ack`; a line the box does not
// answer is followed by a read, so that it is taken when this ends.
asio::awaitable<void> run_action(BoxClient& client, std::string_view line, std::string_view ack);

// Sends the line and keeps everything the box sends within the time-out; a box that sends nothing fails.
asio::awaitable<void> run_raw(BoxClient& client, std::string_view line, BoxResult& result);

// The job for the request's command.
Job job_for(const Request& request);

using Serve = std::function<asio::awaitable<void>(std::size_t box)>;

// Serves boxes 0 .. count - 1 in order, many at once (a few hundred, far below
// the limit of open files), until every box is served or `stopping` holds;
// gives how many boxes were begun.
asio::awaitable<std::size_t> each_box(std::size_t count, const Serve& serve,
                                      const std::function<bool()>& stopping);

struct Served {
    std::vector<BoxResult> results; // one per box, in the boxes' order
    int signal = 0;                 // the signal that stopped the run; 0 when none did
};

// Runs the job on every box of the request, many boxes at once, each box's
// exchanges in order, advancing `progress` as each box ends. SIGINT and
// SIGTERM stop the run: no box or exchange starts, those under way end (a
// second signal ends them at once; the first says so on stderr), and every
// box not done is interrupted. The request's deadline ends every exchange
// under way at once and fails the boxes not done.
Served serve_boxes(const Request& request, const Job& job, Progress& progress);

} // namespace wallctl
