#include "wallctl/watch.h"

#include "link/traffic_log.h"
#include "wallctl/box_jobs.h"
#include "wallctl/majority.h"
#include "wallctl/text_file.h"
#include "wallctl/watch_screen.h"

#include <algorithm>
#include <array>
#include <asio/co_spawn.hpp>
#include <asio/experimental/as_tuple.hpp>
#include <asio/experimental/awaitable_operators.hpp>
#include <asio/io_context.hpp>
#include <asio/posix/stream_descriptor.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>
#include <asio/use_awaitable.hpp>
#include <csignal>
#include <curses.h>
#include <iostream>
#include <memory>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace wallctl {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto use_tuple = asio::experimental::as_tuple(asio::use_awaitable);

constexpr std::chrono::seconds longest_backoff{30};

// What every interval reads: the settings that the table shows.
constexpr std::array<const wc::Setting*, 5> shown_rows{
    &wc::named_setting("power"), &wc::named_setting("id"), &wc::named_setting("firmware"),
    &wc::named_setting("resolution"), &wc::named_setting("mute")};

struct WatchedBox {
    BoxAddress box;
    std::unique_ptr<BoxClient> client;  // the open connection; none while the box is down
    std::vector<SettingValue> settings; // as last read
    bool up = false;
    bool tried = false;                        // its first connect has ended, one way or the other
    std::optional<Clock::time_point> answered; // its last answer
    std::string down_since;                    // the time of day it went down: "08:55:02"
    std::string reason;                        // why it is down
    Clock::duration backoff{};                 // until the next try, once it failed
    Clock::time_point retry{};                 // no connect before
};

// The settings read, over those read before.
void merge(std::vector<SettingValue>& known, std::vector<SettingValue> read) {
    for (SettingValue& s : read) {
        const auto old =
            std::find_if(known.begin(), known.end(), [&](const SettingValue& k) { return k.row == s.row; });
        if (old == known.end()) {
            known.push_back(std::move(s));
        } else {
            old->value = std::move(s.value);
        }
    }
}

std::string time_of_day() {
    return wc::timestamp(wc::local_time(std::chrono::system_clock::now())).substr(11, 8);
}

// Whatever a coroutine throws leaves io_context::run(), and the terminal is given back on the way out.
void rethrow(const std::exception_ptr& error) {
    if (error) {
        std::rethrow_exception(error);
    }
}

class Watch {
public:
    explicit Watch(const Request& request)
        : m_request(request),
          m_timeout(std::min<std::chrono::milliseconds>(request.timeout, request.interval)) {
        for (const BoxAddress& box : request.boxes) {
            m_boxes.emplace_back().box = box;
        }
    }

    int run() {
        asio::co_spawn(m_io, rounds(), rethrow);
        asio::co_spawn(m_io, keys(), rethrow);
        asio::co_spawn(m_io, ticks(), rethrow);
        asio::co_spawn(m_io, resizes(), rethrow);
        m_signals.async_wait([this](const asio::error_code& error, int number) {
            if (!error) {
                quit(128 + number);
            }
        });
        draw();
        m_io.run();
        return m_status;
    }

private:
    // A round every interval, or at once when r was pressed: every box that is up or due to be tried again.
    asio::awaitable<void> rounds() {
        bool everything = true;
        const Serve serve = [&](std::size_t box) { return step(m_boxes[box], everything); };
        const std::function<bool()> stopping = [this] { return m_quitting; };
        while (!m_quitting) {
            const Clock::time_point start = Clock::now();
            if (everything) {
                for (WatchedBox& box : m_boxes) {
                    box.retry = start;
                }
            }
            co_await each_box(m_boxes.size(), serve, stopping);
            m_cycle = Clock::now() - start;
            draw();
            everything = std::exchange(m_read_all, false);
            if (!everything && !m_quitting) {
                m_wake.expires_at(start + m_request.interval);
                co_await m_wake.async_wait(use_tuple);
                everything = std::exchange(m_read_all, false);
            }
        }
    }

