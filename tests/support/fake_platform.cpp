#include "fake_platform.h"

#include <algorithm>
#include <utility>

namespace wc::test {

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
        return it == replies.end() ? std::vector<Chunk>{}
                                   : std::vector<Chunk>{{it->second + "\r\n", delay_ms}};
    };
}

void FakePlatform::schedule_on(int socket, std::int64_t when, std::function<void(Socket&)> action) {
    schedule(when, [this, socket, generation = m_sockets[socket].generation, action = std::move(action)] {
        if (m_sockets[socket].generation == generation) {
            action(m_sockets[socket]);
        }
    });
}

void FakePlatform::deliver(int socket, std::int64_t when, std::string text) {
    schedule_on(socket, when, [this, socket, text = std::move(text)](Socket& s) {
        s.received += text;
        if (events() != nullptr) {
            events()->data_arrival(socket);
        }
    });
}

namespace {
sim::ReplyShaper::Clock::time_point shaper_time(std::int64_t ms) {
    return sim::ReplyShaper::Clock::time_point(std::chrono::milliseconds(ms));
}
} // namespace

void FakePlatform::pump(int socket) {
    const auto due = m_sockets[socket].shaper->next_due();
    if (!due) {
        return;
    }
    const auto when = std::chrono::duration_cast<std::chrono::milliseconds>(due->time_since_epoch()).count();
    schedule_on(socket, when, [this, socket](Socket& s) {
        const std::uint64_t generation = s.generation;
        for (std::string& chunk : s.shaper->take_due(shaper_time(m_now))) {
            s.received += chunk;
            if (events() != nullptr) {
                events()->data_arrival(socket);
            }
            // What arrived may have made the console close or reopen the
            // socket, which takes the shaper with it: the rest is not for it.
            if (s.generation != generation) {
                return;
            }
        }
        pump(socket);
    });
}

void FakePlatform::drop(int socket, std::int64_t ms) {
    schedule_on(socket, m_now + ms, [this, socket](Socket& s) {
        s.state = SocketState::closed;
        if (events() != nullptr) {
            events()->link_changed(socket);
        }
    });
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
    s.shaper.reset();
}

void FakePlatform::socket_connect(int socket, const std::string& host, int /*port*/) {
    Socket& s = m_sockets[socket];
    ++s.generation;
    s.state = SocketState::connecting;
    s.host = host;
    s.received.clear();
    s.shaper.reset();
    m_connects.push_back(socket);
    auto box = m_boxes.find(host);
    if (box != m_boxes.end() && box->second.answers) {
        schedule_on(socket, m_now + box->second.connect_ms,
                    [this, socket, &script = box->second](Socket& now) {
                        now.state = script.accepts ? SocketState::connected : SocketState::error;
                        if (script.accepts && script.speaks) {
                            now.shaper.emplace(*script.speaks);
                            now.shaper->greet(shaper_time(m_now));
                            pump(socket);
                        }
                        if (events() != nullptr) {
                            events()->link_changed(socket);
                        }
                    });
    }
}

void FakePlatform::socket_send(int socket, std::string_view bytes) {
    std::string line(bytes);
    if (line.ends_with("\r\n")) {
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
    if (s.shaper) {
        std::vector<std::string> replies;
        for (Chunk& reply : box->second.respond(line)) {
            replies.push_back(std::move(reply.text));
        }
        s.shaper->answer(line, replies, shaper_time(m_now));
        pump(socket);
        return;
    }
    for (Chunk& reply : box->second.respond(line)) {
        s.reply_clock = std::max(s.reply_clock, m_now) + reply.delay_ms;
        deliver(socket, s.reply_clock, std::move(reply.text));
    }
}

std::string FakePlatform::socket_read(int socket) {
    return std::exchange(m_sockets[socket].received, {});
}

std::vector<FakePlatform::Event>::iterator FakePlatform::next_event() {
    return std::min_element(m_events.begin(), m_events.end(), [](const Event& a, const Event& b) {
        return a.when != b.when ? a.when < b.when : a.order < b.order;
    });
}

void FakePlatform::run_while(const std::function<bool()>& more, std::int64_t limit_ms) {
    while (more()) {
        if (m_events.empty() && when_stalled) {
            when_stalled();
        }
        if (m_events.empty()) {
            return;
        }
        auto next = next_event();
        m_now = std::max(m_now, next->when);
        if (m_now > limit_ms) {
            throw Stalled("events kept coming past the time limit");
        }
        auto action = std::move(next->action);
        m_events.erase(next);
        if (before_event) {
            before_event();
        }
        action();
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

void FakePlatform::message_box(int id, std::string_view text, MsgIcon icon, MsgButtons buttons) {
    m_messages.push_back({std::string(text), icon, buttons});
    if (while_message_shown) {
        while_message_shown(m_messages.back());
    }
    MsgAnswer answer = MsgAnswer::ok;
    if (buttons == MsgButtons::yes_no) {
        answer = m_answers.empty() ? MsgAnswer::yes : m_answers.front();
        if (!m_answers.empty()) {
            m_answers.pop_front();
        }
    }
    schedule(m_now + m_reading_ms, [this, id, answer] {
        if (events() != nullptr) {
            events()->message_answered(id, answer);
        }
    });
}

bool FakePlatform::start_scanner(std::string_view /*file_name*/) {
    if (m_scanner_present) {
        m_scanner_busy = true;
        schedule(m_now + m_scanner_run_ms, [this] {
            m_scanner_busy = false;
            if (m_scanner_end) {
                m_scanner_end();
            }
            if (events() != nullptr) {
                events()->scanner_ended();
            }
        });
    }
    return m_scanner_present;
}

std::optional<std::vector<std::string>> FakePlatform::read_lines(std::string_view file_name) {
    auto it = m_files.find(std::string(file_name));
    return it == m_files.end() ? std::nullopt : std::optional(it->second);
}

} // namespace wc::test
