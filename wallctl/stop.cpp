#include "wallctl/stop.h"

#include "wallctl/box_client.h"

#include <algorithm>

namespace wallctl {

void Stop::on_signal(int number) {
    if (stopping()) {
        abort();
    }
    m_signal = m_signal != 0 ? m_signal : number;
}

void Stop::on_deadline(std::chrono::milliseconds deadline) {
    m_deadline = deadline;
    m_deadline_reached = m_signal == 0;
    abort();
}

std::string Stop::reason() const {
    if (m_signal != 0) {
        return "interrupted";
    }
    return "the run's deadline of " + std::to_string(m_deadline.count()) + " ms was reached";
}

void Stop::enlist(BoxClient* client) {
    m_clients.push_back(client);
}

void Stop::leave(BoxClient* client) {
    std::erase(m_clients, client);
}

void Stop::abort() {
    for (BoxClient* client : m_clients) {
        client->abort();
    }
}

} // namespace wallctl