    // One box's part of a round: connect if it is down and due, then read.
    asio::awaitable<void> step(WatchedBox& box, bool everything) {
        const bool connecting = box.client == nullptr;
        if (connecting && Clock::now() < box.retry) {
            co_return;
        }
        if (connecting) {
            box.client = std::make_unique<BoxClient>(m_io.get_executor(), box.box, m_timeout, m_stop,
                                                     m_request.verbose);
        }
        BoxClient& client = *box.client;
        const std::span<const wc::Setting* const> rows =
            connecting || everything ? std::span<const wc::Setting* const>(m_request.reads) : shown_rows;
        BoxResult read;
        std::optional<std::string> failure;
        const auto work = [&]() -> asio::awaitable<void> {
            try {
                if (connecting) {
                    co_await client.connect();
                }
                co_await read_settings(client, rows, read);
                client.rest();
            } catch (const Stopped&) {
                failure = "stopped";
            } catch (const std::exception& error) {
                failure = error.what();
            }
            if (failure) {
                client.close();
            }
        };
        using asio::experimental::awaitable_operators::operator&&;
        co_await (work() && client.watch());
        merge(box.settings, std::move(read.settings));
        box.tried = true;
        if (!failure) {
            box.up = true;
            box.answered = Clock::now();
            box.backoff = {};
            co_return;
        }
        if (box.up || box.down_since.empty()) {
            box.down_since = time_of_day();
        }
        box.up = false;
        box.reason = *failure;
        box.client.reset();
        box.backoff =
            std::clamp<Clock::duration>(box.backoff * 2, m_request.interval,
                                        std::max<Clock::duration>(longest_backoff, m_request.interval));
        box.retry = Clock::now() + box.backoff;
    }

    asio::awaitable<void> keys() {
        while (!m_quitting) {
            const auto [error] =
                co_await m_input.async_wait(asio::posix::stream_descriptor::wait_read, use_tuple);
            if (error) {
                co_return;
            }
            const std::vector<int> typed = m_terminal.keys();
            // Readable with nothing to read: the terminal has gone, as a hang-up says.
            if (typed.empty()) {
                quit(128 + SIGHUP);
            }
            for (const int key : typed) {
                on_key(key);
            }
            draw();
        }
    }

    void on_key(int key) {
        switch (key) {
        case 'q':
        case 'Q':
            quit(0);
            break;
        case 'r':
        case 'R':
            m_read_all = true;
            m_wake.cancel();
            break;
        case KEY_UP:
        case 'k':
            m_selected -= m_selected > 0 ? 1 : 0;
            break;
        case KEY_DOWN:
        case 'j':
            m_selected += m_selected + 1 < m_boxes.size() ? 1 : 0;
            break;
        case 'd':
        case 'D':
            m_details = !m_details;
            break;
        default:
            break;
        }
    }

    // The seconds since each box's last answer and the clock move on between rounds.
    asio::awaitable<void> ticks() {
        while (!m_quitting) {
            m_tick.expires_after(std::chrono::seconds(1));
            co_await m_tick.async_wait(use_tuple);
            draw();
        }
    }

    asio::awaitable<void> resizes() {
        while (!m_quitting) {
            const auto [error, number] = co_await m_resized.async_wait(use_tuple);
            if (error) {
                co_return;
            }
            m_terminal.resized();
            draw();
        }
    }

    void quit(int status) {
        if (m_quitting) {
            return;
        }
        m_quitting = true;
        m_status = status;
        for (WatchedBox& box : m_boxes) {
            if (box.client) {
                box.client->abort();
            }
        }
        m_wake.cancel();
        m_tick.cancel();
        m_input.cancel();
        m_signals.cancel();
        m_resized.cancel();
    }

    void draw() {
        if (!m_quitting) {
            m_terminal.show(screen());
        }
    }

