#include "console/console.h"

#include "console/link.h"

#include <algorithm>

namespace wc {

struct Console::Handler {
    Task<>::Handle root;
    bool by_code;            // raised by the console or a reply setting a control
    bool taken_over = false; // ends where it waits, at the next settle
    int running = 0;         // on the stack now: it cannot end before it returns
};

Console::Console(Platform& p) : platform(p) {
    platform.attach(this);
    auto bind = [this](Timer& timer, TimerId id) {
        timer.on_enabled = [this, id](bool enabled, int interval) {
            if (enabled) {
                platform.timer_start(id, interval);
            } else {
                platform.timer_stop(id);
            }
        };
    };
    bind(f.Timer1, TimerId::connect_timeout);
    bind(f.Timer2, TimerId::relink_delay);
}

Console::~Console() {
    platform.attach(nullptr);
    // Handlers still waiting go with the console, and what they hold with them.
    while (!m_handlers.empty()) {
        ended(m_handlers.front());
    }
}

template <class Body> void Console::run_as(Handler* handler, Body body) {
    Handler* const outer = std::exchange(m_running, handler);
    ++m_depth;
    if (handler != nullptr) {
        ++handler->running;
    }
    body();
    if (handler != nullptr) {
        --handler->running;
    }
    --m_depth;
    m_running = outer;
}

void Console::take_reply(const Reply& reply) {
    run_as(nullptr, [&] {
        for (ReplyParser parser : parsers) {
            if (parser != nullptr) {
                parser(*this, reply);
            }
        }
    });
}

void Console::data_arrival(int socket) {
    run_as(nullptr, [&] { wsk_client_DataArrival(*this, socket); });
    settle();
}

void Console::timer_fired(TimerId timer) {
    if (timer == TimerId::connect_timeout) {
        Timer1_Timer(*this);
    } else {
        Timer2_Timer(*this);
    }
    settle();
}

void Console::link_changed(int /*socket*/) {
    settle();
}

void Console::scanner_ended() {
    settle();
}

void Console::message_answered(int id, MsgAnswer answer) {
    const auto asked =
        std::find_if(m_asked.begin(), m_asked.end(), [id](const auto& a) { return a.first == id; });
    if (asked == m_asked.end()) {
        return;
    }
    *asked->second = answer;
    m_asked.erase(asked);
    settle();
}

void Console::start(Task<> task) {
    Handler& handler = m_handlers.emplace_back(Handler{task.release(), m_depth > 0});
    run_as(&handler, [&] { handler.root.resume(); });
    if (handler.root.done()) {
        ended(handler);
    }
    settle();
}

void Console::run(const std::function<void()>& handler) {
    run_as(nullptr, handler);
    settle();
}

Console::Wait Console::until(std::function<bool()> done, const std::uint8_t* step) {
    return Wait(*this, Pending{m_running, {}, std::move(done), step});
}

Console::Asked Console::message(std::string_view text, MsgIcon icon, MsgButtons buttons) {
    return Asked(*this, std::string(text), icon, buttons);
}

Console::Asked::Asked(Console& c, std::string text, MsgIcon icon, MsgButtons buttons)
    : m_console(c), m_text(std::move(text)), m_icon(icon), m_buttons(buttons) {}

bool Console::Asked::await_suspend(std::coroutine_handle<> suspended) {
    Console& c = m_console;
    const int id = ++c.m_last_asked;
    c.m_asked.emplace_back(id, m_answer);
    c.platform.message_box(id, m_text, m_icon, m_buttons);
    // A platform that cannot show the box (the window is closing) answers at once.
    if (m_answer->has_value()) {
        return false;
    }
    c.m_pending.push_back(
        {c.m_running, suspended, [answer = m_answer] { return answer->has_value(); }, nullptr});
    return true;
}

bool Console::raised_by_code() const {
    return m_running != nullptr && m_running->by_code;
}

void Console::take_over_link() {
    // Ended now, so that what they undo as they end is undone before the
    // taking handler sets up the link and the window for itself.
    for (auto handler = m_handlers.begin(); handler != m_handlers.end();) {
        Handler& other = *handler++;
        if (other.running > 0) {
            other.taken_over = other.taken_over || &other != m_running;
        } else {
            ended(other);
        }
    }
}

Console::Handler* Console::holder(const std::uint8_t& step) const {
    const auto held =
        std::find_if(m_holders.begin(), m_holders.end(), [&step](const auto& h) { return h.first == &step; });
    return held == m_holders.end() ? nullptr : held->second;
}

void Console::ended(Handler& handler) {
    // Destroying the frames of a handler that has not finished ends it where
    // it waits; what its frames hold is given back as they go.
    run_as(&handler, [&] { handler.root.destroy(); });
    std::erase_if(m_pending, [&handler](const Pending& p) { return p.handler == &handler; });
    std::erase_if(m_holders, [&handler](const auto& h) { return h.second == &handler; });
    m_handlers.remove_if([&handler](const Handler& h) { return &h == &handler; });
}

void Console::settle() {
    while (m_depth == 0) {
        const auto over =
            std::find_if(m_handlers.begin(), m_handlers.end(), [](const Handler& h) { return h.taken_over; });
        if (over != m_handlers.end()) {
            ended(*over);
            continue;
        }
        // The newest wait first, as a handler started during another's wait
        // finished first when waits nested.
        auto ready = m_pending.rbegin();
        for (; ready != m_pending.rend(); ++ready) {
            if (ready->step == nullptr || holder(*ready->step) == ready->handler) {
                if (ready->done()) {
                    break;
                }
            } else if (holder(*ready->step) == nullptr) {
                ready->handler->taken_over = true; // the newer exchange has given the counter back
                break;
            }
        }
        if (ready == m_pending.rend()) {
            return;
        }
        const Pending pending = std::move(*ready);
        m_pending.erase(std::next(ready).base());
        if (pending.handler->taken_over) {
            continue;
        }
        run_as(pending.handler, [&] { pending.resume.resume(); });
        if (pending.handler->root.done()) {
            ended(*pending.handler);
        }
    }
}

Exchange::Exchange(Console& c, std::uint8_t& step, std::uint8_t first)
    : m_console(c), m_step(step), m_holder(c.m_running) {
    std::erase_if(c.m_holders, [&step](const auto& h) { return h.first == &step; });
    c.m_holders.emplace_back(&step, m_holder);
    step = first;
}

Exchange::~Exchange() {
    if (m_console.holder(m_step) == m_holder) {
        std::erase_if(m_console.m_holders, [this](const auto& h) { return h.first == &m_step; });
        m_step = 0;
    }
}

} // namespace wc
