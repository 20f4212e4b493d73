#include "fake_platform.h"

#include <algorithm>

namespace wc::test {

namespace {
constexpr long yield_limit = 1'000'000;
}

void PrintTo(const Sent& sent, std::ostream* out) {
    *out << "socket " << sent.socket << ": \"" << sent.line << '"';
}

void PrintTo(const Message& message, std::ostream* out) {
    static const char* const icons[] = {"none", "critical", "exclamation", "information", "question"};
    *out << '"' << message.text << "\" (" << icons[static_cast<int>(message.icon)]
         << (message.buttons == MsgButtons::yes_no ? ", Yes/No)" : ")");
}

Responder reply_table(std::map<std::string, std::string> replies, int delay_ms) {
    return [replies = std::move(replies), delay_ms](const std::string& line) {
        auto it = replies.find(line);
        return it == replies.end() ? std::vector<Reply>{}
                                   : std::vector<Reply>{{it->second + "\r\n", delay_ms}};
    };
}

void FakePlatform::add_box(const std::string& host, BoxScript script) {
    m_boxes[host] = std::move(script);
}

void FakePlatform::set_scanner(bool present, int run_ms, std::function<void()> on_end) {
    m_scanner_present = present;
    m_scanner_run_ms = run_ms;
    m_scanner_end = std::move(on_end);
}

void FakePlatform::schedule(std::int64_t when, std::function<void()> action) {
    m_events.push_back({when, m_order++, std::move(action)});
}

void FakePlatform::schedule_on(int socket, std::int64_t when, std::function<void(Socket&)> action) {
    Socket& s = m_sockets[socket];
    schedule(when, [this, socket, generation = s.generation, action = std::move(action)] {
        Socket& now = m_sockets[socket];
        if (now.generation == generation) {
            action(now);
        }
    });
}

void FakePlatform::at(std::int64_t ms, std::function<void()> action) {
    schedule(m_now + ms, std::move(action));
}

void FakePlatform::arrive(int socket, std::string text, std::int64_t ms) {
    schedule_on(socket, m_now + ms, [this, socket, text = std::move(text)](Socket& s) {
        s.received += text;
        if (events() != nullptr) {
            events()->data_arrival(socket);
        }
    });
}

void FakePlatform::drop(int socket, std::int64_t ms) {
    schedule_on(socket, m_now + ms, [](Socket& s) { s.state = SocketState::closed; });
}

std::vector<std::string> FakePlatform::message_texts() const {
    std::vector<std::string> texts;
    for (const Message& m : m_messages) {
        texts.push_back(m.text);
    }
    return texts;
}

std::vector<std::string> FakePlatform::lines(int socket) const {
    std::vector<std::string> out;
    for (const Sent& s : m_sent) {
        if (s.socket == socket) {
            out.push_back(s.line);
        }
    }
    return out;
}

std::string FakePlatform::pending(int socket) const {
    return m_sockets[socket].received;
}

void FakePlatform::clear_records() {
    m_messages.clear();
    m_sent.clear();
    m_dropped.clear();
    m_connects.clear();
}

void FakePlatform::socket_close(int socket) {
    Socket& s = m_sockets[socket];
    ++s.generation;
    s.state = SocketState::closed;
    s.received.clear();
    s.reply_clock = 0;
}

void FakePlatform::socket_connect(int socket, const std::string& host, int /*port*/) {
    Socket& s = m_sockets[socket];
    ++s.generation;
    s.state = SocketState::connecting;
    s.host = host;
    s.received.clear();
    m_connects.push_back(socket);
    auto box = m_boxes.find(host);
    if (box == m_boxes.end() || !box->second.answers) {
        return;
    }
    const bool accepts = box->second.accepts;
    schedule_on(socket, m_now + box->second.connect_ms, [accepts](Socket& now) {
        now.state = accepts ? SocketState::connected : SocketState::error;
    });
}

SocketState FakePlatform::socket_state(int socket) const {
    return m_sockets[socket].state;
}

void FakePlatform::socket_send(int socket, std::string_view bytes) {
    std::string line(bytes);
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) {
        line.resize(line.size() - 2);
    }
    Socket& s = m_sockets[socket];
    if (s.state != SocketState::connected) {
        m_dropped.push_back({socket, line});
        return;
    }
    m_sent.push_back({socket, line});
    auto box = m_boxes.find(s.host);
    if (box == m_boxes.end() || !box->second.respond) {
        return;
    }
    for (Reply& reply : box->second.respond(line)) {
        s.reply_clock = std::max(s.reply_clock, m_now) + reply.delay_ms;
        schedule_on(socket, s.reply_clock, [this, socket, text = std::move(reply.text)](Socket& now) {
            now.received += text;
            if (events() != nullptr) {
                events()->data_arrival(socket);
            }
        });
    }
}