    Screen screen() const {
        std::vector<const std::vector<SettingValue>*> up;
        for (const WatchedBox& box : m_boxes) {
            if (box.up) {
                up.push_back(&box.settings);
            }
        }
        const Majority majority(m_request.reads, up);
        const Clock::time_point now = Clock::now();
        Screen screen;
        screen.title = "wallctl watch  " + std::to_string(m_boxes.size()) +
                       " boxes: " + std::to_string(up.size()) + " up, " +
                       std::to_string(m_boxes.size() - up.size()) + " down  every " +
                       std::to_string(m_request.interval.count()) + " s";
        if (m_cycle) {
            screen.title +=
                "  read in " +
                std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(*m_cycle).count()) +
                " ms";
        }
        screen.title += "  " + time_of_day();
        screen.table = {{"box", "link", "power", "id", "fw", "resolution", "mute", "last", "diff"}};
        for (const WatchedBox& box : m_boxes) {
            std::vector<std::string>& row = screen.table.emplace_back();
            row.push_back(box.box.text());
            row.push_back(box.up ? "up" : box.tried ? "down " + box.down_since : "connecting");
            for (const wc::Setting* setting : shown_rows) {
                const wc::Value* value = box.up ? find_value(box.settings, *setting) : nullptr;
                row.push_back(value != nullptr ? wc::value_text(*setting, *value) : "-");
            }
            row.push_back(
                box.answered
                    ? std::to_string(
                          std::chrono::duration_cast<std::chrono::seconds>(now - *box.answered).count()) +
                          "s"
                    : "-");
            row.push_back(box.up ? std::to_string(differing(box, majority).size()) : "-");
            screen.alarms.push_back(!box.up);
        }
        screen.selected = m_selected;
        if (m_details) {
            screen.details = details(m_boxes[m_selected], majority);
        }
        screen.keys = m_details ? "q quit  r read all now  Up/Down another box  d back to the wall"
                                : "q quit  r read all now  Up/Down select  d differences";
        screen.keys +=
            "  (box " + std::to_string(m_selected + 1) + " of " + std::to_string(m_boxes.size()) + ")";
        return screen;
    }

    std::vector<const wc::Setting*> differing(const WatchedBox& box, const Majority& majority) const {
        std::vector<const wc::Setting*> rows;
        std::copy_if(
            m_request.reads.begin(), m_request.reads.end(), std::back_inserter(rows),
            [&](const wc::Setting* row) { return majority.differs(*row, find_value(box.settings, *row)); });
        return rows;
    }

    // The selected box: why it is down, or where it differs from the wall.
    std::vector<std::string> details(const WatchedBox& box, const Majority& majority) const {
        if (!box.up) {
            return {box.box.text() +
                    (box.tried ? "  down since " + box.down_since + ": " + box.reason : "  connecting")};
        }
        const auto rows = differing(box, majority);
        if (rows.empty()) {
            return {box.box.text() + "  agrees with the wall's majority on every setting"};
        }
        std::vector<std::string> lines{box.box.text() + "  differs from the wall's majority in " +
                                           std::to_string(rows.size()) +
                                           (rows.size() == 1 ? " setting:" : " settings:"),
                                       ""};
        Cells cells{{"setting", "this box", "the wall"}};
        for (const wc::Setting* row : rows) {
            const wc::Value* wall = majority.value(*row);
            cells.push_back({std::string(row->name), wc::value_text(*row, *find_value(box.settings, *row)),
                             wall != nullptr ? wc::value_text(*row, *wall) : "no majority"});
        }
        const std::string table = columns(cells, "  ");
        for (const std::string_view line : text_lines(table)) {
            lines.emplace_back(line);
        }
        return lines;
    }

    const Request& m_request;
    const std::chrono::milliseconds m_timeout;
    asio::io_context m_io;
    // Caught here before the terminal is taken, so that ncurses leaves them to us.
    asio::signal_set m_signals{m_io, SIGINT, SIGTERM, SIGHUP};
    asio::signal_set m_resized{m_io, SIGWINCH};
    Terminal m_terminal;
    asio::posix::stream_descriptor m_input{m_io, ::dup(STDIN_FILENO)};
    asio::steady_timer m_wake{m_io};
    asio::steady_timer m_tick{m_io};
    Stop m_stop;
    std::vector<WatchedBox> m_boxes;
    std::size_t m_selected = 0;
    bool m_details = false;
    bool m_read_all = false;
    bool m_quitting = false;
    int m_status = 0;
    std::optional<Clock::duration> m_cycle; // the last round took
};

// One connection per box stays open: a wall larger than the usual limit of open files needs more.
void allow_every_descriptor() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int run_watch(const Request& request) {
    if (request.verbose && isatty(STDERR_FILENO) == 1) {
        std::cerr << "wallctl: watch -v traces on the terminal it draws on: send standard error elsewhere "
                     "(2>FILE)\n";
        return 1;
    }
    allow_every_descriptor();
    try {
        Watch watch(request);
        return watch.run();
    } catch (const std::exception& error) {
        std::cerr << "wallctl: " << error.what() << "\n";
        return 1;
    }
}

} // namespace wallctl
