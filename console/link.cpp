#include "console/link.h"

#include "console/look.h"
#include "link/protocol.h"

#include <algorithm>
#include <string>

namespace wc {

int listed_boxes(const Console& c) {
    return std::min(c.f.cbo_ipaddr.list_count(), socket_count);
}

namespace {
bool has_socket(int i) {
    return i >= 0 && i < socket_count;
}

// A closed socket's half-received reply goes with it.
void close_socket(Console& c, int i) {
    c.platform.socket_close(i);
    c.replies[static_cast<std::size_t>(i)] = {};
}
} // namespace

void send_to(Console& c, int i, std::string_view cmd) {
    // Offline every socket is closed: a handler that goes on after its wait
    // was ended by going offline has nothing more to say to any box.
    if (has_socket(i) && !link_lost(c)) {
        c.platform.socket_send(i, wire_text(cmd) + std::string(line_end));
    }
}

void open_link(Console& c, int i) {
    if (!has_socket(i)) {
        return;
    }
    close_socket(c, i);
    const auto& list = c.f.ip_list;
    const std::string host =
        static_cast<std::size_t>(i) < list.size() ? list[static_cast<std::size_t>(i)] : "";
    c.platform.socket_connect(i, host, box_port);
}

SocketState selected_state(const Console& c) {
    int i = c.f.cbo_ipaddr.list_index();
    return has_socket(i) ? c.platform.socket_state(i) : SocketState::closed;
}

Task<> connect_wait(Console& c, bool stoppable) {
    const Form1& f = c.f;
    co_await c.until([&c, &f, stoppable] {
        return selected_state(c) == SocketState::connected || f.con_timeout ||
               (stoppable ? !f.con_wait : f.discon_flag == 1);
    });
    // A connection that completes while the message is shown still counts:
    // the caller looks at the socket once the operator has closed it.
    if (f.con_timeout) {
        c.f.con_timeout = false;
        co_await c.message("Connected error!", MsgIcon::exclamation);
    }
}

Task<bool> check_link(Console& c, OnLinkDown on_down) {
    if (selected_state(c) == SocketState::connected) {
        co_return true;
    }
    co_await c.message("Ethernet is disconnected !", MsgIcon::critical);
    if (on_down == OnLinkDown::clear_model_then_go_offline) {
        c.f.cbo_model.set_list_index(-1);
    }
    go_offline(c);
    co_return false;
}

void send_one(Console& c, std::string_view cmd) {
    send_to(c, c.f.cbo_ipaddr.list_index(), cmd);
}

void send_all(Console& c, std::string_view cmd) {
    for (int i = 0, n = listed_boxes(c); i < n; ++i) {
        send_to(c, i, cmd);
    }
}

void send_chosen(Console& c, bool all_ip, std::string_view cmd) {
    if (all_ip) {
        send_all(c, cmd);
    } else {
        send_one(c, cmd);
    }
}

Console::Wait wait_on_link(Console& c, std::function<bool()> done, const std::uint8_t* step) {
    return c.until([&f = c.f, done = std::move(done)] { return f.discon_flag == 1 || done(); }, step);
}

Console::Wait wait_reply(Console& c, const std::uint8_t& step, std::uint8_t value) {
    return wait_on_link(
        c, [&step, value] { return step >= value; }, &step);
}

void go_offline(Console& c) {
    Form1& f = c.f;
    if (f.startup_pending) {
        f.startup_pending = false;
    } else {
        for (int i = 0, n = listed_boxes(c); i < n; ++i) {
            close_socket(c, i);
        }
    }
    f.con_wait = false;
    show_link_look(f, false);
    f.discon_flag = 1;
    // Every wait of the link is over; the handlers go on once none runs.
    c.settle();
}

void btn_discon_Click(Console& c) {
    go_offline(c);
}

void Timer1_Timer(Console& c) {
    c.f.Timer1.set_enabled(false);
    c.f.con_timeout = true;
}

void Timer2_Timer(Console& c) {
    c.f.Timer2.set_enabled(false);
    c.f.relink_timeout = true;
}

void wsk_client_DataArrival(Console& c, int /*index*/) {
    // Always the selected box: data from the others stays queued on their sockets.
    int selected = c.f.cbo_ipaddr.list_index();
    if (!has_socket(selected)) {
        c.f.TextInfo.set_text({});
        return;
    }
    const std::string chunk = c.platform.socket_read(selected);
    c.f.TextInfo.set_text(chunk);
    // A box may join two replies in one chunk or split one over two, and frame
    // them as its firmware likes, while the parsers read one reply from its
    // first character on: they get every whole reply, each once.
    for (const Reply& reply : c.replies[static_cast<std::size_t>(selected)].feed(chunk)) {
        c.take_reply(reply);
    }
}

} // namespace wc
