#pragma once

// The running console: the window model, the platform it runs on, the reply
// parsers in the order in which every reply passes them, and the handlers
// that run. Every operator event starts a handler, a Task that suspends at
// each wait; the console resumes it once what it waits for has happened (a
// reply moved a step counter, a timer fired, a message box was answered, the
// link went down). No handler ever runs inside another's wait: the console
// resumes handlers only when none runs.

#include "console/task.h"
#include "form/form.h"
#include "link/platform.h"
#include "link/reply_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace wc {

struct Console;

// Every parser gets every whole reply, and none can change what the next one gets.
using ReplyParser = void (*)(Console&, const Reply& reply);

// The fixed order of the reply parsers; a slot whose parser is not installed is skipped.
enum class ParserSlot : std::size_t {
    status,
    io,
    ip,
    ip_ack,
    fav,
    picture,
    picture_reset,
    osd_reset,
    wall,
    bezel,
    bezel_ack,
    count
};

struct Console final : PlatformEvents {
    explicit Console(Platform& platform);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    ~Console() override;

    Form1 f;
    Platform& platform;
    std::array<ReplyParser, static_cast<std::size_t>(ParserSlot::count)> parsers{};
    // The replies of each box, read from whatever it sends around them.
    std::array<ReplyReader, socket_count> replies;

    void install(ParserSlot slot, ReplyParser parser) { parsers[static_cast<std::size_t>(slot)] = parser; }
    // One whole reply through every installed parser, in slot order.
    void take_reply(const Reply& reply);

    void data_arrival(int socket) override;
    void timer_fired(TimerId timer) override;
    void link_changed(int socket) override;
    void scanner_ended() override;
    void message_answered(int id, MsgAnswer answer) override;

    // What a control's event runs: `make`'s handler, started at once (a Task),
    // or run to its end (a handler that never waits).
    template <class Make> auto handler(Make make) {
        return [this, make](auto... args) {
            if constexpr (std::is_void_v<decltype(make(args...))>) {
                run([&] { make(args...); });
            } else {
                start(make(args...));
            }
        };
    }
    // Runs the handler to its first wait; the console owns it from then on.
    void start(Task<> handler);
    // Runs a handler that never waits.
    void run(const std::function<void()>& handler);

    class Wait;
    class Asked;
    // Suspends the running handler until done() holds. A wait of an exchange
    // names the step counter the exchange holds (see Exchange): while a newer
    // exchange holds it, the wait is put off, and once that one has given it
    // back, the handler that waited ends where it was.
    Wait until(std::function<bool()> done, const std::uint8_t* step = nullptr);
    // A modal message box; its answer resumes the running handler.
    Asked message(std::string_view text, MsgIcon icon, MsgButtons buttons = MsgButtons::ok);

    // The running handler was raised by the console or a reply setting a
    // control (a list or an option showing what the box answered), not by the
    // operator: it sends nothing back.
    bool raised_by_code() const;

    // Connect and a box switch take the link over: every other handler ends
    // where it waits, at once, and the taking handler goes on alone.
    void take_over_link();

    // Handlers started and not yet ended.
    std::size_t running() const { return m_handlers.size(); }
    // No handler and no parser runs now: the event loop's turn.
    bool idle() const { return m_depth == 0; }

    // Resumes every handler whose wait is over, and ends every handler taken
    // over, until none is left. Does nothing while a handler or a parser
    // runs: it is the event loop's, not theirs.
    void settle();

private:
    friend class Exchange;
    struct Handler;
    struct Pending {
        Handler* handler;
        std::coroutine_handle<> resume;
        std::function<bool()> done;
        const std::uint8_t* step;
    };
    // Runs `body` as the given handler (none: a parser), so that nothing it
    // raises is resumed before it returns.
    template <class Body> void run_as(Handler* handler, Body body);
    void ended(Handler& handler);
    Handler* holder(const std::uint8_t& step) const;

    std::list<Handler> m_handlers;
    std::vector<Pending> m_pending;
    std::vector<std::pair<const std::uint8_t*, Handler*>> m_holders; // step counters held by exchanges
    // Message boxes on screen, by their number, with where their answer goes.
    std::vector<std::pair<int, std::shared_ptr<std::optional<MsgAnswer>>>> m_asked;
    int m_last_asked = 0;
    Handler* m_running = nullptr; // the handler that runs now
    int m_depth = 0;              // handlers and parsers running, one inside the other
};

class Console::Wait {
public:
    Wait(Console& c, Pending pending) : m_console(c), m_pending(std::move(pending)) {}
    bool await_ready() const { return m_pending.done(); }
    void await_suspend(std::coroutine_handle<> suspended) {
        m_pending.resume = suspended;
        m_console.m_pending.push_back(std::move(m_pending));
    }
    void await_resume() const noexcept {}

private:
    Console& m_console;
    Pending m_pending;
};

class Console::Asked {
public:
    Asked(Console& c, std::string text, MsgIcon icon, MsgButtons buttons);
    bool await_ready() const noexcept { return false; }
    bool await_suspend(std::coroutine_handle<> suspended);
    MsgAnswer await_resume() const { return **m_answer; }

private:
    Console& m_console;
    std::string m_text;
    MsgIcon m_icon;
    MsgButtons m_buttons;
    // Kept by the console until the answer comes, which may be after the handler has gone.
    std::shared_ptr<std::optional<MsgAnswer>> m_answer = std::make_shared<std::optional<MsgAnswer>>();
};

// An exchange's hold on its step counter: the counter is set to the
// exchange's first value now and back to 0 when the exchange ends, however it
// ends, unless a newer exchange has taken it meanwhile; that one's answers
// are its own.
class Exchange {
public:
    Exchange(Console& c, std::uint8_t& step, std::uint8_t first);
    ~Exchange();
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

private:
    Console& m_console;
    std::uint8_t& m_step;
    Console::Handler* m_holder;
};

} // namespace wc