std::string FakePlatform::socket_read(int socket) {
    std::string out;
    out.swap(m_sockets[socket].received);
    return out;
}

bool FakePlatform::run_due() {
    auto due = std::min_element(m_events.begin(), m_events.end(), [](const Event& a, const Event& b) {
        return a.when != b.when ? a.when < b.when : a.order < b.order;
    });
    if (due == m_events.end() || due->when > m_now) {
        return false;
    }
    auto action = std::move(due->action);
    m_events.erase(due);
    action();
    return true;
}

void FakePlatform::yield() {
    if (++m_yields > yield_limit) {
        throw Stalled("a wait yielded a million times without ending");
    }
    bool any_due =
        std::any_of(m_events.begin(), m_events.end(), [this](const Event& e) { return e.when <= m_now; });
    if (!any_due) {
        if (m_events.empty() && when_stalled) {
            when_stalled();
        }
        if (m_events.empty()) {
            throw Stalled("a wait yielded with nothing left to happen: it would wait forever");
        }
        m_now = std::min_element(m_events.begin(), m_events.end(), [](const Event& a, const Event& b) {
                    return a.when < b.when;
                })->when;
    }
    while (run_due()) {
    }
}

void FakePlatform::run_until_idle(std::int64_t limit_ms) {
    while (!m_events.empty()) {
        if (!run_due()) {
            m_now = std::min_element(m_events.begin(), m_events.end(), [](const Event& a, const Event& b) {
                        return a.when < b.when;
                    })->when;
        }
        if (m_now > limit_ms) {
            throw Stalled("events kept coming past the time limit");
        }
    }
}

void FakePlatform::timer_start(TimerId timer, int interval_ms) {
    const std::uint64_t generation = ++m_timer_generation[timer];
    schedule(m_now + interval_ms, [this, timer, generation] {
        if (m_timer_generation[timer] == generation && events() != nullptr) {
            ++m_timer_generation[timer]; // one-shot
            events()->timer_fired(timer);
        }
    });
}

void FakePlatform::timer_stop(TimerId timer) {
    ++m_timer_generation[timer];
}

MsgAnswer FakePlatform::message_box(std::string_view text, MsgIcon icon, MsgButtons buttons) {
    m_messages.push_back({std::string(text), icon, buttons});
    if (while_message_shown) {
        while_message_shown(m_messages.back());
    }
    if (buttons == MsgButtons::ok) {
        return MsgAnswer::ok;
    }
    if (m_answers.empty()) {
        return MsgAnswer::yes;
    }
    MsgAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

bool FakePlatform::start_scanner(std::string_view /*file_name*/) {
    if (!m_scanner_present) {
        return false;
    }
    const std::int64_t ends = m_now + m_scanner_run_ms;
    m_scanner_ends_at = ends;
    schedule(ends, [this] {
        m_scanner_ends_at.reset();
        if (m_scanner_end) {
            m_scanner_end();
        }
    });
    return true;
}

bool FakePlatform::scanner_running() {
    return m_scanner_ends_at.has_value();
}

std::optional<std::vector<std::string>> FakePlatform::read_lines(std::string_view file_name) {
    auto it = m_files.find(std::string(file_name));
    if (it == m_files.end()) {
        return std::nullopt;
    }
    return it->second;
}

} // namespace wc::test
