#include "console/console.h"

#include "console/link.h"

#include <algorithm>

namespace wc {

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
}

void Console::new_link() {
    ++m_link;
    if (!m_frames.empty()) {
        m_frames.back().link = m_link;
    }
}

bool Console::exchange_waiting() const {
    return std::any_of(m_waits.begin(), m_waits.end(),
                       [this](std::uint64_t link) { return !superseded(link); });
}

void Console::take_reply(const Reply& reply) {
    const bool outer = m_taking_reply;
    m_taking_reply = true;
    for (ReplyParser parser : parsers) {
        if (parser != nullptr) {
            parser(*this, reply);
        }
    }
    m_taking_reply = outer;
}

void Console::data_arrival(int socket) {
    wsk_client_DataArrival(*this, socket);
}

void Console::timer_fired(TimerId timer) {
    if (timer == TimerId::connect_timeout) {
        Timer1_Timer(*this);
    } else {
        Timer2_Timer(*this);
    }
}

} // namespace wc
