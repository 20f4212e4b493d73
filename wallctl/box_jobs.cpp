#include "wallctl/box_jobs.h"

#include "link/actions.h"
#include "link/protocol.h"
#include "link/traffic_log.h"

#include <algorithm>
#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/experimental/awaitable_operators.hpp>
#include <asio/io_context.hpp>
#include <asio/this_coro.hpp>

namespace wallctl {

namespace {

// Enough boxes at once for a large wall, few enough to stay far below the
// process's limit of open files.
constexpr std::size_t most_at_once = 256;

bool is_address(const wc::Setting& row) {
    return row.layout() == wc::ReplyLayout::address;
}

std::string shown(std::string_view text) {
    return "\"" + wc::visible_bytes(text) + "\"";
}

// The order of the set lines: addresses after everything else, the re-linking one last.
int send_rank(const Assignment& a) {
    return a.row->relinks ? 2 : is_address(*a.row) ? 1 : 0;
}

asio::awaitable<void> send_set_line(BoxClient& client, const Assignment& a, BoxResult& result) {
    const std::string line = wc::set_line(*a.row, a.value);
    co_await client.send(line);
    if (a.row->set_reply.empty()) {
        co_return;
    }
    const wc::Reply reply =
        co_await client.await_reply(line, [&](const wc::Reply& r) { return r.key() == a.row->set_reply; });
    // The re-linking setting is checked by its echo: nothing can be read after it.
    if (a.row->relinks) {
        const auto echoed = wc::decode(*a.row, reply);
        if (echoed != a.value) {
            throw BoxFailure(std::string(a.row->name) + " was answered with " + shown(reply.text()) +
                             ", not " + wc::value_text(*a.row, a.value));
        }
        result.settings.push_back({a.row, *echoed});
    }
}

asio::awaitable<void> serve_box(const Request& request, const Job& job, BoxResult& result) {
    BoxClient client(co_await asio::this_coro::executor, result.box, request.timeout,
                     request.timeout * box_limit_factor, request.verbose);
    const auto work = [&]() -> asio::awaitable<void> {
        try {
            co_await client.connect();
            co_await job(client, result);
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
        result.settings.push_back({row, std::move(*value)});
    }
}

asio::awaitable<void> write_settings(BoxClient& client, std::span<const Assignment> assignments, bool verify,
                                     BoxResult& result) {
    std::vector<Assignment> order(assignments.begin(), assignments.end());
    std::stable_sort(order.begin(), order.end(),
                     [](const Assignment& a, const Assignment& b) { return send_rank(a) < send_rank(b); });
    const auto relinking =
        std::find_if(order.begin(), order.end(), [](const Assignment& a) { return a.row->relinks; });
    for (auto a = order.begin(); a != relinking; ++a) {
        co_await send_set_line(client, *a, result);
    }
    if (verify) {
        std::vector<const wc::Setting*> rows;
        std::transform(order.begin(), relinking, std::back_inserter(rows),
                       [](const Assignment& a) { return a.row; });
        co_await read_settings(client, rows, result);
        for (auto a = order.begin(); a != relinking; ++a) {
            const wc::Value& read = result.settings[static_cast<std::size_t>(a - order.begin())].value;
            if (read != a->value) {
                throw BoxFailure(std::string(a->row->name) + " reads back " + wc::value_text(*a->row, read) +
                                 ", not " + wc::value_text(*a->row, a->value));
            }
        }
    } else {
        for (auto a = order.begin(); a != relinking; ++a) {
            result.settings.push_back({a->row, a->value});
        }
    }
    if (relinking != order.end()) {
        co_await send_set_line(client, *relinking, result);
        result.note = "re-linked";
    } else if (std::any_of(order.begin(), order.end(),
                           [](const Assignment& a) { return is_address(*a.row); })) {
        // The box ends the connection: nothing more is sent or awaited.
        co_await client.send(wc::find_action("relink")->word);
        result.note = "re-linked";
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
    result.received = co_await client.everything_within();
}

Job job_for(const Request& request) {
    switch (request.command) {
    case Command::set:
    case Command::apply:
        return [&request](BoxClient& client, BoxResult& result) {
            return write_settings(client, request.assignments, request.verify, result);
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
        break;
    }
    return [&request](BoxClient& client, BoxResult& result) {
        return read_settings(client, request.reads, result);
    };
}

std::vector<BoxResult> serve_boxes(const Request& request, const Job& job,
                                   const std::function<void()>& progress) {
    std::vector<BoxResult> results;
    for (const BoxAddress& box : request.boxes) {
        results.emplace_back().box = box;
    }
    asio::io_context io;
    std::size_t next = 0;
    // A few workers, each taking the next box when done with one.
    const auto worker = [&]() -> asio::awaitable<void> {
        while (next < results.size()) {
            co_await serve_box(request, job, results[next++]);
            if (progress) {
                progress();
            }
        }
    };
    for (std::size_t k = 0; k < std::min(most_at_once, results.size()); ++k) {
        asio::co_spawn(io, worker(), asio::detached);
    }
    io.run();
    return results;
}

} // namespace wallctl
