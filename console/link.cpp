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
    // A handler whose link was taken over has nothing more to say to any box.
    if (has_socket(i) && !c.superseded(c.event_link())) {
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

bool connect_wait(Console& c) {
    const std::uint64_t link = c.event_link();
    while (!c.superseded(link) && selected_state(c) != SocketState::connected) {
        c.platform.yield();
        if (c.f.con_timeout) {
            c.f.con_timeout = false;
            c.message("Connected error!", MsgIcon::exclamation);
            return true;
        }
    }
    return !c.superseded(link);
}

bool link_lost(const Console& c) {
    return c.f.discon_flag == 1 || c.superseded(c.event_link());
}

bool taken_over(const Console& c) {
    return c.f.discon_flag != 1 && c.superseded(c.event_link());
}

bool check_link(Console& c, OnLinkDown on_down) {
    if (selected_state(c) == SocketState::connected) {
        return true;
    }
    c.message("Ethernet is disconnected !", MsgIcon::critical);
    if (on_down == OnLinkDown::clear_model_then_go_offline) {
        c.f.cbo_model.set_list_index(-1);
    }
    go_offline(c);
    return false;
}

bool read_may_start(Console& c) {
    return check_link(c) && !c.exchange_waiting();
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

void wait_reply(Console& c, const std::uint8_t& flag, std::uint8_t value) {
    wait_on_link(c, [&] { return flag >= value; });
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
    c.end_link();
    show_link_look(f, false);
    f.discon_flag = 1;
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
