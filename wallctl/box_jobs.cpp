#include "wallctl/box_jobs.h"

#include "link/actions.h"
#include "link/protocol.h"
#include "link/traffic_log.h"

#include <algorithm>
#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/experimental/as_tuple.hpp>
#include <asio/experimental/awaitable_operators.hpp>
#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>
#include <asio/this_coro.hpp>
#include <asio/use_awaitable.hpp>
#include <csignal>

namespace wallctl {

namespace {

// Enough boxes at once for a large wall, few enough to stay far below the
// process's limit of open files.
constexpr std::size_t most_at_once = 256;

using Take = std::function<void(const wc::Setting& row, wc::Value value)>;

bool is_address(const wc::Setting& row) {
    return row.layout() == wc::ReplyLayout::address;
}

std::string shown(std::string_view text) {
    return "\"" + wc::visible_bytes(text) + "\"";
}

// The order of the set lines: addresses after everything else, the re-linking one last.
int send_rank(const SettingChange* c) {
    return c->row->relinks ? 2 : is_address(*c->row) ? 1 : 0;
}

// Reads the rows in order, each read line once, and hands on each value as it comes.
asio::awaitable<void> read_values(BoxClient& client, std::span<const wc::Setting* const> rows,
                                  const Take& take) {
    std::vector<std::pair<std::string_view, wc::Reply>> replies; // read line, its reply
    for (const wc::Setting* row : rows) {
        auto known =
            std::find_if(replies.begin(), replies.end(), [&](const auto& r) { return r.first == row->read; });
        if (known == replies.end()) {
            co_await client.send(row->read);
            wc::Reply reply = co_await client.await_reply(
                row->read, [row](const wc::Reply& r) { return wc::answers(*row, r); });
            known = replies.insert(replies.end(), {row->read, std::move(reply)});
        }
        auto value = wc::decode(*row, known->second);
        if (!value) {
            throw BoxFailure(shown(row->read) + " was answered with " + shown(known->second.text()) +
                             ", which is no " + std::string(row->name));
        }
        take(*row, std::move(*value));
    }
}

// A line the box does not answer counts as sent once written; one it answers
// fails until its answer has come (the re-linking one: until it echoes the value asked).
asio::awaitable<void> send_set_line(BoxClient& client, SettingChange& c) {
    const std::string line = wc::set_line(*c.row, c.wanted);
    co_await client.send(line);
    c.change = Change::sent;
    if (c.row->set_reply.empty()) {
        co_return;
    }
    c.change = Change::failed;
    const wc::Reply reply =
        co_await client.await_reply(line, [&](const wc::Reply& r) { return r.key() == c.row->set_reply; });
    // The re-linking setting is checked by its echo: nothing can be read after it.
    if (c.row->relinks) {
        if (wc::decode(*c.row, reply) != c.wanted) {
            throw BoxFailure(std::string(c.row->name) + " was answered with " + shown(reply.text()) +
                             ", not " + wc::value_text(*c.row, c.wanted));
        }
        c.change = Change::verified;
    } else {
        c.change = Change::sent;
    }
}

asio::awaitable<void> serve_box(const Request& request, const Job& job, Stop& stop, BoxResult& result) {
    BoxClient client(co_await asio::this_coro::executor, result.box, request.timeout, stop, request.verbose);
    const auto work = [&]() -> asio::awaitable<void> {
        try {
            co_await client.connect();
            co_await job(client, result);
        } catch (const Stopped&) {
            result.ok = false;
            result.interrupted = stop.signal() != 0;
            result.error = stop.reason();
        } catch (const std::exception& failure) {
            // BoxFailure, or anything else that ended this box: its reason goes in its row.
            result.ok = false;
            result.error = failure.what();
        }
        client.close();
    };
    using asio::experimental::awaitable_operators::operator&&;
    co_await (work() && client.watch());
}

} // namespace

asio::awaitable<void> read_settings(BoxClient& client, std::span<const wc::Setting* const> rows,
                                    BoxResult& result) {
    co_await read_values(client, rows, [&](const wc::Setting& row, wc::Value value) {
        result.settings.push_back({&row, value});
    });
}

asio::awaitable<void> write_settings(BoxClient& client, std::span<const Assignment> assignments, bool verify,
                                     bool dry_run, BoxResult& result) {
    std::vector<const wc::Setting*> rows;
    for (const Assignment& a : assignments) {
        result.changes.push_back({a.row, a.value, std::nullopt, Change::not_sent});
        rows.push_back(a.row);
    }
    std::size_t next = 0;
    co_await read_values(client, rows, [&](const wc::Setting&, wc::Value value) {
        result.changes[next++].before = std::move(value);
    });

    std::vector<SettingChange*> sending;
    for (SettingChange& c : result.changes) {
        if (c.before == c.wanted) {
            c.change = Change::unchanged;
        } else if (dry_run) {
            c.change = Change::would_change;
        } else {
            sending.push_back(&c);
        }
    }
    std::stable_sort(sending.begin(), sending.end(), [](const SettingChange* a, const SettingChange* b) {
        return send_rank(a) < send_rank(b);
    });
    const auto relinking =
        std::find_if(sending.begin(), sending.end(), [](const SettingChange* c) { return c->row->relinks; });
    for (auto c = sending.begin(); c != relinking; ++c) {
        co_await send_set_line(client, **c);
    }
    if (verify) {
        rows.clear();
        std::transform(sending.begin(), relinking, std::back_inserter(rows),
                       [](const SettingChange* c) { return c->row; });
        next = 0;
        co_await read_values(client, rows, [&](const wc::Setting& row, const wc::Value& read) {
            SettingChange& c = *sending[next++];
            c.change = read == c.wanted ? Change::verified : Change::failed;
            if (c.change == Change::failed) {
                throw BoxFailure(std::string(row.name) + " reads back " + wc::value_text(row, read) +
                                 ", not " + wc::value_text(row, c.wanted));
            }
        });
    }
    if (relinking != sending.end()) {
        co_await send_set_line(client, **relinking);
        result.relinked = true;
    } else if (std::any_of(sending.begin(), sending.end(),
                           [](const SettingChange* c) { return is_address(*c->row); })) {
        // The box ends the connection: nothing more is sent or awaited.
        co_await client.send(wc::find_action("relink")->word);
        result.relinked = true;
    }
}

asio::awaitable<void> run_action(BoxClient& client, std::string_view line, std::string_view ack) {
    co_await client.send(line);
    if (!ack.empty()) {
        co_await client.await_reply(line, [ack](const wc::Reply& r) { return r.key() == ack; });
        co_return;
    }
    // The box takes lines in order: once it has answered a read sent behind the
    // line, it has taken the line too, and the next command of a script finds it done.
    const wc::Setting& barrier = *wc::find_setting("firmware");
    co_await client.send(barrier.read);
    co_await client.await_reply(barrier.read, [&](const wc::Reply& r) { return wc::answers(barrier, r); });
}

asio::awaitable<void> run_raw(BoxClient& client, std::string_view line, BoxResult& result) {
    co_await client.send(line);
    result.received = co_await client.everything_within(line);
}

Job job_for(const Request& request) {
    switch (request.command) {
    case Command::set:
    case Command::apply:
        return [&request](BoxClient& client, BoxResult& result) {
            return write_settings(client, request.assignments, request.verify, request.dry_run, result);
        };
    case Command::action:
        return [&request](BoxClient& client, BoxResult&) {
            return run_action(client, request.line, request.ack);
        };
    case Command::raw:
        return [&request](BoxClient& client, BoxResult& result) {
            return run_raw(client, request.line, result);
        };
    case Command::status:
    case Command::get:
    case Command::snapshot:
    case Command::diff:
    case Command::scan:
    case Command::report:
    case Command::watch:
        break;
    }
    return [&request](BoxClient& client, BoxResult& result) {
        return read_settings(client, request.reads, result);
    };
}

asio::awaitable<std::size_t> each_box(std::size_t count, const Serve& serve,
                                      const std::function<bool()>& stopping) {
    const auto executor = co_await asio::this_coro::executor;
    std::size_t next = 0;
    std::size_t working = std::min(most_at_once, count);
    // Expiring it lets the wait below end, whether it has begun or not.
    asio::steady_timer all_done(executor, asio::steady_timer::time_point::max());
    // A few workers, each taking the next box when done with one; the last one to end ends the wait.
    const auto worker = [&]() -> asio::awaitable<void> {
        while (next < count && !stopping()) {
            co_await serve(next++);
        }
        if (--working == 0) {
            all_done.expires_at(asio::steady_timer::time_point::min());
        }
    };
    for (std::size_t k = working; k > 0; --k) {
        asio::co_spawn(executor, worker(), asio::detached);
    }
    if (working > 0) {
        co_await all_done.async_wait(asio::experimental::as_tuple(asio::use_awaitable));
    }
    co_return next;
}

Served serve_boxes(const Request& request, const Job& job, Progress& progress) {
    Served served;
    std::vector<BoxResult>& results = served.results;
    for (const BoxAddress& box : request.boxes) {
        results.emplace_back().box = box;
    }
    if (results.empty()) {
        return served;
    }
    asio::io_context io;
    Stop stop;
    asio::signal_set signals(io, SIGINT, SIGTERM);
    const std::function<void()> await_signal = [&] {
        signals.async_wait([&](const asio::error_code& error, int number) {
            if (!error) {
                if (!stop.stopping()) {
                    progress.say("wallctl: interrupted: the exchanges under way end within " +
                                 std::to_string(request.timeout.count()) +
                                 " ms; interrupt again to end them now");
                }
                stop.on_signal(number);
                await_signal();
            }
        });
    };
    await_signal();
    asio::steady_timer deadline(io);
    if (request.deadline) {
        deadline.expires_after(*request.deadline);
        deadline.async_wait([&](const asio::error_code& error) {
            if (!error) {
                stop.on_deadline(*request.deadline);
            }
        });
    }

    std::size_t next = 0; // the boxes from here on were never begun
    const Serve serve = [&](std::size_t box) -> asio::awaitable<void> {
        co_await serve_box(request, job, stop, results[box]);
        progress.advance();
    };
    const std::function<bool()> stopping = [&] { return stop.stopping(); };
    const auto all = [&]() -> asio::awaitable<void> {
        next = co_await each_box(results.size(), serve, stopping);
        signals.cancel();
        deadline.cancel();
    };
    asio::co_spawn(io, all(), asio::detached);
    io.run();
    for (; next < results.size(); ++next) {
        results[next].ok = false;
        results[next].interrupted = stop.signal() != 0;
        results[next].error = stop.reason();
    }
    served.signal = stop.signal();
    return served;
}

} // namespace wallctl
