#pragma once

// The console's connections to its boxes: one socket per listed box, the
// selected box as the partner of every exchange, and the waits of the
// handlers that suspend until a reply parser moves a step counter.

#include "console/console.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace wc {

// (Re)open the connection of box i to ip_list(i), port 23.
void open_link(Console& c, int i);

// Waits until the selected box is connected or Timer1 runs out ("Connected
// error!" is said then). Connect's wait is stoppable: going offline clears
// con_wait and ends it. Every other ends when the console goes offline.
Task<> connect_wait(Console& c, bool stoppable);

// What a handler does between "Ethernet is disconnected !" and go_offline.
enum class OnLinkDown { go_offline, clear_model_then_go_offline };

// Whether the selected box is connected; when it is not, says so, goes
// offline and the caller abandons its action.
Task<bool> check_link(Console& c, OnLinkDown on_down = OnLinkDown::go_offline);

// The selected box's socket state (closed when nothing is selected).
SocketState selected_state(const Console& c);

// Socket i's box; the line is dropped when there is no such socket or the console is offline.
void send_to(Console& c, int i, std::string_view cmd);
void send_one(Console& c, std::string_view cmd);
void send_all(Console& c, std::string_view cmd);
// send_all when the row's "ALL IP" box is ticked, send_one otherwise.
void send_chosen(Console& c, bool all_ip, std::string_view cmd);

// The console went offline: the waits of the link end, and a handler that
// goes on sends nothing more.
inline bool link_lost(const Console& c) {
    return c.f.discon_flag == 1;
}

// Suspends until done() holds or the console goes offline. `step` is the step
// counter the waiting exchange holds, if any (see Exchange).
Console::Wait wait_on_link(Console& c, std::function<bool()> done, const std::uint8_t* step = nullptr);

// Suspends until the step has reached value or the console goes offline. A
// step only moves forward within its exchange, and every reply of one arrival
// is parsed before the wait looks again: the next reply of the same chunk may
// already have moved the step past value ("IPMD001" joined with "RELI").
Console::Wait wait_reply(Console& c, const std::uint8_t& step, std::uint8_t value);

void go_offline(Console& c);
void btn_discon_Click(Console& c);
void Timer1_Timer(Console& c);
void Timer2_Timer(Console& c);

// The receive path: read the selected box, show the chunk, run every parser.
void wsk_client_DataArrival(Console& c, int index);

// The number of listed boxes that have a socket.
int listed_boxes(const Console& c);

} // namespace wc
